// Solution stage of a run that passed the mesh check: the remaining dimension checks, the
// matrix structure, the header block, the solution and the normal end.
#include <algorithm>

#include "input.hpp"
#include "matrix_structure.hpp"
#include "rain.hpp"
#include "recordio/recordio.hpp"
#include "solution.hpp"
#include "solver_run.hpp"
#include "work_arrays.hpp"
#include "result_file.hpp"

namespace sol {

namespace {

// Stop code of a solution abandoned after too many step cuts or an unconverged steady stage.
constexpr int kUnfinishedStop = 7777;

void header_block(const SolverRun& run, std::int64_t NWK) {
    const Control& c = run.ctl;
    const int IW = run.units.IW;
    if (c.KIND < 0)
        rio::write(IW, "(' ***** UNSTEADY PROBLEM *******'/)");
    else if (c.KIND > 0)
        rio::write(IW, "(' ******* STEADY PROBLEM *******'/)");
    else
        rio::write(IW, "(' ******* STEADY-UNSTEADY PROBLEM *******'/)");
    const Index nwk = static_cast<Index>(NWK);
    rio::write(IW,
               "(1X,20A4//' NUMBER OF NODAL POINTS-------',I7/' MAX NODES IN A ELEMENT-------',"
               "I7/' NUMBER OF ELEMENTS-----------',I7/' NUMBER OF MATERIALS----------',I7/"
               "' MAX NUMBER OF ITERATIONS-----',I7/' MAX NUMBER OF ITERATIONS(T=0)',I7/"
               "' MAX NUMBER OF CG ITERATIONS--',I7/' NUMBER OF MATRIX DIMENSIONS--',I7///)",
               {rio::Item::words(c.TITLE, 4), c.NUMNP, c.NPEMAX, c.NUMEL, c.NUMMAT, c.ITMAX, c.ITMAX0,
                c.ITMAXCG, nwk});
    rio::write(IW, "(/' OMEGA [P1*OMEGA+P*(1.0-OMEGA)] = ',F10.5/)", {c.OMEGA});
}

}  // namespace

void run_solution_stage(SolverRun& run) {
    const Control& c = run.ctl;
    const MeshTotals& mt = run.mesh_totals;

    // 11. Room for the matrix-structure work space.
    const std::int64_t BD2 = mt.BD1 + 2 * static_cast<std::int64_t>(c.NUMEL);
    dimension_check(run, BD2, mt.IB1, 3333);
    // 12. Row pointers.
    const std::int64_t NWK = COLHT(c, run.units, run.mesh);
    // 13. Room for the column numbers.
    dimension_check(run, BD2, mt.IB1 + NWK, 4444);
    // 14. Column numbers.
    Span1<Index> ISP = cut_isp(run.work, mt, NWK);
    std::fill(ISP.data(), ISP.data() + NWK, 0);
    ADRSK(c, run.mesh, NWK, ISP);
    // 15. The whole run.
    const RunTotals tot = run_totals(c, NWK);
    rio::write(run.units.IW, "(//'  TOTAL DIMENSION  BD( ',I10,' )'/'  TOTAL DIMENSION  IB( ',I10,' )')",
               {clamp32(tot.BD), clamp32(tot.IB)});
    if (run.work.MTOTBD < tot.BD || run.work.MTOTIB < tot.IB) {
        rio::write(run.units.IW, "(//'  MTOTBD= ',I7,'  MTOTIB= ',I7)",
                   {clamp32(tot.BD - run.work.MTOTBD), clamp32(tot.IB - run.work.MTOTIB)});
        rio::stop(5555);
    }
    SolutionArrays s;
    cut_solution(run.work, c, mt, NWK, s);
    // 16. Header block.
    header_block(run, NWK);
    // 17. Rain and evaporation faces.
    if (c.NRFACE > 0) RDRAIN(c, run.units, run.input, run.mesh, s, 0);
    // 18. The solution.
    const SolutionEnd end = SOLUTN(run, s, NWK);
    // 19. A solution left unfinished stops with 7777, its listing ending with the line that
    //     says why; a finished one closes with the good-end line.
    if (end == SolutionEnd::Unfinished) rio::stop(kUnfinishedStop);
    rio::write(run.units.IW, "(//'  ***GOOD, GOOD****')");
    rio::stop();
}

}  // namespace sol
