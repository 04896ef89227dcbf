// Element matrices: table look-up, soil properties, both element variants and the linear
// patch test of the hexahedron and the prism.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include "assembly.hpp"
#include "test_model.hpp"
#include "recordio/recordio.hpp"
#include "../support/scratch_dir.hpp"

namespace sol {
namespace {

using test_model::Model;
using test_model::cube;
using test_model::kHex;

const std::vector<std::int32_t> kPrism{1, 2, 3, 5, 6, 7};

// Box [0, 2]^3 of 2 x 2 x 2 hexahedra, or of 16 prisms (each cell cut along its diagonal),
// with the centre node moved off its place so that the inner elements are distorted.
int node_id(int i, int j, int k) { return 1 + i + 3 * j + 9 * k; }
struct Patch {
    std::vector<std::array<double, 3>> nodes;
    std::vector<std::vector<std::int32_t>> elements;
};
Patch patch(bool prisms) {
    Patch p;
    for (int k = 0; k < 3; ++k)
        for (int j = 0; j < 3; ++j)
            for (int i = 0; i < 3; ++i) p.nodes.push_back({double(i), double(j), double(k)});
    p.nodes[node_id(1, 1, 1) - 1] = {1.1, 0.93, 1.07};
    for (int ck = 0; ck < 2; ++ck)
        for (int cj = 0; cj < 2; ++cj)
            for (int ci = 0; ci < 2; ++ci) {
                auto n = [&](int di, int dj, int dk) { return node_id(ci + di, cj + dj, ck + dk); };
                if (!prisms) {
                    p.elements.push_back({n(1, 1, 1), n(0, 1, 1), n(0, 0, 1), n(1, 0, 1),
                                          n(1, 1, 0), n(0, 1, 0), n(0, 0, 0), n(1, 0, 0)});
                } else {
                    // Top triangles counterclockwise seen from above, bottom nodes beneath.
                    p.elements.push_back({n(0, 0, 1), n(1, 0, 1), n(1, 1, 1), n(0, 0, 0), n(1, 0, 0), n(1, 1, 0)});
                    p.elements.push_back({n(0, 0, 1), n(1, 1, 1), n(0, 1, 1), n(0, 0, 0), n(1, 1, 0), n(0, 1, 0)});
                }
            }
    return p;
}

// Rotated, anisotropic conductivity (symmetric, positive definite).
constexpr Mat3 kCondt{{{2.0, 0.3, 0.1}, {0.3, 1.5, -0.2}, {0.1, -0.2, 0.8}}};

class ElementMatrix : public test_support::ScratchDirTest {
protected:
    // One element of model m through ELSET, with heads h at its nodes (SE stays in w).
    static void element(Model& m, ElementWork& w, int e, const std::vector<double>& h) {
        m.hw = h;
        m.hw.resize(m.x.size(), 0.0);
        m.views();
        w.NNODE = m.npe[e - 1];
        for (int l = 0; l < w.NNODE; ++l) {
            const int n = m.nod[8 * (e - 1) + l];
            w.NODE[l] = n;
            w.XYZE[l] = {m.x[n - 1], m.y[n - 1], m.z[n - 1]};
        }
        const int mt = m.mtyp[e - 1];
        w.STC = m.mat.CONS1 * m.mat.SS[mt] / m.mat.POROSITY[mt];
        w.SATSW = 1.0;
        ELSET(ElementContext{m.ctl, m.u, m.mat, m.mesh, m.sys}, w, mt);
    }
};

TEST(Tabint, InterpolatesExtendsBelowAndHoldsAbove) {
    std::vector<double> xt{0, 0, 0, 1.0, 2.0, 4.0}, yt{0, 0, 0, 10.0, 20.0, 0.0};
    const Span2<double> XT(xt.data(), 3, 2), YT(yt.data(), 3, 2);
    EXPECT_EQ(TABINT(XT, YT, 1.5, 3, 2), 15.0);
    EXPECT_EQ(TABINT(XT, YT, 2.0, 3, 2), 20.0);   // a table point
    EXPECT_EQ(TABINT(XT, YT, 3.0, 3, 2), 10.0);   // falling interval
    EXPECT_EQ(TABINT(XT, YT, 0.0, 3, 2), 0.0);    // first interval extended below
    EXPECT_EQ(TABINT(XT, YT, -1.0, 3, 2), -10.0);
    EXPECT_EQ(TABINT(XT, YT, 4.0, 3, 2), 0.0);    // last point and above: last value
    EXPECT_EQ(TABINT(XT, YT, 99.0, 3, 2), 0.0);
    EXPECT_EQ(TABINT(XT, YT, -5.0, 1, 2), 10.0);  // one point: its value everywhere
    EXPECT_EQ(TABINT(XT, YT, 1.5, 0, 2), 0.0);    // no point: nothing is read
}

TEST_F(ElementMatrix, SaturatedElementsStoreConsTimesSsTimesVolumeShare) {
    for (bool prism : {false, true}) {
        Model m(cube(), {prism ? kPrism : kHex});
        m.mat.CONS1 = 2.0;
        ElementWork w;
        element(m, w, 1, std::vector<double>(8, 0.0));  // head 0 counts as saturated
        const double share = prism ? 0.5 / 6.0 : 1.0 / 8.0;
        // Single-precision triangle weights: exact to about 1e-7 only.
        for (std::int32_t n : prism ? kPrism : kHex)
            EXPECT_NEAR(m.capv[n - 1], 2.0 * 1.0E-3 * share, 1e-7 * share) << prism << " node " << n;
        if (prism) {
            EXPECT_EQ(m.capv[3], 0.0);  // node 4 is not a prism node
        }
    }
}

TEST_F(ElementMatrix, VariantAStopsStorageAfterTheFirstUnsaturatedPoint) {
    // Node 7 at -2, the others at 1: only the first point (next to node 7) is unsaturated.
    // With no moisture capacity in the table, no point of the element then stores anything.
    Model m(cube(), {kHex});
    std::fill(m.cap.begin(), m.cap.end(), 0.0);
    std::vector<double> h(8, 1.0);
    h[6] = -2.0;
    ElementWork w;
    element(m, w, 1, h);
    for (double c : m.capv) EXPECT_EQ(c, 0.0);
    EXPECT_EQ(w.SATSW, 0.0);

    // Node 1 negative instead: only the last point is unsaturated, the seven before it store.
    std::fill(h.begin(), h.end(), 1.0);
    h[0] = -2.0;
    element(m, w, 1, h);
    double total = 0.0;
    for (double c : m.capv) total += c;
    EXPECT_NEAR(total, 7.0 / 8.0 * 1.0E-3, 1e-15);

    // Variant B: every saturated node keeps its own storage share.
    std::fill(m.capv.begin(), m.capv.end(), 0.0);
    m.ctl.IELVAR = 1;
    h[0] = 1.0;
    h[6] = -2.0;
    element(m, w, 1, h);
    EXPECT_EQ(m.capv[6], 0.0);
    for (int n : {1, 2, 3, 4, 5, 6, 8}) EXPECT_NEAR(m.capv[n - 1], 1.0E-3 / 8.0, 1e-15);
}

TEST_F(ElementMatrix, OnlyTheHexahedronOfVariantARaisesKrToItsFloor) {
    // A table whose relative conductivity is 0 (hexahedron) or negative (the others) at
    // every unsaturated head; the saturated element gives the reference matrix.
    for (int variant = 0; variant < 4; ++variant) {
        const bool prism = variant % 2 == 1;
        Model m(cube(), {prism ? kPrism : kHex});
        m.ctl.IELVAR = variant / 2;
        ElementWork sat, uns;
        element(m, sat, 1, std::vector<double>(8, 5.0));
        const double table_kr = variant == 0 ? 0.0 : -0.5;
        std::fill(m.rkr.begin(), m.rkr.end(), table_kr);
        element(m, uns, 1, std::vector<double>(8, -50.0));
        const double kr = variant == 0 ? 1.0E-20 : table_kr;
        for (int a = 0; a < sat.NNODE; ++a)
            for (int b = 0; b < sat.NNODE; ++b)
                EXPECT_NEAR(uns.SE[a][b], kr * sat.SE[a][b], 1e-13 * std::abs(kr)) << variant;
    }
}

TEST_F(ElementMatrix, MoistureCapacityIsLookedUpAtTheMoistureContent) {
    // Head -55: moisture 0.15 on the first interval, capacity 0.1/90 at that content
    // (a look-up at the head itself would extend the table far below its first point).
    Model m(cube(), {kHex});
    m.mat.SS[1] = 0.0;
    ElementWork w;
    element(m, w, 1, std::vector<double>(8, -55.0));
    for (double c : m.capv) EXPECT_NEAR(c, 0.1 / 90.0 / 8.0, 1e-16);
    // The conductivity uses kr 0.055 at moisture 0.15.
    Model s(cube(), {kHex});
    ElementWork ws;
    element(s, ws, 1, std::vector<double>(8, 1.0));
    EXPECT_NEAR(w.SE[0][0], 0.055 * ws.SE[0][0], 1e-14);
}

TEST_F(ElementMatrix, EmptyTableWithUnsaturatedHeadStops3333) {
    Model m(cube(), {kHex});
    m.mat.NPSI[1] = 0;
    ElementWork w;
    element(m, w, 1, std::vector<double>(8, 0.0));  // saturated: no look-up, no stop
    int status = -1;
    try {
        element(m, w, 1, std::vector<double>(8, -1.0));
    } catch (const rio::ProgramEnd& e) {
        status = e.status;
    }
    EXPECT_EQ(status, 3333);
    EXPECT_EQ(listing(), " ** ERROR ** UNSAT DATA -- Group I,J \r\n ** ERROR ** EMPTY TABLE OF MATERIAL  1\r\n");
}

TEST_F(ElementMatrix, OtherNodeCountsContributeNothing) {
    Model m(cube(), {{1, 2, 3, 4}});
    ElementWork w;
    element(m, w, 1, std::vector<double>(8, 1.0));
    for (double v : m.sk) EXPECT_EQ(v, 0.0);
    for (double v : m.grav) EXPECT_EQ(v, 0.0);
    for (double v : m.capv) EXPECT_EQ(v, 0.0);
}

// A linear total head is reproduced exactly by both shapes: at the inner node K h + G
// vanishes, and the residuals of the nodes on the face x = 2 add up to the flux (C grad H)_x
// through its area 4. Both variants give the same saturated system.
TEST_F(ElementMatrix, LinearHeadFieldOnDistortedPatchHasZeroResidual) {
    const std::array<double, 3> g{0.3, -0.2, 0.1};
    double flux_x = 0.0;
    for (int j = 0; j < 3; ++j) flux_x += kCondt[0][j] * g[j];
    for (int variant = 0; variant < 4; ++variant) {
        const bool prisms = variant % 2 == 1;
        const Patch p = patch(prisms);
        Model m(p.nodes, p.elements);
        m.ctl.IELVAR = variant / 2;
        m.ctl.NINTXY = prisms ? 3 : 2;
        m.mat.IROT[1] = 1;
        m.mat.CONDT[1] = kCondt;
        m.mat.K1[1] = m.mat.K2[1] = m.mat.K3[1] = 99.0;  // not used with a rotation
        std::vector<double> h;
        for (const auto& n : p.nodes) h.push_back(50.0 + g[0] * n[0] + g[1] * n[1] + g[2] * n[2] - n[2]);
        m.hw = h;
        m.views();
        m.assemble(0, 0.0, 0.0, 0);
        EXPECT_NEAR(m.residual(node_id(1, 1, 1), h), 0.0, 1e-7) << variant;
        double face = 0.0, all = 0.0;
        for (int n = 1; n <= m.ctl.NUMNP; ++n) {
            all += m.residual(n, h);
            if (p.nodes[n - 1][0] == 2.0) face += m.residual(n, h);
        }
        EXPECT_NEAR(face, 4.0 * flux_x, 1e-6) << variant;
        EXPECT_NEAR(all, 0.0, 1e-9) << variant;
        // Steady right-hand side: -G at free nodes (no inflow given).
        for (int n = 1; n <= m.ctl.NUMNP; ++n) EXPECT_EQ(m.grav[n - 1], -m.gravs[n - 1]);
    }
}

}  // namespace
}  // namespace sol
