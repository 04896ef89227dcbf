// The converter's two work arrays BD and IB and the slices cut out of them.
#pragma once

#include <cstdint>

#include "core/arrays.hpp"
#include "core/work_storage.hpp"

namespace cnv {

using core::Index;
using core::Span1;
using core::Span2;

// Lengths of BD and IB for N nodes, E elements, P node slots per element and T output times,
// in 64-bit arithmetic: MTOTBD = 16 N + 12 E + T + 101, MTOTIB = 5 N + 3 E + P E + T + 101.
struct WorkSizes {
    std::int64_t MTOTBD = 0, MTOTIB = 0;
};
WorkSizes work_sizes(std::int32_t N, std::int32_t E, std::int32_t P, std::int32_t T);

// The model, step, previous-step, output-time and work slices of one conversion.
struct Slices {
    std::int32_t NUMNP = 0, NUMEL = 0, NPEMAX = 0, NTOUT = 0;
    // BD, in this order.
    Span1<double> X, Y, Z, PSI;             // N
    Span1<double> VX, VY, VZ;               // E
    Span1<double> NVX, NVY, NVZ, Q, PSIRST, QRST;  // N
    Span1<double> TOUT;                     // T
    Span1<double> VXPRV, VYPRV, VZPRV;      // E
    Span1<double> PSIPRV, QPRV;             // N
    Span1<double> VXOUT, VYOUT, VZOUT;      // E
    Span1<double> PSIOUT, QOUT, QINIT;      // N
    Span1<double> THPRV, THOUT, TH;         // E
    Span1<double> NTH;                      // N
    // IB, in this order.
    Span2<std::int32_t> NOD;                // (P, E)
    Span1<std::int32_t> NCNT, KODE;         // N
    Span1<std::int32_t> MTYP;               // E
    Span1<std::int32_t> KODRST;             // N
    Span1<std::int32_t> NFLAG;              // N
    Span1<std::int32_t> EFLAG;              // E
    Span1<std::int32_t> DONE;               // T
};

// BD and IB, allocated once for the run and zeroed; a failed allocation is error 41.
struct WorkArrays {
    WorkSizes sizes;
    core::WorkStorage<double> BD;
    core::WorkStorage<Index> IB;
};

// Allocates BD and IB for the counts and cuts the slices, one after the other from word 1.
WorkArrays allocate_work(const WorkSizes& sizes);
Slices cut_slices(WorkArrays& w, std::int32_t N, std::int32_t E, std::int32_t P, std::int32_t T);

}  // namespace cnv
