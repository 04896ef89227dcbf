// Conjugate-gradient solve of the free heads on the compressed-row matrix.
#include "cg_solver.hpp"

#include <algorithm>
#include <cmath>

#include "recordio/recordio.hpp"

namespace sol {

namespace {

constexpr double TINY = 1e-60;       // matrix entries at or below this count as zero
constexpr double TINY_HEAD = 1e-120; // a squared head below this is measured absolutely
constexpr double EPS_CG = 1e-10;     // convergence limit of the summed squared changes

[[noreturn]] void fail(const Units& u, int ITMAXCG) {
    rio::write(u.IW, "(' *** FAILURE TO CONVERGENCE IN SOLVER -- ITMAX =',I5)", {ITMAXCG});
    rio::stop(999);
}

// A(i) = DIAG(i) x P(i) + (sum of the off-diagonal entries of row i times P, in row order)
// for every free node; returns (p.r, p.Ap). `Checked` skips column numbers outside 1..NUMNP
// (a node of no element keeps column 0 in its row).
template <bool Checked>
void row_products(int NF, const Index* ifree, const Index* maxa,
                  const Index* isp, const double* sk, const double* diag,
                  const double* pdir, const double* res, double* ap, int NUMNP, double& pr,
                  double& pap) {
    double spr = 0.0;
    double spap = 0.0;
    for (int f = 0; f < NF; ++f) {
        const Index i = ifree[f] - 1;
        const Index k1 = maxa[i + 1] - 1;
        double y = 0.0;
        for (Index k = maxa[i]; k < k1; ++k) {         // off-diagonal entries (0-based k)
            const Index c = isp[k];
            if constexpr (Checked) {
                if (c < 1 || c > NUMNP) continue;
            }
            y = y + sk[k] * pdir[c - 1];
        }
        const double a = diag[i] * pdir[i] + y;
        ap[i] = a;
        spr = spr + pdir[i] * res[i];
        spap = spap + pdir[i] * a;
    }
    pr = spr;
    pap = spap;
}

}  // namespace

void SOLVCG(const Units& u, Span1<double>& SK, Span1<double>& GRAV, Span1<double>& PSI,
            const Span1<Index>& ISP, const Span1<Index>& MAXA, Span1<double>& RES,
            Span1<double>& PDIR, const Span1<Index>& KODE, Span1<Index>& IFREE,
            Span1<double>& DIAG, int NUMNP, int ITMAXCG) {
    // 0-based views for the sweeps: node i is index i - 1, entry k is index k - 1.
    double* sk = SK.data();
    double* grav = GRAV.data();
    double* psi = PSI.data();
    double* res = RES.data();
    double* pdir = PDIR.data();
    double* diag = DIAG.data();
    Index* ifree = IFREE.data();
    const Index* isp = ISP.data();
    const Index* maxa = MAXA.data();
    const Index* kode = KODE.data();

    // Set-up: diagonal, list of free nodes, first residual and search direction.
    std::fill(res, res + NUMNP, 0.0);
    std::fill(pdir, pdir + NUMNP, 0.0);
    int NF = 0;
    bool outside = false;  // some free row holds a column outside 1..NUMNP
    for (int i = 1; i <= NUMNP; ++i) {
        const Index k0 = maxa[i - 1] - 1;
        const Index k1 = maxa[i] - 1;
        double d = sk[k0];
        if (std::fabs(d) <= TINY) {
            sk[k0] = 0.0;
            d = 0.0;
        }
        diag[i - 1] = d;
        if (kode[i - 1] >= 1) continue;  // prescribed: enters only through the rows below
        ifree[NF++] = i;
        if (d == 0.0) {
            // A free node that no active element reaches: its head cannot be solved for.
            rio::write(u.IW, "(' *** ZERO DIAGONAL AT FREE NODE',I8)", {i});
            fail(u, ITMAXCG);
        }
        // The whole row, prescribed columns included, against the current heads.
        double y = 0.0;
        for (Index k = k0; k < k1; ++k) {
            if (k > k0 && std::fabs(sk[k]) <= TINY) sk[k] = 0.0;
            const Index c = isp[k];
            if (c < 1 || c > NUMNP) {
                outside = true;
                continue;
            }
            y = y + sk[k] * psi[c - 1];
        }
        res[i - 1] = grav[i - 1] - y;
        pdir[i - 1] = res[i - 1] / d;
    }

    int IT = 1;
    double EPSX = 0.0;
    if (NF > 0) {
        double* ap = grav;  // the right-hand side is spent: GRAV now holds A times PDIR
        for (;;) {
            // 1. A p over the free rows, with p.r and p.Ap.
            double pr = 0.0;
            double pap = 0.0;
            if (outside)
                row_products<true>(NF, ifree, maxa, isp, sk, diag, pdir, res, ap, NUMNP, pr, pap);
            else
                row_products<false>(NF, ifree, maxa, isp, sk, diag, pdir, res, ap, NUMNP, pr, pap);

            // 2. Step length; a system already satisfied takes no step.
            double alpha = 0.0;
            if (pr != 0.0) {
                if (pap == 0.0) fail(u, ITMAXCG);
                alpha = pr / pap;
            }

            // 3. Update heads and residual; EPSX sums the squared relative changes.
            double zap = 0.0;
            EPSX = 0.0;
            for (int f = 0; f < NF; ++f) {
                const Index i = ifree[f] - 1;
                const double du = alpha * pdir[i];
                double s = psi[i];
                if (psi[i] * psi[i] < TINY_HEAD) s = 1.0;
                psi[i] = psi[i] + du;
                res[i] = res[i] - alpha * ap[i];
                zap = zap + ap[i] * res[i] / diag[i];
                EPSX = EPSX + (du / s) * (du / s);
            }

            // 4. Converged; 5. progress; 6. limit (a non-finite measure never recovers).
            if (EPSX <= EPS_CG) break;
            if (!std::isfinite(EPSX)) fail(u, ITMAXCG);
            if (IT % 100 == 0)
                rio::write(u.IW, "(/'***SOLVCG CHK IT=',I6,' EPSX=',E15.7)", {IT, EPSX});
            if (IT >= ITMAXCG) fail(u, ITMAXCG);

            // 7. Next search direction.
            const double beta = -zap / pap;
            for (int f = 0; f < NF; ++f) {
                const Index i = ifree[f] - 1;
                pdir[i] = res[i] / diag[i] + beta * pdir[i];
            }
            IT = IT + 1;
        }
    }
    rio::write(u.IW, "(' *** SUCCESS TO CONVERGENCE IN SOLVER -- IT =',I5,' EPSX = ',E15.7)",
               {IT, EPSX});
}

}  // namespace sol
