// Global assembly of the effective system of one pass: steady, fully implicit or
// Crank-Nicolson.
#include <span>

#include "assembly.hpp"
#include "recordio/recordio.hpp"

namespace sol {

int gather_element(const Control& ctl, const MeshArrays& mesh, const Span1<Index>& EFLAG,
                   int e, ElementWork& w) {
    if (EFLAG(e) == 1) return 0;
    const int m = mesh.MTYP(e);
    // Removed elements (below 1) and numbers beyond the materials read take no part.
    if (m < 1 || m > ctl.NUMMAT) return 0;
    w.NNODE = mesh.NPE(e);
    if (w.NNODE != 8 && w.NNODE != 6) return 0;
    for (int l = 1; l <= w.NNODE; ++l) {
        const Index n = mesh.NOD(l, e);
        if (n < 1 || n > ctl.NUMNP) return 0;
        w.NODE[l - 1] = n;
        w.XYZE[l - 1] = {mesh.X(n), mesh.Y(n), mesh.Z(n)};
    }
    return m;
}

void ASSEMB(const Control& ctl, const Units& u, const Materials& mat, const MeshArrays& mesh,
            SystemArrays& sys, const Span1<Index>& EFLAG, int NSTEP, double DT,
            double DTOLD, int ITER) {
    const int NUMNP = ctl.NUMNP;
    const std::int64_t NWK = std::int64_t(mesh.MAXA(NUMNP + 1)) - 1;
    Span1<double>& SK = sys.SK;
    Span1<double>& GRAV = sys.GRAV;
    Span1<double>& CAPV = sys.CAPV;
    Span1<double>& HW = sys.HW;
    Span1<double>& HOLD = sys.HOLD;

    // 1. Zero the global arrays.
    for (int i = 1; i <= NUMNP; ++i) {
        GRAV(i) = 0.0;
        CAPV(i) = 0.0;
    }
    for (std::int64_t k = 1; k <= NWK; ++k) SK(k) = 0.0;

    // 2. Work heads at the free nodes; prescribed nodes keep the heads they came with. The
    //    first pass of a step takes the entering heads as the start-of-step heads HOLD.
    for (int i = 1; i <= NUMNP; ++i) {
        const bool free_node = mesh.KODE(i) < 1;
        if (ITER == 0) {
            const double old = HOLD(i);
            HOLD(i) = HW(i);
            if (!free_node) continue;
            if (NSTEP >= 2)
                HW(i) = HW(i) + (HW(i) - old) * 0.5 * DT / DTOLD;  // linear predictor to mid-step
            else
                HW(i) = old;
        } else if (free_node) {
            if (NSTEP <= 0)
                HW(i) = HW(i) * (1.0 - ctl.OMEGA) + HOLD(i) * ctl.OMEGA;
            else
                HW(i) = (HW(i) + HOLD(i)) * 0.5;
        }
    }

    // 3. Element loop, ascending element numbers.
    const ElementContext c{ctl, u, mat, mesh, sys};
    ElementWork w;
    for (int e = 1; e <= ctl.NUMEL; ++e) {
        const int m = gather_element(ctl, mesh, EFLAG, e, w);
        if (m == 0) continue;
        w.STC = mat.CONS1 * mat.SS[m] / mat.POROSITY[m];
        w.SATSW = 1.0;
        ELSET(c, w, m);
    }

    // 4. Keep the conductivity system for the discharges of this pass.
    if (ctl.STORE == 1) {
        for (std::int64_t k = 1; k <= NWK; ++k) sys.SKS(k) = SK(k);
        for (int i = 1; i <= NUMNP; ++i) sys.GRAVS(i) = GRAV(i);
    } else {
        rio::rewind(2);
        rio::write_unf(2, {std::span<double>(SK.data(), static_cast<std::size_t>(NWK)),
                           std::span<double>(GRAV.data(), static_cast<std::size_t>(NUMNP))});
    }

    // 5. Time weighting S: 1 in the steady stage and the first step, 2 (Crank-Nicolson
    //    multiplied through by 2) from the second step on unless ITSCH = 1.
    const bool steady = NSTEP <= 0;
    double S = 1.0;
    if (steady) {
        for (int i = 1; i <= NUMNP; ++i) CAPV(i) = 0.0;
    } else if (NSTEP >= 2 && ctl.ITSCH != 1) {
        S = 2.0;
    }

    // 6. Right-hand side and diagonal, row by row. The steady stage has no capacity terms
    //    (they are zero there, and DT may be 0). Each row product reads only its own row,
    //    so the diagonal may be updated right after it.
    for (int i = 1; i <= NUMNP; ++i) {
        double r;
        if (steady)
            r = S * (mesh.Q(i) * mat.CONS2 - GRAV(i));
        else
            r = S * ((mesh.Q(i) * mat.CONS2 - GRAV(i)) + HOLD(i) * CAPV(i) / DT);
        const std::int64_t first = mesh.MAXA(i);
        const std::int64_t last = std::int64_t(mesh.MAXA(i + 1)) - 1;
        if (S == 2.0) {
            double y = 0.0;
            for (std::int64_t k = first; k <= last; ++k) {
                const Index col = sys.ISP(k);
                if (col >= 1 && col <= NUMNP) y += SK(k) * HOLD(col);
            }
            r = r - y;
        }
        GRAV(i) = r;
        if (!steady) SK(first) += CAPV(i) * S / DT;
    }
}

}  // namespace sol
