// PLOXEN plan and section plots of the output mesh.
#pragma once

#include <cstdint>

#include "arrays.hpp"

namespace gw {

// The output mesh as the PLOXEN writer reads it.
struct PloxenMesh {
    std::int32_t NPT = 0, NCELL = 0;
    const double *XP = nullptr, *YP = nullptr, *ZP = nullptr, *DSEC = nullptr, *PP = nullptr,
                 *HP = nullptr;
    Span2<std::int32_t> ICELL;
};

void WRPLOXEN(double TIME, std::int32_t NSTEP, std::int32_t MFORM, const PloxenMesh& mesh);

}  // namespace gw
