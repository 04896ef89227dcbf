// Element values averaged to the nodes (a plain mean, not weighted by volume).
#include "node_averages.hpp"

#include <algorithm>

namespace cnv {

void average_to_nodes(const RealView& VX, const RealView& VY, const RealView& VZ,
                      const RealView* TH, const RealView& NVX, const RealView& NVY,
                      const RealView& NVZ, const RealView* NTH, const IntView& NCNT,
                      const NodView& NOD, Index NUMNP, Index NUMEL, Index NPEMAX,
                      const IntView& EFLAG) {
    const bool moisture = TH != nullptr && NTH != nullptr;
    // 1. Clear the sums and counts.
    std::fill_n(NVX.data(), NUMNP, 0.0);
    std::fill_n(NVY.data(), NUMNP, 0.0);
    std::fill_n(NVZ.data(), NUMNP, 0.0);
    if (moisture) std::fill_n(NTH->data(), NUMNP, 0.0);
    std::fill_n(NCNT.data(), NUMNP, 0);
    // 2. Add each kept element's values to every node slot it fills, in element order.
    for (Index e = 1; e <= NUMEL; ++e) {
        if (EFLAG(e) == 1) continue;
        for (Index k = 1; k <= NPEMAX; ++k) {
            const Index n = NOD(k, e);
            if (n == 0) continue;
            NVX(n) += VX(e);
            NVY(n) += VY(e);
            NVZ(n) += VZ(e);
            if (moisture) (*NTH)(n) += (*TH)(e);
            NCNT(n) += 1;
        }
    }
    // 3. Sums to means.
    for (Index n = 1; n <= NUMNP; ++n) {
        if (NCNT(n) <= 0) continue;
        const double c = NCNT(n);
        NVX(n) /= c;
        NVY(n) /= c;
        NVZ(n) /= c;
        if (moisture) (*NTH)(n) /= c;
    }
}

}  // namespace cnv
