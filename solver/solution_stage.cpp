// Solution stage of a run: matrix structure, dimension checks, time stepping, normal end.
#include "solver_run.hpp"

#include "recordio/recordio.hpp"

namespace gw {

void run_solution_stage(SolverRun& run) {
    rio::write(run.units.IW, "(' THE SOLUTION STAGE IS NOT AVAILABLE YET')");
    rio::stop(3333);
}

}  // namespace gw
