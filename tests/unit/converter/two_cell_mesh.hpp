// An output mesh of a triangle (third point repeated) and a quadrilateral over four points,
// with heads and section distances set, for the output-mesh writers' tests.
#pragma once

#include "globals.hpp"

namespace cnv::test_support {

inline void fill_two_cell_mesh(OutputMesh& mesh) {
    mesh.NPT = 4;
    mesh.NCELL = 2;
    // x, y, z, section distance, pressure head and total head of each point.
    const double point[4][6] = {{0, 0, -10, 0, -1.5, 1},
                                {3, 0, -11, 3, 0, 2},
                                {0, 3, -12, 3, 0.25, 3},
                                {3, 3, -13.5, 4.2426, 123456.0, 4}};
    for (int i = 1; i <= 4; ++i) {
        const double* p = point[i - 1];
        mesh.XP(i) = p[0], mesh.YP(i) = p[1], mesh.ZP(i) = p[2], mesh.DSEC(i) = p[3];
        mesh.PP(i) = p[4], mesh.HP(i) = p[5];
    }
    const int cells[2][4] = {{1, 2, 3, 3}, {2, 4, 3, 1}};
    for (int c = 1; c <= 2; ++c) {
        for (int j = 1; j <= 4; ++j) mesh.ICELL(c, j) = cells[c - 1][j - 1];
    }
}

}  // namespace cnv::test_support
