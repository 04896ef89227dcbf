// Location of the output-mesh points in the tetrahedra of the 3-D model (the grid of element
// boxes and the tetrahedron tests behind LOCPTS).
#pragma once

#include <array>
#include <cstdint>

#include "globals.hpp"

namespace cnv {

// Vertices of one tetrahedron: row m = vertex m, columns x, y, z.
using TetVerts = std::array<std::array<double, 3>, 4>;

// Signed volume: minus one sixth of the scalar triple product (P2-P1).((P3-P1)x(P4-P1)).
double TETVOL(const TetVerts& VTET);

// Nodes of tetrahedron k (1-based) of an element with NPE nodes into VTET (the split table
// of TETTAB); returns its volume.
double TETGAT(TetVerts& VTET, const double* XE, const double* YE, const double* ZE, int k,
              int NPE);

// The sub-tetrahedron of tetrahedron k in which the point replaces one vertex (J = 1: T4,
// 2: T3, 3: T1, any other: T2), point last; returns its volume.
double TETSUB(double XI, double YI, double ZI, TetVerts& VTET, const double* XE,
              const double* YE, const double* ZE, int k, int NPE, int J);

// Locates points 1..NPT of the mesh: for each point the first element in element order, and
// within it the first tetrahedron in table order, whose four sub-volumes are all >= 0.0.
// Only tetrahedra of positive volume are candidates; an element with a slot outside
// 1..NUMNP among its first NPE slots holds no point. With `indexed` the candidates come from
// a uniform grid of element boxes, visited in element order (the same result as the full
// scan); without it every element is tried. Returns the number of points left unlocated.
std::int64_t locate_points(const OutputMesh& mesh, PointWeights& pts, const Span1<double>& X,
                           const Span1<double>& Y, const Span1<double>& Z,
                           const Span2<std::int32_t>& NOD, std::int32_t NUMEL, bool indexed);

// Total and pressure head at point i from the nodes' pressure heads P: HP = sum over the four
// vertices of (P + Z) x weight, left to right (0.0 for an unlocated point); PP = HP - ZP.
void point_heads(OutputMesh& mesh, const PointWeights& pts, const Span1<double>& P,
                 const Span1<double>& Z, std::int32_t i);

}  // namespace cnv
