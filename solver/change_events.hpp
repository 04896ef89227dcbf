// Change events: NEWC events (boundary groups, codes, rain faces) and MATC events (element
// materials), read once before the time loop and fired when their time comes.
#pragma once

#include "model.hpp"
#include "solution.hpp"
#include "solver_run.hpp"
#include "work_arrays.hpp"

namespace sol {

// Group U: every NEWC event into TNEWC and the NEWCH, NEWCQ, NEWCB and NEWCR line tables.
// A count record is read for each kind whose maximum is positive. V1 of a NEWCB line is
// turned into a pressure head (V1 - IHEAD x Z(node)). Wrong keywords, counts above their
// maxima, numbers outside the model and NEWCH lines sending a node to a head group without
// table points print the group error line (and a limit line) and set in.read_error; every
// record of the group is read either way.
void RDNEWC(const Control& ctl, const Units& u, InputState& in, const MeshArrays& mesh,
            SolutionArrays& s);

// Group V: every MATC event into TMATC and the MATCE and MATCM line tables, with the same
// error handling.
void RDMATC(const Control& ctl, const Units& u, InputState& in, SolutionArrays& s);

// Applies NEWC event k at the step ending at TIME: its NEWCH, NEWCQ, NEWCB and NEWCR lines
// in that order; NEWCR lines end with the rain faces rebuilt. Stops 3333 when a node is to
// enter a head or flux group that has no empty slot left.
void APNEWC(int k, SolverRun& run, SolutionArrays& s, double TIME);

// Applies MATC event m: its MATCM lines (old material -> new), then its MATCE lines
// (element -> new material). Returns true when an assignment gave a material below 1.
bool apply_matc(int m, const Control& ctl, MeshArrays& mesh, SolutionArrays& s);

// Fires, in an unsteady pass, the NEWC and then the MATC events due at d.TIME (time
// positive and not beyond TIME + 0.001), marking each fired event with time -1. After the NEWC
// events, nodes of no active element that they freed get code 9 again; SETACT runs once when a
// fired MATC event removed an element.
void fire_due_events(SolverRun& run, SolutionArrays& s, const DriverState& d);

}  // namespace sol
