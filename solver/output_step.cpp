// Outputs of an accepted pass: cumulative inflow, the node table with its discharge sums,
// and at output steps the velocities, the result-file block and the node histories.
#include "assembly.hpp"
#include "node_history.hpp"
#include "recordio/recordio.hpp"
#include "result_file.hpp"
#include "solution.hpp"

namespace sol {

namespace {

// Node table: total head, pressure head and discharge of every node of an active element,
// three nodes to a line, then the sums of inflow and outflow.
void node_table(const SolverRun& run, const SolutionArrays& s) {
    const Control& c = run.ctl;
    const MeshArrays& m = run.mesh;
    const int IW = run.units.IW;
    rio::write(IW, "(////1X,3(' NODE    HEAD       PRESS HEAD   DISCHARGE ')//)");
    const char* line = "(1X,3(I6,1P3E12.4))";
    int node[3] = {0, 0, 0};
    double head[3] = {0, 0, 0}, psi[3] = {0, 0, 0}, q[3] = {0, 0, 0};
    int filled = 0;
    double QP = 0.0, QM = 0.0;
    auto flush = [&]() {
        rio::write(IW, line, {node[0], head[0], psi[0], q[0], node[1], head[1], psi[1], q[1],
                              node[2], head[2], psi[2], q[2]});
        filled = 0;
    };
    for (int i = 1; i <= c.NUMNP; ++i) {
        if (s.NFLAG(i) == 1) continue;
        node[filled] = i;
        head[filled] = m.PSI(i) + m.Z(i);
        psi[filled] = m.PSI(i);
        q[filled] = m.Q(i);
        if (m.Q(i) > 0.0) QP += m.Q(i);
        if (m.Q(i) < 0.0) QM += m.Q(i);
        if (++filled == 3) flush();
    }
    if (filled > 0) {
        for (int k = filled; k < 3; ++k) {
            node[k] = 0;
            head[k] = psi[k] = q[k] = 0.0;
        }
        flush();
    }
    rio::write(IW, "(//'***   QP( +  ) =',1PE13.5/'***   QM( -  ) =',1PE13.5)", {QP, QM});
}

}  // namespace

void accepted_outputs(SolverRun& run, SolutionArrays& s, DriverState& d) {
    const Control& c = run.ctl;
    MeshArrays& m = run.mesh;

    // 1. Cumulative inflow of the unsteady steps.
    if (d.NSTEP >= 1) {
        double sum = 0.0;
        for (int i = 1; i <= c.NUMNP; ++i) sum += m.Q(i);
        d.CUMUL = d.CUMUL + d.DT * sum;
        rio::write(run.units.IW, "(///' CUMULATIVE INFLOW INTO SYSTEM IS =',1PE13.5)", {d.CUMUL});
    }
    // The last step counts as reached once TIME is within a thousandth of a step of TMAX.
    const bool last = d.TIME >= c.TMAX - 0.001 * d.DT;
    // 2. Listing step.
    if (d.NSTEP <= 1 || last || d.NSTEP % c.NPRINT == 0) node_table(run, s);
    // 3. Output step.
    if (d.NSTEP <= 1 || last || d.NSTEP % c.NPOST == 0) {
        VELOC(c, run.units, run.mat, m, s.EFLAG, s.VEL, s.TH);
        WRPLT(c, run.units, s.VEL, m.PSI, m.Q, s.TH, m.KODE, d.NSTEP, d.TIME);
        if (c.NDCNT > 0) write_history_step(c, run.hist, m.PSI, m.Z, d.TIME);
    }
}

}  // namespace sol
