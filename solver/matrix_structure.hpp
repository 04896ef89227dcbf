// Compressed-row structure of the global matrix and its database on unit 55.
#pragma once

#include <cstdint>
#include <span>

#include "model.hpp"
#include "work_arrays.hpp"

namespace gw {

// Row pointers MAXA(1..NUMNP+1); returns NWK. Builds them from the elements and writes
// database records 1 and 2, or (IDBASE not 0) reads them back. Console progress lines.
// Stops 4444 on a row of more than 500 entries, 1111 on a database of another mesh.
std::int64_t COLHT(const Control& ctl, const Units& u, const MeshArrays& mesh);

// Column numbers ISP(1..NWK) (zeroed by the caller), each row's diagonal first, the others
// ascending; writes database record 3 or reads it back.
void ADRSK(const Control& ctl, const MeshArrays& mesh, std::int64_t NWK, Span1<std::int32_t>& ISP);

// Straight insertion sort ascending; returns -1 when the list has 1 entry or none, else 0.
int ISORT(std::span<std::int32_t> list);

}  // namespace gw
