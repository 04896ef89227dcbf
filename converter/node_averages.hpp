// Element values averaged to the nodes, as the 3-D writers show them.
#pragma once

#include "writers.hpp"

namespace cnv {

// Plain mean, at every node, of the values of the elements whose EFLAG is not 1 and that list
// the node in one of their NPEMAX slots (a node listed twice counts twice). Overwrites NVX,
// NVY, NVZ, NCNT and, when both are given, NTH from TH; a node without such an element keeps
// 0.0 and count 0.
void average_to_nodes(const RealView& VX, const RealView& VY, const RealView& VZ,
                      const RealView* TH, const RealView& NVX, const RealView& NVY,
                      const RealView& NVZ, const RealView* NTH, const IntView& NCNT,
                      const NodView& NOD, Index NUMNP, Index NUMEL, Index NPEMAX,
                      const IntView& EFLAG);

}  // namespace cnv
