// Rain and evaporation faces: group L, the faces' nodes and horizontal areas, the face-area
// file and the rain-node list.
#pragma once

#include <cstdint>

#include "model.hpp"
#include "work_arrays.hpp"

namespace sol {

// RDRAIN's rebuild switch: skip group L and rebuild the faces from the entries as they stand
// (a change event that added or removed rain faces). Any other value reads group L first.
inline constexpr int kRainRebuild = 1;

// Rain faces of the run, in the solution part of the work arrays (s.IRFACE, IRT, IET, RFACE,
// IRNODE, NRTP, TRAIN, RRAIN, NETP, TEVAP, REVAP).
// Reading (rebuild not 1): the RAIN record, NRL RAINE records expanded into entries from
// entry 1 (entries no record fills get element 0), NRR RAINR and NEV EVAPO tables. A wrong
// keyword prints the group line and the record stands. Entries past NRFACE, points past
// NRRPT or NEVPT, elements above NUMEL, face numbers outside the element's faces and table
// numbers outside 0..NRR or 0..NEV are read but not stored: each prints the group line and a
// "** LIMIT **" line, and the run stops 8001 after the group, before any face is built.
// Every call: each entry with an element gets its face nodes (IRFACE columns 2, 4-7) and
// horizontal area (RFACE column 2), and one record (element, area) on the face-area file
// "fort.155"; then the rain-node list IRNODE is rebuilt in order of first appearance and the
// face nodes are replaced by their positions in it. More than NRNODE rain nodes: an error
// line on the listing and stop 8001.
void RDRAIN(const Control& ctl, const Units& u, InputState& in, const MeshArrays& mesh,
            SolutionArrays& s, int rebuild);

// Horizontal (x-y) area of rain-face entry i from the node numbers in IRFACE columns 4-7:
// the triangle n1 n2 n3, plus n1 n3 n4 when the face has 4 nodes; 0 when n1 is 0.
double FAREA(const Span2<Index>& IRFACE, const Span1<double>& X, const Span1<double>& Y,
             std::int64_t i);

}  // namespace sol
