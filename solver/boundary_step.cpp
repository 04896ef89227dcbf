// Boundary conditions of a pass: table times, head groups, flux groups, rain nodes and the
// rain and evaporation fluxes, and the nodal flux vector the iterations start from.
#include "assembly.hpp"
#include "change_events.hpp"
#include "solution.hpp"

namespace sol {

void boundary_conditions(SolverRun& run, SolutionArrays& s, DriverState& d) {
    const Control& c = run.ctl;
    MeshArrays& m = run.mesh;

    // 1. Flux, rain and evaporation tables are read at mid-step or at the step's end; the
    // steady stage reads every table at time 0.
    if (d.NSTEP == 0)
        d.TB = 0.0;
    else if (c.IBTIME == 0)
        d.TB = d.TIME - d.DT * 0.5;
    else
        d.TB = d.TIME;

    // 2, 3. Change events due at TIME.
    fire_due_events(run, s, d);

    // 4. Head groups at TIME: nodes at or below the group head are prescribed.
    for (int g = 1; g <= c.NHB; ++g) {
        const double H = TABINT(s.THB, s.HHB, d.TIME, s.NHTP(g), g);
        if (s.NHN(g) <= 0) continue;
        for (int i = 1; i <= c.NHBN; ++i) {
            const int n = s.IHBN(g, i);
            if (n < 1 || n > c.NUMNP || s.NFLAG(n) == 1) continue;
            if (m.Z(n) <= H || c.IHBFIX == 1) {
                m.KODE(n) = 1;
                m.PSI(n) = H - m.Z(n);
            } else {
                m.KODE(n) = -2;
            }
        }
    }

    // 5. Flux groups at TB.
    for (int g = 1; g <= c.NQB; ++g) {
        const double F = TABINT(s.TQB, s.QQB, d.TB, s.NQTP(g), g);
        if (s.NQN(g) > 0 && c.NQBN > 0)
            for (int i = 1; i <= c.NQBN; ++i) s.QGRP(g, i) = F;
    }

    // 6. Free rain nodes take the rain flux.
    for (int j = 1; j <= c.NRNODE; ++j) {
        const int n = s.IRNODE(j);
        if (n >= 1 && n <= c.NUMNP && m.KODE(n) < 1) m.KODE(n) = -4;
    }

    // 7. Rain and evaporation of each face, shared equally by its nodes.
    if (c.NRFACE != 0) {
        for (int j = 1; j <= c.NRNODE; ++j) s.QRN(j) = 0.0;
        for (int f = 1; f <= c.NRFACE; ++f) {
            const int e = s.IRFACE(f, 1);
            if (e < 1 || e > c.NUMEL || s.EFLAG(e) == 1 || m.MTYP(e) < 0) continue;
            double R = 0.0;
            const int it = s.IRT(f);
            if (it != 0) {
                if (c.NRRPT > 0 && c.NRR > 0 && it >= 1 && it <= c.NRR)
                    R = TABINT(s.TRAIN, s.RRAIN, d.TB, s.NRTP(it), it);
                R = R * s.RFACE(f, 1) * s.RFACE(f, 2);
            }
            double E = 0.0;
            const int ie = s.IET(f);
            if (ie != 0) {
                if (c.NEVPT > 0 && c.NEV > 0 && ie >= 1 && ie <= c.NEV)
                    E = TABINT(s.TEVAP, s.REVAP, d.TB, s.NETP(ie), ie);
                E = E * s.RFACE(f, 2);
            }
            const int n = s.IRFACE(f, 2);
            if (n <= 0) continue;
            for (int col = 4; col < 4 + n && col <= 7; ++col) {
                const int p = s.IRFACE(f, col);
                if (p > 0 && p <= c.NRNODE) s.QRN(p) += (R - E) / n;
            }
        }
    }
}

void nodal_fluxes(SolverRun& run, SolutionArrays& s) {
    const Control& c = run.ctl;
    MeshArrays& m = run.mesh;
    std::copy(m.QINIT.data(), m.QINIT.data() + m.QINIT.size(), m.Q.data());
    for (int j = 1; j <= c.NRNODE; ++j) {
        const int n = s.IRNODE(j);
        if (n >= 1 && n <= c.NUMNP && m.KODE(n) == -4) m.Q(n) = m.Q(n) + s.QRN(j);
    }
    for (int g = 1; g <= c.NQB; ++g) {
        if (s.NQN(g) <= 0) continue;
        for (int i = 1; i <= c.NQBN; ++i) {
            const int n = s.IQBN(g, i);
            if (n >= 1 && n <= c.NUMNP) m.Q(n) = m.Q(n) + s.QGRP(g, i);
        }
    }
}

void SETACT(const Control& c, const MeshArrays& m, SolutionArrays& s) {
    for (int e = 1; e <= c.NUMEL; ++e) s.EFLAG(e) = m.MTYP(e) < 1 ? 1 : 0;
    for (int n = 1; n <= c.NUMNP; ++n) s.NFLAG(n) = 1;
    for (int e = 1; e <= c.NUMEL; ++e) {
        if (s.EFLAG(e) == 1 || m.MTYP(e) < 0) continue;
        for (int k = 1; k <= c.NPEMAX; ++k) {
            const int n = m.NOD(k, e);
            if (n >= 1 && n <= c.NUMNP) s.NFLAG(n) = 0;
        }
    }
    for (int n = 1; n <= c.NUMNP; ++n)
        if (m.KODE(n) == 9) m.KODE(n) = 0;
    switch_off_orphan_nodes(c, m, s);
}

void switch_off_orphan_nodes(const Control& c, const MeshArrays& m, const SolutionArrays& s) {
    for (int n = 1; n <= c.NUMNP; ++n) {
        const int k = m.KODE(n);
        if ((k == 2 || k == 4 || k <= 0) && s.NFLAG(n) == 1) m.KODE(n) = 9;
    }
}

}  // namespace sol
