// Element check: node numbers, material numbers and Jacobian determinants.
#include "element_check.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "recordio/recordio.hpp"
#include "../support/scratch_dir.hpp"

namespace sol {
namespace {

// Elements over their own coordinate vectors; every element of material 1.
struct Mesh {
    Control ctl;
    std::vector<double> x, y, z;
    std::vector<std::int32_t> nod, npe, mtyp;
    MeshArrays mesh;

    Mesh(const std::vector<std::array<double, 3>>& nodes,
         const std::vector<std::vector<std::int32_t>>& elements) {
        ctl.NUMNP = static_cast<int>(nodes.size());
        ctl.NUMEL = static_cast<int>(elements.size());
        ctl.NUMMAT = 1;
        ctl.NINTXY = 2;
        ctl.NINTZ = 2;
        for (const auto& p : nodes) {
            x.push_back(p[0]);
            y.push_back(p[1]);
            z.push_back(p[2]);
        }
        nod.assign(8 * elements.size(), 0);
        for (std::size_t j = 0; j < elements.size(); ++j) {
            for (std::size_t l = 0; l < elements[j].size() && l < 8; ++l) nod[8 * j + l] = elements[j][l];
            npe.push_back(static_cast<std::int32_t>(elements[j].size()));
        }
        mtyp.assign(elements.size(), 1);
        mesh.X = Span1<double>(x.data(), ctl.NUMNP);
        mesh.Y = Span1<double>(y.data(), ctl.NUMNP);
        mesh.Z = Span1<double>(z.data(), ctl.NUMNP);
        mesh.NOD = Span2<std::int32_t>(nod.data(), 8, ctl.NUMEL);
        mesh.NPE = Span1<std::int32_t>(npe.data(), ctl.NUMEL);
        mesh.MTYP = Span1<std::int32_t>(mtyp.data(), ctl.NUMEL);
    }
};

// Corners of a cube of edge h in the hexahedron's node order (node 1 at (h, h, h)).
std::vector<std::array<double, 3>> cube(double h) {
    return {{h, h, h}, {0, h, h}, {0, 0, h}, {h, 0, h}, {h, h, 0}, {0, h, 0}, {0, 0, 0}, {h, 0, 0}};
}

const std::vector<std::int32_t> kHex{1, 2, 3, 4, 5, 6, 7, 8};

std::string node_line(int m) {
    char b[64];
    std::snprintf(b, sizeof b, " ERROR ELEMENT =%12d  : NODE NUMBER ERROR \r\n", m);
    return b;
}
std::string area_line(int m) {
    char b[64];
    std::snprintf(b, sizeof b, " ERROR ELEMENT =%12d  : AREA IS NEGATIVE \r\n", m);
    return b;
}

class ElementCheck : public test_support::ScratchDirTest {
protected:
    void SetUp() override {
        ScratchDirTest::SetUp();
        u_.IW = kListing;
    }
    // Runs the check; the listing it wrote goes to listing_.
    int check(const Mesh& m) {
        const int flag = CHKELM(m.ctl, u_, m.mesh);
        rio::close(16);
        std::ifstream f("LIST.TXT", std::ios::binary);
        listing_.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
        return flag;
    }
    Units u_;
    std::string listing_;
};

TEST_F(ElementCheck, SoundCubeAndPrismPass) {
    auto nodes = cube(1.0);
    Mesh m(nodes, {kHex, {1, 2, 3, 5, 6, 7}});
    EXPECT_EQ(check(m), 0);
    EXPECT_EQ(listing_, "");
}

TEST_F(ElementCheck, InvertedFlatAndTinyHexahedraFail) {
    // Lower face numbered first (inverted), all nodes at one height (flat), and a sound cube
    // of edge 0.002 whose determinant 1e-9 is under the absolute threshold.
    auto nodes = cube(1.0);
    for (auto p : cube(1.0)) nodes.push_back({p[0], p[1], 0.5});
    for (auto p : cube(0.002)) nodes.push_back(p);
    Mesh m(nodes, {{5, 6, 7, 8, 1, 2, 3, 4}, {9, 10, 11, 12, 13, 14, 15, 16},
                   {17, 18, 19, 20, 21, 22, 23, 24}, kHex});
    EXPECT_EQ(check(m), 1);
    EXPECT_EQ(listing_, area_line(1) + area_line(2) + area_line(3));
}

TEST_F(ElementCheck, NodeLineIsFiftyColumns) {
    Mesh m(cube(1.0), {{1, 2, 3, 4, 5, 6, 7, 9}});
    EXPECT_EQ(check(m), 1);
    EXPECT_EQ(listing_, " ERROR ELEMENT =           1  : NODE NUMBER ERROR \r\n");
}

TEST_F(ElementCheck, RepeatedNodesPrintOneLinePerOrderedPair) {
    auto nodes = cube(1.0);
    nodes.resize(10, {0, 0, 0});
    // Prism 5, 6, 7, 5, 9, 10: two lines. A number three times in a hexahedron: six lines.
    Mesh m(nodes, {{5, 6, 7, 5, 9, 10}, {1, 1, 1, 4, 5, 6, 7, 8}});
    EXPECT_EQ(check(m), 1);
    // The flat prism also fails its shape test; the collapsed hexahedron may or may not.
    EXPECT_TRUE(listing_.starts_with(node_line(1) + node_line(1) + area_line(1))) << listing_;
    std::size_t count = 0;
    for (std::size_t p = listing_.find(node_line(2)); p != std::string::npos;
         p = listing_.find(node_line(2), p + 1))
        ++count;
    EXPECT_EQ(count, 6u);
}

TEST_F(ElementCheck, NodesOutsideTheMeshSkipTheShapeTest) {
    // NUMNP + 1 and 0 (and negative) are node-number errors; the element has no coordinates
    // for its shape test, so no determinant line follows.
    Mesh m(cube(1.0), {{1, 2, 3, 4, 5, 6, 7, 9}, {0, 2, 3, 4, 5, 6, 7, 8}, {1, 2, 3, 4, 5, -3}});
    EXPECT_EQ(check(m), 1);
    EXPECT_EQ(listing_, node_line(1) + node_line(2) + node_line(3));
}

TEST_F(ElementCheck, OddNodeCountsGetOnlyTheNodeTests) {
    // NPE 4 with a repeat: node tests only. NPE 9: one line, nothing else, even with repeats.
    Mesh m(cube(1.0), {{1, 2, 2, 3}, {1, 2, 3, 4, 5, 6, 7, 8, 8}, {1, 2, 3}});
    EXPECT_EQ(check(m), 1);
    EXPECT_EQ(listing_, node_line(1) + node_line(1) + node_line(2));
}

TEST_F(ElementCheck, MaterialBeyondTheMaterialsRead) {
    Mesh m(cube(1.0), {kHex, kHex, {}});
    m.mtyp = {2, 0, 5};  // 0 is a removed element and valid; an element of no nodes still counts
    EXPECT_EQ(check(m), 1);
    const std::string mat = " : MATERIAL NUMBER ERROR";
    EXPECT_EQ(listing_, " ERROR ELEMENT =           1" + std::string(" ") + mat + "\r\n" +
                            " ERROR ELEMENT =           3" + " " + mat + "\r\n");
}

TEST_F(ElementCheck, AllElementsAreExaminedInOrder) {
    auto nodes = cube(1.0);
    Mesh m(nodes, {kHex, {5, 6, 7, 8, 1, 2, 3, 4}, kHex, {1, 2, 3, 4, 5, 6, 7, 99}});
    EXPECT_EQ(check(m), 1);
    EXPECT_EQ(listing_, area_line(2) + node_line(4));
}

// A prism whose third vertical edge points down: the determinant is positive at the centroid
// and negative near node 3, so the verdict depends on the triangle rule.
Xyze folded_prism() {
    return Xyze{{{1, 0, 1}, {0, 1, 1}, {0, 0, -1.5}, {1, 0, 0}, {0, 1, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}}};
}

TEST(ElementCheckRules, PrismWithOnePointRuleIsTestedAtItsCentroidOnly) {
    const Xyze c = folded_prism();
    EXPECT_EQ(CHKJ6(1, 2, c), 0);
    EXPECT_EQ(CHKJ6(1, 4, c), 0);
    EXPECT_EQ(CHKJ6(2, 2, c), 1);
    EXPECT_EQ(CHKJ6(3, 1, c), 1);
}

TEST(ElementCheckRules, NoPointsBelowOneIntegrationPoint) {
    // A mesh check with NINTXY or NINTZ below 1 tests no point, so even a flat element passes.
    Xyze flat{};
    for (int i = 0; i < 8; ++i) flat[i] = {double(i % 2), double(i / 2 % 2), 0.0};
    EXPECT_EQ(CHKJ8(0, 2, flat), 0);
    EXPECT_EQ(CHKJ8(2, 0, flat), 0);
    EXPECT_EQ(CHKJ6(0, 2, flat), 0);
    EXPECT_EQ(CHKJ8(2, 2, flat), 1);
}

TEST(ElementCheckRules, ThresholdIsAbsolute) {
    // Edge 0.002 gives 1e-9: rejected. Edge 0.0022 gives about 1.3e-9: rejected too; edge
    // 0.005 gives 1.5625e-8: accepted.
    auto to_xyze = [](const std::vector<std::array<double, 3>>& v) {
        Xyze c{};
        for (int i = 0; i < 8; ++i) c[i] = v[i];
        return c;
    };
    EXPECT_EQ(CHKJ8(2, 2, to_xyze(cube(0.002))), 1);
    EXPECT_EQ(CHKJ8(2, 2, to_xyze(cube(0.0022))), 1);
    EXPECT_EQ(CHKJ8(4, 3, to_xyze(cube(0.005))), 0);
}

}  // namespace
}  // namespace sol
