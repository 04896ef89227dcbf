// Mesh verification before any matrix is built.
#pragma once

#include "model.hpp"
#include "work_arrays.hpp"

namespace gw {

// Checks every element's node numbers (within 1..NUMNP, distinct), its material number
// (not above NUMMAT) and the Jacobian determinant at every integration point (above 1.0E-8).
// Prints one listing line per error on unit u.IW; returns 1 when any error was found, else 0.
int CHKELM(const Control& ctl, const Units& u, const MeshArrays& mesh);

}  // namespace gw
