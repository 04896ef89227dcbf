// Point location in element tetrahedra: the split table's weights, first element and first
// tetrahedron on shared faces and edges, flat tetrahedra, points outside, grid against scan.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "point_location.hpp"
#include "writers.hpp"

namespace {

using namespace cnv;

// A model of unit hexahedra along x in the solver's node order (nodes 1-4 on the upper
// face): element e spans x in [e-1, e].
struct Row {
    std::vector<double> x, y, z;
    std::vector<std::int32_t> nod;
    Span1<double> X, Y, Z;
    Span2<std::int32_t> NOD;
    explicit Row(int ne) {
        for (int i = 0; i <= ne; ++i) {
            // Four nodes per cross-section: (y, z) = (1,1), (0,1), (1,0), (0,0).
            for (int k = 0; k < 4; ++k) {
                x.push_back(i);
                y.push_back(k == 0 || k == 2 ? 1 : 0);
                z.push_back(k < 2 ? 1 : 0);
            }
        }
        for (int e = 0; e < ne; ++e) {
            const int a = 4 * (e + 1) + 1, b = 4 * e + 1;  // x = e+1 and x = e sections
            const int n[8] = {a, b, b + 1, a + 1, a + 2, b + 2, b + 3, a + 3};
            nod.insert(nod.end(), n, n + 8);
        }
        X = Span1<double>(x.data(), x.size());
        Y = Span1<double>(y.data(), y.size());
        Z = Span1<double>(z.data(), z.size());
        NOD = Span2<std::int32_t>(nod.data(), 8, ne);
    }
};

struct Points {
    std::unique_ptr<OutputMesh> mesh = std::make_unique<OutputMesh>();
    std::unique_ptr<PointWeights> pts = std::make_unique<PointWeights>();
    void add(double x, double y, double z) {
        ++mesh->NPT;
        mesh->XP(mesh->NPT) = x, mesh->YP(mesh->NPT) = y, mesh->ZP(mesh->NPT) = z;
    }
};

std::int64_t locate(const Row& r, Points& p, bool indexed = true) {
    TETTAB();
    return locate_points(*p.mesh, *p.pts, r.X, r.Y, r.Z, r.NOD,
                         static_cast<std::int32_t>(r.NOD.cols()), indexed);
}

// The unit cube of the node-order example: node 1 at (1,1,1) ... 8 at (1,0,0).
TEST(PointLocation, UnitCubeCentreCornerAndOutside) {
    Row cube(1);
    // In this model node numbers follow the cross-sections; map them to local slots.
    Points p;
    p.add(0.5, 0.5, 0.5);
    p.add(0.9, 0.9, 0.9);
    p.add(2.0, 2.0, 2.0);
    p.add(1.0, 1.0, 1.0);  // exactly at local node 1
    EXPECT_EQ(locate(cube, p), 1);
    const auto& N = p.pts->NTET;
    const auto& W = p.pts->WTET;
    auto slot = [&](int local) { return cube.NOD(local, 1); };
    // Centre: tetrahedron 2 (local 4, 6, 8, 5) with weights 0.5, 0.5, 0, 0.
    EXPECT_EQ(N(1, 1), slot(4));
    EXPECT_EQ(N(1, 2), slot(6));
    EXPECT_EQ(N(1, 3), slot(8));
    EXPECT_EQ(N(1, 4), slot(5));
    EXPECT_DOUBLE_EQ(W(1, 1), 0.5);
    EXPECT_DOUBLE_EQ(W(1, 2), 0.5);
    EXPECT_EQ(W(1, 3), 0.0);
    EXPECT_EQ(W(1, 4), 0.0);
    // (0.9, 0.9, 0.9): tetrahedron 1 (local 1, 2, 4, 5) with 0.7, 0.1, 0.1, 0.1.
    EXPECT_EQ(N(2, 1), slot(1));
    EXPECT_EQ(N(2, 4), slot(5));
    EXPECT_NEAR(W(2, 1), 0.7, 1e-14);
    for (int m = 2; m <= 4; ++m) EXPECT_NEAR(W(2, m), 0.1, 1e-14);
    // Outside: nodes 0 and weights 0.0, and its heads do not read node 0.
    for (int m = 1; m <= 4; ++m) EXPECT_EQ(N(3, m), 0);
    // At a node: weight 1 for it.
    EXPECT_EQ(N(4, 1), slot(1));
    EXPECT_EQ(W(4, 1), 1.0);

    std::vector<double> psi(cube.x.size());
    for (std::size_t i = 0; i < psi.size(); ++i) psi[i] = 10.0 * cube.x[i] - cube.z[i];
    const Span1<double> P(psi.data(), psi.size());
    for (int i = 1; i <= 4; ++i) point_heads(*p.mesh, *p.pts, P, cube.Z, i);
    EXPECT_DOUBLE_EQ(p.mesh->HP(1), 5.0);  // total head 10 x, linear: exact
    EXPECT_NEAR(p.mesh->HP(2), 9.0, 1e-12);
    EXPECT_EQ(p.mesh->HP(3), 0.0);
    EXPECT_EQ(p.mesh->PP(3), -2.0);
    EXPECT_DOUBLE_EQ(p.mesh->PP(1), 4.5);
}

// A point on the face shared by elements 1 and 2 (x = 1) belongs to element 1; a point on
// the far face of element 2 to element 2.
TEST(PointLocation, SharedFaceGoesToLowerElement) {
    Row row(2);
    Points p;
    p.add(1.0, 0.3, 0.6);
    p.add(1.5, 0.3, 0.6);
    EXPECT_EQ(locate(row, p), 0);
    auto in_element = [&](int i, int e) {
        for (int m = 1; m <= 4; ++m) {
            bool found = false;
            for (int k = 1; k <= 8; ++k) found |= p.pts->NTET(i, m) == row.NOD(k, e);
            if (!found) return false;
        }
        return true;
    };
    EXPECT_TRUE(in_element(1, 1));
    EXPECT_TRUE(in_element(2, 2));
    EXPECT_FALSE(in_element(2, 1));
}

// A flattened element (all z equal) has tetrahedra of volume 0: it holds no point, and the
// next element takes a point on its plane.
TEST(PointLocation, FlatTetrahedraHoldNoPoint) {
    Row row(2);
    for (int k = 1; k <= 8; ++k) row.z[row.NOD(k, 1) - 1] = 0.0;  // element 1 flat at z = 0
    Points p;
    p.add(0.5, 0.5, 0.0);  // in the plane of the flat element only
    p.add(1.5, 0.5, 0.0);  // on the lower face of element 2
    EXPECT_EQ(locate(row, p), 1);
    EXPECT_EQ(p.pts->NTET(1, 1), 0);
    EXPECT_GT(p.pts->NTET(2, 1), 0);
}

// The grid gives exactly the full scan's nodes and weights on a distorted block: at the
// origin, shifted far from it (where the tests' rounding spans many ulps of a coordinate),
// with a node at +-1.0E+308 (whose extent overflows), and with a sliver element; points at
// nodes, on faces and a few ulps off them, and beyond any sane coordinate included.
TEST(PointLocation, GridMatchesFullScan) {
    for (int variant = 0; variant < 4; ++variant) {
        SCOPED_TRACE(variant);
        Row row(12);
        std::mt19937 rng(3);
        std::uniform_real_distribution<double> jitter(-0.3, 0.3), u(-0.5, 12.5), v(-0.2, 1.2);
        for (std::size_t i = 4; i + 4 < row.x.size(); ++i) row.x[i] += jitter(rng);
        const double shift = variant == 1 ? 1.0e8 : 0.0;
        for (std::size_t i = 0; i < row.x.size(); ++i) row.x[i] += shift, row.y[i] += shift;
        if (variant == 2) row.x[row.NOD(1, 12) - 1] = 1.0e308, row.x[row.NOD(2, 3) - 1] = -1.0e308;
        if (variant == 3) row.z[row.NOD(5, 6) - 1] = 1.0 - 1.0e-13;  // a face folded almost flat
        Points a, b;
        auto add = [&](double x, double y, double z) {
            a.add(x, y, z);
            b.add(x, y, z);
        };
        for (int i = 0; i < 600; ++i) add(u(rng) + shift, v(rng) + shift, v(rng));
        for (std::size_t n = 0; n < row.x.size(); n += 3) {
            add(row.x[n], row.y[n], row.z[n]);
            for (int ulps : {-3, -1, 1, 3}) {
                double x = row.x[n], z = row.z[n];
                for (int k = 0; k < std::abs(ulps); ++k) {
                    x = std::nextafter(x, ulps < 0 ? -HUGE_VAL : HUGE_VAL);
                    z = std::nextafter(z, ulps < 0 ? -HUGE_VAL : HUGE_VAL);
                }
                add(x, row.y[n] + 0.25, z);
            }
        }
        add(1.0e308, 0.5, 0.5);
        add(std::nan(""), 0.5, 0.5);
        EXPECT_EQ(locate(row, a, true), locate(row, b, false));
        for (int i = 1; i <= a.mesh->NPT; ++i)
            for (int m = 1; m <= 4; ++m) {
                ASSERT_EQ(a.pts->NTET(i, m), b.pts->NTET(i, m)) << i;
                ASSERT_EQ(std::bit_cast<std::uint64_t>(a.pts->WTET(i, m)),
                          std::bit_cast<std::uint64_t>(b.pts->WTET(i, m))) << i;
            }
    }
}

}  // namespace
