// Everything one solver run owns: control values, units, material block, input state,
// node-history entries and the work arrays with their slices.
#pragma once

#include <cstdint>

#include "model.hpp"
#include "work_arrays.hpp"

namespace sol {

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

// Prints the "MESH CHECK DIMENSION" line with the lengths bd and ib the run needs; when
// either work array is shorter, prints the shortfalls and stops with `code`.
void dimension_check(const SolverRun& run, std::int64_t bd, std::int64_t ib, int code);

// The main routine of the solver (start-up, input, mesh check, solution, end).
void SOLMAIN();

// Steps 11 to 19 of a run that passed the mesh check: the remaining dimension checks, the
// matrix structure, the header block, the rain groups, the solution and the closing line.
void run_solution_stage(SolverRun& run);

}  // namespace sol
