// Everything one solver run owns: control values, units, material block, input state,
// node-history entries and the work arrays with their slices.
#pragma once

#include "model.hpp"
#include "work_arrays.hpp"

namespace gw {

struct SolverRun {
    Control ctl;
    Units units;
    Materials mat;
    InputState input;
    NodeHistory hist;
    WorkArrays work;
    MeshArrays mesh;
    MeshTotals mesh_totals;
};

// The main routine of the solver (start-up, input, mesh check, solution, end).
void SOLMAIN();

// Steps 11 to 19 of a run that passed the mesh check: the remaining dimension checks, the
// matrix structure, the header block, the rain groups, the solution and the closing line.
void run_solution_stage(SolverRun& run);

}  // namespace gw
