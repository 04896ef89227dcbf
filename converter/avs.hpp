// MicroAVS time-series files: step blocks into the scratch file, then the assembly of "AVS.INP".
#pragma once

#include <cstdint>

#include "arrays.hpp"

namespace gw {

// Number of MicroAVS step blocks written so far in this run.
inline std::int32_t NAVS = 0;

// The output mesh as the MicroAVS writers read it: NPT points, NCELL cells of four point
// numbers ICELL(c, 1..4) (a triangle repeats its third point).
struct AvsMesh {
    std::int32_t NPT = 0, NCELL = 0;
    const double *XP = nullptr, *YP = nullptr, *ZP = nullptr, *PP = nullptr, *HP = nullptr;
    Span2<std::int32_t> ICELL;
};

void AVSMOD(const Span1<double>& Z, const Span1<double>& PSI, const Span1<double>& NVX,
            const Span1<double>& NVY, const Span1<double>& NVZ, const Span1<double>& VX,
            const Span1<double>& VY, const Span1<double>& VZ, const Span1<std::int32_t>& NCNT,
            const Span2<std::int32_t>& NOD, std::int32_t NUMNP, std::int32_t NUMEL,
            std::int32_t NPEMAX, double TIME, const Span1<std::int32_t>& EFLAG,
            const Span1<std::int32_t>& NFLAG);
void AVSMSH(double TIME, const AvsMesh& mesh);
void AVSINP3(const Span1<double>& X, const Span1<double>& Y, const Span1<double>& Z,
             const Span2<std::int32_t>& NOD, const Span1<std::int32_t>& MTYP, std::int32_t NUMNP,
             std::int32_t NUMEL, std::int32_t NPEMAX, const Span1<std::int32_t>& EFLAG,
             const Span1<std::int32_t>& NFLAG);
void AVSINP2(const AvsMesh& mesh);

}  // namespace gw
