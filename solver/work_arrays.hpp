// The two work arrays BD and IB and the model arrays cut out of them as slices.
#pragma once

#include <cstdint>
#include <vector>

#include "arrays.hpp"
#include "model.hpp"

namespace gw {

struct WorkArrays {
    std::int64_t MTOTBD = 0, MTOTIB = 0;
    std::vector<double> BD;
    std::vector<std::int32_t> IB;
};

// Per-material tables: pair k of material m in row k of column m.
struct MaterialTables {
    Span2<double> THKR, RKR;              // (MXNRK, NUMMAT)
    Span2<double> THPS, PSIT, THCA, CAP;  // (MXNPSI, NUMMAT)
};

// Mesh part of the work arrays, fixed before the element group is read.
struct MeshArrays {
    MaterialTables tab;
    Span1<double> Q, PSIINI, PSI, QINIT, X, Y, Z;  // NUMNP
    Span1<double> SEPVAL;                          // MSEP
    Span1<std::int32_t> MTYP;                      // NUMEL
    Span2<std::int32_t> NOD;                       // (8, NUMEL)
    Span1<std::int32_t> KODE;                      // NUMNP
    Span1<std::int32_t> KSEEP, IFSEEP;             // MSEP
    Span1<std::int32_t> MAXA;                      // NUMNP + 1
    Span1<std::int32_t> NPE;                       // NUMEL
};

// Totals of the mesh part (BD1, IB1), in 64-bit arithmetic.
struct MeshTotals {
    std::int64_t BD1 = 0, IB1 = 0;
};
MeshTotals mesh_totals(const Control& ctl);

// Cuts the mesh part out of BD and IB (the caller has checked the totals).
MeshArrays cut_mesh(WorkArrays& w, const Control& ctl);

// Totals of the whole run once NWK is known (BD total, IB total).
struct RunTotals {
    std::int64_t BD = 0, IB = 0;
};
RunTotals run_totals(const Control& ctl, std::int64_t NWK);

}  // namespace gw
