// Matrix rows, column numbers and the "fort.55" database.
#include "matrix_structure.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "recordio/recordio.hpp"
#include "../support/scratch_dir.hpp"

namespace sol {
namespace {

// A mesh held in its own vectors, with the views COLHT and ADRSK take.
struct Mesh {
    Control ctl;
    std::vector<std::int32_t> nod, npe, maxa, isp;
    MeshArrays mesh;

    Mesh(int NUMNP, const std::vector<std::vector<std::int32_t>>& elements) {
        ctl.NUMNP = NUMNP;
        ctl.NUMEL = static_cast<int>(elements.size());
        nod.assign(8 * elements.size() + 8, 0);
        npe.assign(elements.size() + 1, 0);
        for (std::size_t j = 0; j < elements.size(); ++j) {
            std::copy(elements[j].begin(), elements[j].end(), nod.begin() + 8 * j);
            npe[j] = static_cast<std::int32_t>(elements[j].size());
        }
        maxa.assign(static_cast<std::size_t>(NUMNP) + 1, -7);
        mesh.NOD = Span2<std::int32_t>(nod.data(), 8, ctl.NUMEL);
        mesh.NPE = Span1<std::int32_t>(npe.data(), ctl.NUMEL);
        mesh.MAXA = Span1<std::int32_t>(maxa.data(), NUMNP + 1);
    }

    // COLHT, then ISP zeroed and ADRSK, as the run does them.
    std::int64_t build(const Units& u) {
        const std::int64_t NWK = COLHT(ctl, u, mesh);
        isp.assign(static_cast<std::size_t>(NWK), 0);
        Span1<std::int32_t> ISP(isp.data(), NWK);
        ADRSK(ctl, mesh, NWK, ISP);
        return NWK;
    }

    std::vector<std::int32_t> row(int n) const {
        return {isp.begin() + (maxa[n - 1] - 1), isp.begin() + (maxa[n] - 1)};
    }
};

std::vector<std::int32_t> hex(int first) {
    std::vector<std::int32_t> e(8);
    for (int l = 0; l < 8; ++l) e[l] = first + l;
    return e;
}

std::string read_file(const std::string& name) {
    std::ifstream f(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// One unformatted record of INTEGER*4 values as it lies on disk.
std::string record(const std::vector<std::int32_t>& v) {
    const std::int32_t len = static_cast<std::int32_t>(4 * v.size());
    std::string s(reinterpret_cast<const char*>(&len), 4);
    s.append(reinterpret_cast<const char*>(v.data()), 4 * v.size());
    s.append(reinterpret_cast<const char*>(&len), 4);
    return s;
}

class MatrixStructure : public test_support::ScratchDirTest {
protected:
    void SetUp() override {
        ScratchDirTest::SetUp();
        u_.IW = kListing;
    }
    // Runs `f`, returning its console output; `status` gets the stop code (-1: no stop).
    template <class F>
    std::string console(F f, int* status = nullptr) {
        testing::internal::CaptureStdout();
        int st = -1;
        try {
            f();
        } catch (const rio::ProgramEnd& e) {
            st = e.status;
        }
        std::string out = testing::internal::GetCapturedStdout();
        if (status) *status = st;
        return out;
    }
    Units u_;
};

// The eight rows of one hexahedron: each node first, then the other seven ascending.
TEST_F(MatrixStructure, OneHexahedronHasEightFullRows) {
    Mesh m(8, {{5, 6, 7, 8, 1, 2, 3, 4}});
    std::int64_t NWK = 0;
    console([&] { NWK = m.build(u_); });
    ASSERT_EQ(NWK, 64);
    EXPECT_EQ(m.maxa, (std::vector<std::int32_t>{1, 9, 17, 25, 33, 41, 49, 57, 65}));
    EXPECT_EQ(m.row(1), (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(m.row(5), (std::vector<std::int32_t>{5, 1, 2, 3, 4, 6, 7, 8}));
    EXPECT_EQ(m.row(8), (std::vector<std::int32_t>{8, 1, 2, 3, 4, 5, 6, 7}));
}

// Shared face nodes relate to both elements; the database holds exactly these rows.
TEST_F(MatrixStructure, TwoHexahedraSharingAFaceAndTheirDatabase) {
    Mesh m(12, {hex(1), {5, 6, 7, 8, 9, 10, 11, 12}});
    std::int64_t NWK = 0;
    console([&] { NWK = m.build(u_); });
    ASSERT_EQ(NWK, 4 * 8 + 4 * 12 + 4 * 8);
    for (int n = 1; n <= 12; ++n) EXPECT_EQ(m.maxa[n] - m.maxa[n - 1], n >= 5 && n <= 8 ? 12 : 8) << n;
    EXPECT_EQ(m.row(6), (std::vector<std::int32_t>{6, 1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12}));
    EXPECT_EQ(m.row(10), (std::vector<std::int32_t>{10, 5, 6, 7, 8, 9, 11, 12}));
    rio::close(55);
    EXPECT_EQ(read_file("fort.55"),
              record({13, static_cast<std::int32_t>(NWK)}) + record(m.maxa) + record(m.isp));
}

// The database of one hexahedron byte for byte: 8, 9, 64, 8; 36, MAXA, 36; 256, ISP, 256.
TEST_F(MatrixStructure, OneHexahedronDatabaseBytes) {
    Mesh m(8, {hex(1)});
    console([&] { m.build(u_); });
    rio::close(55);
    const std::string db = read_file("fort.55");
    ASSERT_EQ(db.size(), 16u + 44u + 264u);
    const std::int32_t head[4] = {8, 9, 64, 8};
    EXPECT_EQ(std::memcmp(db.data(), head, 16), 0);
    std::int32_t len2 = 0, len3 = 0;
    std::memcpy(&len2, db.data() + 16, 4);
    std::memcpy(&len3, db.data() + 60, 4);
    EXPECT_EQ(len2, 36);
    EXPECT_EQ(len3, 256);
    EXPECT_EQ(db.substr(60), record(m.isp));
}

// A node of no element: a row of one entry whose column stays 0.
TEST_F(MatrixStructure, NodeInNoElementKeepsAZeroColumn) {
    Mesh m(9, {hex(1)});
    std::int64_t NWK = 0;
    console([&] { NWK = m.build(u_); });
    EXPECT_EQ(NWK, 65);
    EXPECT_EQ(m.maxa[9] - m.maxa[8], 1);
    EXPECT_EQ(m.row(9), (std::vector<std::int32_t>{0}));
}

// A prism counts its six nodes only; its zero slots 7 and 8 join no row.
TEST_F(MatrixStructure, PrismRowsUseItsSixNodes) {
    Mesh m(6, {{4, 5, 6, 1, 2, 3}});
    std::int64_t NWK = 0;
    console([&] { NWK = m.build(u_); });
    EXPECT_EQ(NWK, 36);
    EXPECT_EQ(m.row(3), (std::vector<std::int32_t>{3, 1, 2, 4, 5, 6}));
}

TEST(Isort, SortsAscendingInPlace) {
    std::vector<std::int32_t> none;
    std::vector<std::int32_t> one{7};
    std::vector<std::int32_t> many{9, 3, 7, 3, -1, 12, 0};
    EXPECT_EQ(ISORT(none), -1);
    EXPECT_EQ(ISORT(one), -1);
    EXPECT_EQ(one[0], 7);
    EXPECT_EQ(ISORT(many), 0);
    EXPECT_EQ(many, (std::vector<std::int32_t>{-1, 0, 3, 3, 7, 9, 12}));
}

// Progress lines every 10000 nodes in both searches, and the line with NWK.
TEST_F(MatrixStructure, ProgressLinesEvery10000Nodes) {
    Mesh m(20000, {hex(1)});
    const std::string out = console([&] { m.build(u_); });
    EXPECT_EQ(out,
              " sub. COLHT on searching node=       10000\r\n"
              " sub. COLHT on searching node=       20000\r\n"
              "  NWK in ADRSK,        20056\r\n"
              " sub. ADRSK on searching node=       10000\r\n"
              " sub. ADRSK on searching node=       20000\r\n");
}

// Reuse mode reads back the very rows a build wrote, with its console lines.
TEST_F(MatrixStructure, ReuseReadsTheDatabaseBack) {
    Mesh built(12, {hex(1), {5, 6, 7, 8, 9, 10, 11, 12}});
    console([&] { built.build(u_); });
    rio::close(55);

    Mesh again(12, {hex(1), {5, 6, 7, 8, 9, 10, 11, 12}});
    again.ctl.IDBASE = 1;
    const std::string out = console([&] { again.build(u_); });
    EXPECT_EQ(out,
              "  START READING PCG-MATRIX\r\n"
              " NUMNP0,NWK=,          13         112\r\n"
              "  FINISH READING PCG-MATRIX-IS\r\n"
              "  NWK in ADRSK,          112\r\n"
              "  START READING PCG-MATRIX-ISP\r\n"
              "  FINISH READING PCG-MATRIX-ISP\r\n");
    EXPECT_EQ(again.maxa, built.maxa);
    EXPECT_EQ(again.isp, built.isp);
}

// A database of the same node count but another matrix is accepted when it is consistent.
TEST_F(MatrixStructure, ReuseAcceptsAnotherConsistentMesh) {
    {
        std::ofstream f("fort.55", std::ios::binary);
        f << record({4, 5}) << record({1, 2, 3, 6}) << record({1, 2, 3, 2, 1});
    }
    Mesh m(3, {});
    m.ctl.IDBASE = 1;
    int status = 0;
    std::int64_t NWK = 0;
    console([&] { NWK = m.build(u_); }, &status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(NWK, 5);
    EXPECT_EQ(m.isp, (std::vector<std::int32_t>{1, 2, 3, 2, 1}));
}

// Every inconsistency of a reused database ends with its console line and stop 1111.
TEST_F(MatrixStructure, ReuseRejectsADatabaseThatDoesNotFit) {
    struct Case {
        const char* why;
        std::vector<std::int32_t> head, maxa, isp;
    };
    const Case cases[] = {
        {"other node count", {5, 4}, {1, 2, 3, 4, 5}, {1, 2, 3, 4}},
        {"first pointer not 1", {4, 3}, {2, 3, 4, 4}, {1, 2, 3}},
        {"decreasing pointers", {4, 3}, {1, 3, 2, 4}, {1, 2, 3}},
        {"empty row", {4, 3}, {1, 2, 2, 4}, {1, 2, 3}},
        {"last pointer not NWK+1", {4, 3}, {1, 2, 3, 5}, {1, 2, 3}},
        {"column above NUMNP", {4, 3}, {1, 2, 3, 4}, {1, 4, 3}},
        {"negative column", {4, 3}, {1, 2, 3, 4}, {1, -2, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        rio::close(55);
        {
            std::ofstream f("fort.55", std::ios::binary | std::ios::trunc);
            f << record(c.head) << record(c.maxa) << record(c.isp);
        }
        Mesh m(3, {});
        m.ctl.IDBASE = 1;
        int status = 0;
        const std::string out = console([&] { m.build(u_); }, &status);
        EXPECT_EQ(status, 1111);
        const std::string line = " --- PCG-MATRIX ADDRESS DATA BASE DIFFERENT \r\n";
        ASSERT_GE(out.size(), line.size());
        EXPECT_EQ(out.substr(out.size() - line.size()), line);
    }
}

// n elements each holding node 1 and seven nodes of its own: row 1 grows by 7 per element.
std::vector<std::vector<std::int32_t>> fan(int n) {
    std::vector<std::vector<std::int32_t>> elements;
    for (int j = 1; j <= n; ++j) {
        std::vector<std::int32_t> e{1};
        for (int l = 0; l < 7; ++l) e.push_back(7 * (j - 1) + 2 + l);
        elements.push_back(e);
    }
    return elements;
}

// A row of more than 500 entries: the message with the element, the node and the first 27
// entries, then stop 4444.
TEST_F(MatrixStructure, RowBeyond500EntriesStops4444) {
    Mesh m(7 * 72 + 1, fan(72));
    int status = 0;
    console([&] { COLHT(m.ctl, u_, m.mesh); }, &status);
    EXPECT_EQ(status, 4444);
    EXPECT_EQ(listing(),
              "\r\n\r\n"
              " ****** ERROR IN COLHT --- > RELATIONSHIP NODE NUMBER >27 AT ELEMENT NO.     72"
              "   ERROR NODAL POINT NO.   501\r\n"
              " ******* NODAL POINTS *******\r\n"
              "     1     2     3     4     5     6     7     8     9    10\r\n"
              "    11    12    13    14    15    16    17    18    19    20\r\n"
              "    21    22    23    24    25    26    27\r\n");
}

// Exactly 500 entries still fit.
TEST_F(MatrixStructure, RowOfExactly500EntriesFits) {
    auto elements = fan(71);
    elements.push_back({1, 499, 500});  // a three-node element with two new nodes
    Mesh m(500, elements);
    int status = 0;
    std::int64_t NWK = 0;
    console([&] { NWK = COLHT(m.ctl, u_, m.mesh); }, &status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(m.maxa[1] - m.maxa[0], 500);
    EXPECT_GT(NWK, 500);
}

}  // namespace
}  // namespace sol
