// The solution driver: time stepping, nonlinear iteration, boundary conditions of a step,
// outputs of an accepted step, active elements.
#pragma once

#include <cstdint>
#include <vector>

#include "solver_run.hpp"
#include "work_arrays.hpp"

namespace sol {

// Scalars of the driver, kept for the whole solution.
struct DriverState {
    int NSTEP = 0;
    double TIME = 0.0;
    double DT = 0.0;
    double DTOLD = 0.0;   // length of the previous accepted step
    double TB = 0.0;      // time at which flux, rain and evaporation tables are read
    int LAA = 0;          // cuts made in the current step
    int ITER = 0;
    double CUMUL = 0.0;
    std::vector<double> TEVENT;  // event times, ascending (built unless IEVOFF is not 0)
    int NEVTIM = 0;
    int event_pointer = 1;
    int landing = 0;
};

// How the solution ended: solved to its end, or abandoned (too many step cuts, or a steady
// stage not converged within ITMAX0 iterations) after its message on the listing.
enum class SolutionEnd { Good, Unfinished };

// Runs the whole solution (steady, unsteady, or both) and says how it ended; stops 3333 on bad
// group input or a step length that is not positive.
SolutionEnd SOLUTN(SolverRun& run, SolutionArrays& s, std::int64_t NWK);

// Marks removed elements (material below 1) and nodes of no active element; such nodes
// (codes 2, 4 or below 1) get code 9, and code 9 returns to 0 first.
void SETACT(const Control& ctl, const MeshArrays& mesh, SolutionArrays& s);

// Nodes of no active element (NFLAG 1) with codes 2, 4 or below 1 get code 9, which keeps
// them out of the solve; prescribed heads (code 1) keep theirs.
void switch_off_orphan_nodes(const Control& ctl, const MeshArrays& mesh, const SolutionArrays& s);

// Boundary conditions at the start of a pass: TB, head groups, flux groups, rain nodes and
// rain fluxes.
void boundary_conditions(SolverRun& run, SolutionArrays& s, DriverState& d);

// Nodal fluxes of the pass: Q = QINIT, plus rain fluxes at rain nodes and group fluxes.
void nodal_fluxes(SolverRun& run, SolutionArrays& s);

// Outcome of the nonlinear iteration of one pass.
enum class PassOutcome { Converged, Cut, Abandoned };

// The nonlinear iteration of one pass (assembly, solve, discharges, switching, test).
PassOutcome RESET(SolverRun& run, SolutionArrays& s, DriverState& d, std::int64_t NWK);

// Flux balance, node table and, at output steps, velocities, result-file block and node
// histories of an accepted pass.
void accepted_outputs(SolverRun& run, SolutionArrays& s, DriverState& d);

}  // namespace sol
