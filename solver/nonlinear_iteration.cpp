// Picard iteration of one pass: assembly, solve, discharges, seepage and rain switching, and
// the convergence and divergence tests on the largest change of pressure head.
#include <cmath>

#include "assembly.hpp"
#include "cg_solver.hpp"
#include "recordio/recordio.hpp"
#include "solution.hpp"

namespace sol {

namespace {

constexpr double kNoChange = 1.0E28;  // remembered changes at the start of a pass

// Seepage faces: a node below its seepage value seeps at that head; a seeping node whose
// discharge turns inward (or follows a node that stopped seeping) stops seeping.
void switch_seepage(const Control& c, MeshArrays& m) {
    if (c.MAXSEP <= 0) return;
    for (int k = 1; k <= c.MSEP; ++k) {
        const int count = m.IFSEEP(k);
        const int node = m.KSEEP(k);
        if (count < 1 || node < 1 || node > c.NUMNP) continue;  // entry not filled
        bool flag = false;
        for (int j = 1; j <= count; ++j) {
            if (m.KODE(node) == -2) {
                if (m.SEPVAL(k) > m.PSI(node)) {
                    flag = true;
                } else if (!flag) {
                    m.KODE(node) = 2;
                    m.PSI(node) = m.SEPVAL(k);
                }
            } else if (m.KODE(node) == 2) {
                if (flag || m.Q(node) >= 0.0) {
                    m.KODE(node) = -2;
                    m.Q(node) = 0.0;
                    flag = true;
                }
            }
        }
    }
}

// Rain nodes: ponding at PSIRN holds the head there; a held node whose discharge no longer
// takes the rain returns to the rain flux.
void switch_rain(const Control& c, MeshArrays& m, const SolutionArrays& s) {
    for (int j = 1; j <= c.NRNODE; ++j) {
        const int n = s.IRNODE(j);
        if (n < 1 || n > c.NUMNP) continue;
        if (m.KODE(n) == -4 && m.PSI(n) >= c.PSIRN) {
            m.KODE(n) = 4;
            m.PSI(n) = c.PSIRN;
        } else if (m.KODE(n) == 4 && m.Q(n) >= s.QRN(j)) {
            m.KODE(n) = -4;
            m.Q(n) = s.QRN(j);
        }
    }
}

void fetch_previous(const Control& c, SolutionArrays& s) {
    if (c.STORE == 1) return;  // PREV already holds it
    rio::rewind(4);
    rio::read_unf(4, {s.HW.span()});
}

void keep_previous(const Control& c, const MeshArrays& m, SolutionArrays& s) {
    if (c.STORE == 1) {
        std::copy(m.PSI.data(), m.PSI.data() + m.PSI.size(), s.PREV.data());
    } else {
        rio::rewind(4);
        rio::write_unf(4, {m.PSI.span()});
    }
}

}  // namespace

PassOutcome RESET(SolverRun& run, SolutionArrays& s, DriverState& d, std::int64_t NWK) {
    Control& c = run.ctl;
    const Units& u = run.units;
    MeshArrays& m = run.mesh;
    double dmax_older = kNoChange;  // change of two iterations earlier
    double dmax_newer = kNoChange;  // change of the previous iteration
    d.ITER = 0;

    SystemArrays sys{s.SK, s.SKS, s.GRAV, s.GRAVS, s.CAPV, s.HW, s.HOLD, s.ISP};
    for (;;) {
        // 1. Assemble at the current heads.
        std::copy(m.PSI.data(), m.PSI.data() + m.PSI.size(), s.HW.data());
        ASSEMB(c, u, run.mat, m, sys, s.EFLAG, d.NSTEP, d.DT, d.DTOLD, d.ITER);
        // 2. Solve for the free heads.
        SOLVCG(u, s.SK, s.GRAV, m.PSI, s.ISP, m.MAXA, s.RES, s.PDIR, m.KODE, s.IFREE, s.DIAG,
               c.NUMNP, c.ITMAXCG);
        // 3. Discharges at the prescribed nodes.
        DISCHG(c, run.mat, s.SK, s.GRAV, m.KODE, m.PSI, s.HOLD, s.ISP, m.MAXA, s.SKS, s.GRAVS,
               m.Q, c.NUMNP, NWK, d.NSTEP);
        // 4. A single linear solve when no iteration is asked for.
        if (c.ITMAX <= 0) return PassOutcome::Converged;
        // 5-7. Count the iteration; switch seepage and rain nodes.
        d.ITER = d.ITER + 1;
        switch_seepage(c, m);
        switch_rain(c, m, s);

        double dmax = kNoChange;
        if (d.ITER > 2) {
            // 9-10. Largest change since the previous iterate (ties go to the later node).
            fetch_previous(c, s);
            const double* prev = c.STORE == 1 ? s.PREV.data() : s.HW.data();
            const double* psi = m.PSI.data();
            dmax = 0.0;
            int node = 0;
            for (int i = 0; i < c.NUMNP; ++i) {
                const double change = std::abs(psi[i] - prev[i]);
                if (change >= dmax) {
                    dmax = change;
                    node = i + 1;
                }
            }
            // 11. Report it on the listing and the console.
            const char* fmt =
                "(/' MAXIMUM CHANGE IN PRESSURE HEAD DURING ITERATION',I3,' WAS',1PE13.5,"
                "' AT NODE',I6)";
            rio::write(u.IW, fmt, {d.ITER, dmax, node});
            rio::write(rio::kConsoleOut, fmt, {d.ITER, dmax, node});
            // 12. Tests.
            if (dmax <= c.EPSLN) return PassOutcome::Converged;
            if (d.NSTEP < 1) {
                if (d.ITER > c.ITMAX0) {
                    rio::write(u.IW, "(//'  *** ERROR IN INITIAL CONDITION (ITER > ITMAX) ***'//)");
                    return PassOutcome::Abandoned;
                }
            } else if (d.ITER > c.ITMAX || dmax >= dmax_older) {
                return PassOutcome::Cut;
            }
        }
        // 13. Keep this iterate and shift the remembered changes.
        keep_previous(c, m, s);
        dmax_older = dmax_newer;
        dmax_newer = dmax;
    }
}

}  // namespace sol
