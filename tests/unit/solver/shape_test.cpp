// Shape functions, Jacobians and integration rules of the hexahedron and the prism.
#include <gtest/gtest.h>

#include <cmath>

#include "shape.hpp"

namespace sol {
namespace {

// Unit cube numbered with node 1 at (1, 1, 1), nodes 1-4 on the top face.
Xyze unit_cube() {
    return Xyze{{{1, 1, 1}, {0, 1, 1}, {0, 0, 1}, {1, 0, 1}, {1, 1, 0}, {0, 1, 0}, {0, 0, 0}, {1, 0, 0}}};
}

// Right prism: top triangle (1,0), (0,1), (0,0) at z = 1 counterclockwise, bottom at z = 0.
Xyze right_prism() {
    return Xyze{{{1, 0, 1}, {0, 1, 1}, {0, 0, 1}, {1, 0, 0}, {0, 1, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}}};
}

// A linear field f = 3 + 2x - y + 0.5z.
double linear(const std::array<double, 3>& p) { return 3.0 + 2.0 * p[0] - p[1] + 0.5 * p[2]; }

TEST(Shape, UnitCubeHasHalfIdentityJacobianAtEveryPoint) {
    const Xyze c = unit_cube();
    ShapePoint p;
    for (int n = 1; n <= 4; ++n)
        for (int i = 1; i <= n; ++i)
            for (int k = 1; k <= n; ++k) {
                SHAPE8(c, XG(i, n), XG(k, n), XG(i, n), p);
                EXPECT_EQ(p.DETJ, 0.125);
                for (int a = 0; a < 3; ++a)
                    for (int b = 0; b < 3; ++b) EXPECT_EQ(p.XJAC[a][b], a == b ? 0.5 : 0.0);
            }
    SHAPE8(c, 0.0, 0.0, 0.0, p);
    EXPECT_EQ(p.GDER[0][0], 0.25);
    double sum = 0.0;
    for (double s : p.SHP) sum += s;
    EXPECT_EQ(sum, 1.0);
}

TEST(Shape, PrismDeterminantSignFollowsTurningOrder) {
    Xyze c = right_prism();
    ShapePoint p;
    SHAPE6(c, kThird, kThird, kThird, 0.0, p);
    EXPECT_EQ(p.XJAC[0][0], 1.0);
    EXPECT_EQ(p.XJAC[1][1], 1.0);
    // (L1 + L2 + L3) / 2 with the widened thirds: 0.5 to single precision only.
    EXPECT_NEAR(p.XJAC[2][2], 0.5, 2e-8);
    EXPECT_EQ(p.XJAC[0][1], 0.0);
    EXPECT_EQ(p.XJAC[2][0], 0.0);
    EXPECT_NEAR(p.DETJ, 0.5, 2e-8);
    // Slots 7 and 8 of a prism never carry anything.
    for (int i = 6; i < 8; ++i) {
        EXPECT_EQ(p.SHP[i], 0.0);
        for (int a = 0; a < 3; ++a) {
            EXPECT_EQ(p.DSHP[i][a], 0.0);
            EXPECT_EQ(p.GDER[i][a], 0.0);
        }
    }
    std::swap(c[0], c[1]);
    std::swap(c[3], c[4]);
    JACOB6(kThird, kThird, kThird, 0.0, c, p);
    EXPECT_NEAR(p.DETJ, -0.5, 2e-8);
}

TEST(Shape, UsesTheGivenThirdAreaCoordinate) {
    // L3 is taken as passed, not as 1 - L1 - L2.
    ShapePoint p;
    JACOB6(0.2, 0.3, 0.9, 1.0, right_prism(), p);
    EXPECT_EQ(p.SHP[2], 0.9);
    EXPECT_EQ(p.DSHP[2][2], 0.45);
}

TEST(Shape, GlobalDerivativesReproduceALinearFieldOnDistortedElements) {
    const Xyze hex{{{1.2, 1.1, 1.3}, {-0.1, 0.9, 1.0}, {0.05, -0.2, 0.8}, {1.0, 0.1, 1.1},
                    {0.9, 1.2, 0.1}, {0.1, 1.0, -0.1}, {-0.05, 0.0, 0.0}, {1.1, -0.1, 0.2}}};
    const Xyze prism{{{1.1, 0.1, 1.2}, {0.1, 0.9, 0.9}, {-0.1, 0.0, 1.1},
                      {0.9, -0.1, 0.1}, {0.0, 1.1, -0.1}, {0.1, 0.1, 0.0}, {0, 0, 0}, {0, 0, 0}}};
    ShapePoint p;
    auto check = [&](int nnode, const Xyze& x) {
        for (int b = 0; b < 3; ++b) {
            double g = 0.0;
            for (int l = 0; l < nnode; ++l) g += p.GDER[l][b] * linear(x[l]);
            EXPECT_NEAR(g, b == 0 ? 2.0 : b == 1 ? -1.0 : 0.5, 1e-12);
        }
        EXPECT_GT(p.DETJ, 0.0);
    };
    for (double z : {-0.7, 0.0, 0.4}) {
        SHAPE8(hex, 0.3, -0.6, z, p);
        check(8, hex);
        SHAPE6(prism, 0.2, 0.5, 0.3, z, p);
        check(6, prism);
    }
}

TEST(Shape, RuleWeightsAddUpToTheReferenceVolume) {
    for (int nxy = 1; nxy <= 4; ++nxy)
        for (int nz = 1; nz <= 4; ++nz) {
            double hex = 0.0, prism = 0.0;
            for (int i = 1; i <= nxy; ++i)
                for (int j = 1; j <= nxy; ++j)
                    for (int k = 1; k <= nz; ++k) hex += WG(i, nxy) * WG(j, nxy) * WG(k, nz);
            for (const TrianglePoint& t : triangle_rule(nxy))
                for (int k = 1; k <= nz; ++k) prism += 0.5 * t.W * WG(k, nz);
            // Single-precision weights: exact only to about 1e-7.
            EXPECT_NEAR(hex, 8.0, 1e-6) << nxy << " " << nz;
            EXPECT_NEAR(prism, 1.0, 1e-6) << nxy << " " << nz;
        }
}

TEST(Shape, TriangleRuleChosenByNintxy) {
    EXPECT_EQ(triangle_rule(0).size(), 0u);
    EXPECT_EQ(triangle_rule(1).size(), 1u);
    EXPECT_EQ(triangle_rule(2).size(), 3u);
    EXPECT_EQ(triangle_rule(3).size(), 7u);
    EXPECT_EQ(triangle_rule(4).size(), 7u);
    EXPECT_EQ(triangle_rule(5).size(), 0u);
    // Widened single-precision entries, not the decimal values.
    EXPECT_EQ(XG(1, 2), -0.5773502588272095);
    EXPECT_EQ(WG(2, 3), 0.8888888955116272);
    EXPECT_EQ(triangle_rule(3)[1].L1, 0.0597158707678318);
    EXPECT_EQ(triangle_rule(3)[4].W, 0.12593917548656464);
    // Each rule's points lie inside the triangle with L1 + L2 + L3 close to 1.
    for (int n = 1; n <= 3; ++n)
        for (const TrianglePoint& t : triangle_rule(n)) EXPECT_NEAR(t.L1 + t.L2 + t.L3, 1.0, 1e-7);
}

}  // namespace
}  // namespace sol
