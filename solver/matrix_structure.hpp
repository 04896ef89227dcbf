// Compressed-row structure of the global matrix and its database on unit 55.
#pragma once

#include <cstdint>
#include <span>

#include "model.hpp"
#include "work_arrays.hpp"

namespace sol {

// Row pointers MAXA(1..NUMNP+1); returns NWK. Builds them from the elements (each node's
// elements visited in ascending order) and writes database records 1 and 2 on unit 55, or
// (IDBASE not 0) reads them back and checks them against the mesh. Console progress lines.
// Stops 4444 after the listing message on a row of more than 500 entries; 1111 after the
// console line on a database whose node count or row pointers do not fit. A count beyond the
// INTEGER*4 pointers is returned with the pointers past that range unset and no database
// written; the caller's dimension check of IB then stops the run.
std::int64_t COLHT(const Control& ctl, const Units& u, const MeshArrays& mesh);

// Column numbers ISP(1..NWK) (zeroed by the caller), each row's diagonal first, the others
// ascending; a node of no element keeps 0. Writes database record 3 or (IDBASE not 0) reads
// it back: a column outside 0..NUMNP stops 1111. Stops 9999 when a row has no room.
void ADRSK(const Control& ctl, const MeshArrays& mesh, std::int64_t NWK, Span1<Index>& ISP);

// Straight insertion sort ascending; returns -1 when the list has 1 entry or none, else 0.
int ISORT(std::span<Index> list);

}  // namespace sol
