// Discharges at the prescribed nodes from the conductivity system of the pass.
#include <algorithm>

#include "cg_solver.hpp"
#include "recordio/recordio.hpp"

namespace sol {

void DISCHG(const Control& ctl, const Materials& mat, Span1<double>& SK, Span1<double>& GRAV,
            const Span1<Index>& KODE, const Span1<double>& PSI, const Span1<double>& HOLD,
            const Span1<Index>& ISP, const Span1<Index>& MAXA,
            const Span1<double>& SKS, const Span1<double>& GRAVS, Span1<double>& Q, int NUMNP,
            std::int64_t NWK, int NSTEP) {
    // 1. Bring back K and G as the assembly kept them.
    if (ctl.STORE == 1) {
        std::copy(SKS.data(), SKS.data() + NWK, SK.data());
        std::copy(GRAVS.data(), GRAVS.data() + NUMNP, GRAV.data());
    } else {
        rio::rewind(2);
        rio::read_unf(2, {SK.span().first(static_cast<std::size_t>(NWK)),
                          GRAV.span().first(static_cast<std::size_t>(NUMNP))});
    }

    // 2. The weights of the system solved: fully implicit in the steady stage and the first
    //    step, Crank-Nicolson (at mid-step heads, multiplied through by 2) after it.
    double w = 0.0;
    double S = 1.0;
    if (!(ctl.ITSCH == 1 || NSTEP <= 1)) {
        w = 1.0;
        S = 2.0;
    }

    // 3. Q = (S G + K (PSI + w HOLD)) / (S CONS2) at every prescribed node, the row sum
    //    formed first in row order. Columns outside 1..NUMNP (a node of no element) are
    //    skipped.
    const double* sk = SK.data();
    const double* grav = GRAV.data();
    const double* psi = PSI.data();
    const double* hold = HOLD.data();
    const Index* isp = ISP.data();
    const Index* maxa = MAXA.data();
    const Index* kode = KODE.data();
    double* q = Q.data();
    const double divisor = S * mat.CONS2;
    for (int i = 0; i < NUMNP; ++i) {
        if (kode[i] < 1) continue;  // 4. free nodes keep the inflow given to them
        double y = 0.0;
        for (Index k = maxa[i] - 1; k < maxa[i + 1] - 1; ++k) {
            const Index c = isp[k];
            if (c < 1 || c > NUMNP) continue;
            y = y + sk[k] * (psi[c - 1] + w * hold[c - 1]);
        }
        q[i] = (S * grav[i] + y) / divisor;
    }
}

}  // namespace sol
