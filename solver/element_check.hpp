// Mesh verification before any matrix is built.
#pragma once

#include "model.hpp"
#include "shape.hpp"
#include "work_arrays.hpp"

namespace sol {

// Checks every element: node numbers within 1..NUMNP and distinct (NPE above 8 is one
// node-number error), material number not above NUMMAT, and a Jacobian determinant above
// 1.0E-8 at every integration point and at the centre of a hexahedron or prism whose nodes
// all exist.
// Prints one list-directed listing line per error on unit u.IW and examines every element;
// returns 1 when any error was found, else 0. Never stops the run.
int CHKELM(const Control& ctl, const Units& u, const MeshArrays& mesh);

// Determinant test of one hexahedron (CHKJ8) or prism (CHKJ6) over all points of the rules
// chosen by NINTXY and NINTZ (a value outside 1..4 gives no points in its direction) and,
// when the rules have points, at the element's centre (the prism's centroid), where its
// velocity is taken.
// Returns 1 when the determinant is at or below 1.0E-8 at any of these points, else 0.
int CHKJ8(int NINTXY, int NINTZ, const Xyze& XYZE);
int CHKJ6(int NINTXY, int NINTZ, const Xyze& XYZE);

}  // namespace sol
