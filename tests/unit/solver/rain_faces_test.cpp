// Rain faces: face nodes and horizontal areas, the rain-node list and its limit, the
// face-area file, and the reading of group L with its limits.
#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <vector>

#include "input.hpp"
#include "rain.hpp"
#include "../support/scratch_dir.hpp"

namespace {

using core::Span1;
using core::Span2;

// A unit cube (element 1, top face z = 1), a right prism on the triangle (0,0), (1,0),
// (0,1) (element 2) and a hexahedron 2 x 1 beside the cube whose top rises from z = 1 to 2
// (element 3, sharing the cube's nodes 1, 4, 5, 8), with room for the rain arrays.
struct RainModel {
    sol::Control ctl;
    sol::Units u;
    sol::InputState in;
    std::vector<double> x, y, rface, train, rrain, tevap, revap;
    std::vector<std::int32_t> nod, npe, irface, irt, iet, irnode, nrtp, netp;
    sol::MeshArrays mesh;
    sol::SolutionArrays s;

    RainModel(int NRFACE, int NRNODE, int NRRPT = 2, int NRR = 1, int NEVPT = 2, int NEV = 1) {
        const std::vector<std::array<double, 2>> xy = {
            {1, 1}, {0, 1}, {0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}, {1, 0},  // cube
            {0, 0}, {1, 0}, {0, 1}, {0, 0}, {1, 0}, {0, 1},                  // prism
            {3, 1}, {3, 0}, {3, 1}, {3, 0}};                                 // tilted block
        for (const auto& p : xy) {
            x.push_back(p[0]);
            y.push_back(p[1]);
        }
        nod = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0, 0, 15, 1, 4, 16, 17, 5, 8, 18};
        npe = {8, 6, 8};
        ctl.NUMNP = 18;
        ctl.NUMEL = 3;
        ctl.NRFACE = NRFACE;
        ctl.NRNODE = NRNODE;
        ctl.NRRPT = NRRPT;
        ctl.NRR = NRR;
        ctl.NEVPT = NEVPT;
        ctl.NEV = NEV;
        u.IR = 1;
        u.IW = 16;  // the listing unit of the scratch-directory tests
        const auto d = [](int n) { return static_cast<std::size_t>(sol::dim(n)); };
        irface.assign(7 * d(NRFACE), 0);
        irt.assign(d(NRFACE), 0);
        iet.assign(d(NRFACE), 0);
        rface.assign(2 * d(NRFACE), 0.0);
        irnode.assign(d(NRNODE), 0);
        train.assign(d(NRRPT) * d(NRR), 0.0);
        rrain = train;
        tevap.assign(d(NEVPT) * d(NEV), 0.0);
        revap = tevap;
        nrtp.assign(d(NRR), 0);
        netp.assign(d(NEV), 0);
        mesh.X = Span1<double>(x.data(), 18);
        mesh.Y = Span1<double>(y.data(), 18);
        mesh.NOD = Span2<std::int32_t>(nod.data(), 8, 3);
        mesh.NPE = Span1<std::int32_t>(npe.data(), 3);
        s.IRFACE = Span2<std::int32_t>(irface.data(), sol::dim(NRFACE), 7);
        s.IRT = Span1<std::int32_t>(irt.data(), sol::dim(NRFACE));
        s.IET = Span1<std::int32_t>(iet.data(), sol::dim(NRFACE));
        s.RFACE = Span2<double>(rface.data(), sol::dim(NRFACE), 2);
        s.IRNODE = Span1<std::int32_t>(irnode.data(), sol::dim(NRNODE));
        s.TRAIN = Span2<double>(train.data(), sol::dim(NRRPT), sol::dim(NRR));
        s.RRAIN = Span2<double>(rrain.data(), sol::dim(NRRPT), sol::dim(NRR));
        s.TEVAP = Span2<double>(tevap.data(), sol::dim(NEVPT), sol::dim(NEV));
        s.REVAP = Span2<double>(revap.data(), sol::dim(NEVPT), sol::dim(NEV));
        s.NRTP = Span1<std::int32_t>(nrtp.data(), sol::dim(NRR));
        s.NETP = Span1<std::int32_t>(netp.data(), sol::dim(NEV));
    }
    // Entry i names element e and face f, as a RAINE record or a change event leaves it.
    void entry(int i, int e, int f) {
        s.IRFACE(i, 1) = e;
        s.IRFACE(i, 3) = f;
    }
    void rebuild() { sol::RDRAIN(ctl, u, in, mesh, s, sol::kRainRebuild); }
    void read() { sol::RDRAIN(ctl, u, in, mesh, s, 0); }
};

class RainFaces : public test_support::ScratchDirTest {
protected:
    std::string file(const char* name) {
        rio::close_all();
        std::ifstream f(name, std::ios::binary);
        return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    }
    // The model lines as the working copy on unit 1.
    void input(const std::vector<std::string>& lines) {
        std::ofstream f("WORK.TMP", std::ios::binary);
        for (const auto& l : lines) f << l << "\r\n";
        f.close();
        rio::open(1, "WORK.TMP", rio::Status::Old, rio::Form::Formatted);
    }
};

// Every face kind: its node count, nodes in face order (before they become list positions)
// and horizontal area; entries without a face get no nodes and, without an element, no
// face-area record.
TEST_F(RainFaces, NodesAndHorizontalAreaOfEachFace) {
    struct Case {
        const char* why;
        int e, f, n;
        std::array<int, 4> nodes;
        double area;
    };
    const Case cases[] = {
        {"hexahedron top: the unit square", 1, 1, 4, {1, 2, 3, 4}, 1.0},
        {"hexahedron side: vertical, no horizontal area", 1, 2, 4, {1, 5, 6, 2}, 0.0},
        {"hexahedron side 5", 1, 5, 4, {4, 8, 5, 1}, 0.0},
        {"hexahedron bottom", 1, 6, 4, {5, 8, 7, 6}, 1.0},
        {"prism top triangle", 2, 1, 3, {9, 10, 11, 0}, 0.5},
        {"prism side: four nodes", 2, 3, 4, {10, 13, 14, 11}, 0.0},
        {"prism bottom triangle", 2, 5, 3, {12, 14, 13, 0}, 0.5},
        {"tilted top: its horizontal projection 2 x 1", 3, 1, 4, {15, 1, 4, 16}, 2.0},
        {"face number outside the element's faces", 2, 6, 0, {0, 0, 0, 0}, 0.0},
        {"no element", 0, 1, 0, {0, 0, 0, 0}, 0.0},
    };
    for (const Case& c : cases) {
        RainModel m(1, 4);
        m.entry(1, c.e, c.f);
        m.rebuild();
        EXPECT_EQ(m.s.IRFACE(1, 2), c.n) << c.why;
        EXPECT_EQ(m.s.RFACE(1, 2), c.area) << c.why;
        // Positions replace the nodes: a lone face lists its nodes in order.
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(m.s.IRFACE(1, 4 + k), k < c.n ? k + 1 : 0) << c.why;
            EXPECT_EQ(m.s.IRNODE(k + 1), k < c.n ? c.nodes[k] : 0) << c.why;
        }
    }
    EXPECT_EQ(file("fort.155").size(), 9u * 38u);  // one record per entry with an element
}

// Faces sharing nodes list each node once, in order of first appearance; NRNODE equal to
// the distinct nodes passes, one less stops 8001 with the two listing lines.
TEST_F(RainFaces, RainNodeListAndItsLimit) {
    RainModel m(3, 6);
    m.entry(1, 1, 1);
    m.entry(2, 0, 1);  // an empty entry between them
    m.entry(3, 3, 1);
    m.rebuild();
    const std::vector<std::int32_t> list(m.irnode.begin(), m.irnode.end());
    EXPECT_EQ(list, (std::vector<std::int32_t>{1, 2, 3, 4, 15, 16}));
    EXPECT_EQ((std::array<int, 4>{m.s.IRFACE(3, 4), m.s.IRFACE(3, 5), m.s.IRFACE(3, 6),
                                  m.s.IRFACE(3, 7)}),
              (std::array<int, 4>{5, 1, 4, 6}));

    RainModel small(3, 5);
    small.entry(1, 1, 1);
    small.entry(3, 3, 1);
    EXPECT_EQ(stop_code([&] { small.rebuild(); }), 8001);
    EXPECT_EQ(listing(),
              " ** ERROR ** RAIN DATA -- Group L  \r\n"
              " ** ERROR ** MORE THAN NRNODE =       5 RAIN NODES\r\n");
    // Nothing was written past the list.
    EXPECT_EQ(small.irnode.size(), 5u);
}

// A rebuild (a change event that removed a face) appends its own series of records.
TEST_F(RainFaces, RebuildAppendsASecondSeriesOfFaceAreaRecords) {
    RainModel m(2, 8);
    m.entry(1, 1, 1);
    m.entry(2, 2, 1);
    m.rebuild();
    m.entry(1, 0, 1);
    m.rebuild();
    EXPECT_EQ(m.s.IRFACE(1, 2), 0);
    EXPECT_EQ(m.s.IRNODE(1), 9);  // the prism's nodes now come first
    EXPECT_EQ(m.s.IRNODE(4), 0);
    EXPECT_EQ(file("fort.155"),
              "           1   1.00000000000000     \r\n"
              "           2  0.500000000000000     \r\n"
              "           2  0.500000000000000     \r\n");
}

// Group L as read: a one-element range (E2 0, INC 0), a stepped range with a blank keyword,
// a table of four points on two records, an empty evaporation table; the records after the
// group stay in step.
TEST_F(RainFaces, ReadsGroupL) {
    input({"RAIN     2",
           "RAINE      2      0      0  1  1  0       0.7",
           "           1      3      2  1  0  1      0.25",
           "RAINR    4",
           "       0.0     1.E-3      10.0     2.E-3      20.0     0.0",
           "      30.0     4.E-3",
           "EVAPO    0",
           "",
           "NEXT RECORD"});
    RainModel m(4, 12, 4, 1, 2, 1);
    m.read();
    EXPECT_EQ(listing(), "");
    const int elements[] = {2, 1, 3, 0};
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(m.s.IRFACE(i, 1), elements[i - 1]) << i;
    EXPECT_EQ(m.s.IRT(1), 1);
    EXPECT_EQ(m.s.IET(2), 1);
    EXPECT_EQ(m.s.RFACE(1, 1), 0.7);
    EXPECT_EQ(m.s.RFACE(3, 1), 0.25);
    EXPECT_EQ(m.s.RFACE(3, 2), 2.0);
    EXPECT_EQ(m.s.IRFACE(4, 2), 0);
    EXPECT_EQ(m.s.NRTP(1), 4);
    EXPECT_EQ(m.s.TRAIN(4, 1), 30.0);
    EXPECT_EQ(m.s.RRAIN(4, 1), 4.0e-3);
    EXPECT_EQ(m.s.NETP(1), 0);
    std::string next(11, ' ');
    rio::read(1, "(A11)", {next});
    EXPECT_EQ(next, "NEXT RECORD");
    // Three face records: the empty fourth entry has none.
    EXPECT_EQ(file("fort.155").size(), 3u * 38u);
}

// Values the arrays cannot hold: the whole group is still read, each problem prints the group
// line and a limit line, and the run stops 8001 before any face is built.
TEST_F(RainFaces, GroupLLimitsStop8001AfterTheGroup) {
    input({"RAIX     4",
           "RAINE      1      3      1  1  2  0       1.0",   // 3 entries into 2; IRT > NRR
           "RAINE      4      0      0  1  0 -1       1.0",   // element above NUMEL; IET < 0
           "RAINE      1      0      0  7  0  0       1.0",   // hexahedron face 7
           "RAINE     -5      0      0  9  0  0       1.0",   // below 1: skipped, no check
           "RAINR    3",
           "       0.0     1.E-3      10.0     2.E-3      20.0     0.0",
           "EVAPO    1",
           "       0.0     1.E-4",
           "NEXT RECORD"});
    RainModel m(2, 12, 2, 1, 2, 1);
    EXPECT_EQ(stop_code([&] { m.read(); }), 8001);
    std::string next(11, ' ');
    rio::read(1, "(A11)", {next});
    EXPECT_EQ(next, "NEXT RECORD");
    EXPECT_EQ(listing(),
              " ** ERROR ** RAIN  DATA -- Group L  \r\n"
              " ** ERROR ** RAINE DATA -- Group LA \r\n"
              " ** LIMIT ** IRT              2 NOT IN         0 TO         1\r\n"
              " ** ERROR ** RAINE DATA -- Group LA \r\n"
              " ** LIMIT ** ENTRY            3 NOT IN         1 TO         2\r\n"
              " ** ERROR ** RAINE DATA -- Group LA \r\n"
              " ** LIMIT ** IET             -1 NOT IN         0 TO         1\r\n"
              " ** ERROR ** RAINE DATA -- Group LA \r\n"
              " ** LIMIT ** ENTRY            4 NOT IN         1 TO         2\r\n"
              " ** ERROR ** RAINE DATA -- Group LA \r\n"
              " ** LIMIT ** ENTRY            5 NOT IN         1 TO         2\r\n"
              " ** ERROR ** RAINE DATA -- Group LA \r\n"
              " ** LIMIT ** ENTRY            6 NOT IN         1 TO         2\r\n"
              " ** ERROR ** RAINR DATA -- Group LB \r\n"
              " ** LIMIT ** NT               3 NOT IN         0 TO         2\r\n");
    EXPECT_EQ(m.s.TRAIN(2, 1), 10.0);  // the points that fit are kept
    EXPECT_EQ(file("fort.155"), "");   // no face was built
}

// With room for every entry, an element above NUMEL and a face outside the element are
// reported on their own; a prism has five faces.
TEST_F(RainFaces, ElementAndFaceLimits) {
    input({"RAIN     3",
           "RAINE      2      5      1  1  0  0       1.0",
           "RAINE      2      0      0  6  0  0       1.0",
           "RAINE      3      0      0  6  0  0       1.0",
           "NEXT RECORD"});
    RainModel m(8, 12, 0, 0, 0, 0);
    EXPECT_EQ(stop_code([&] { m.read(); }), 8001);
    EXPECT_EQ(listing(),
              " ** ERROR ** RAINE DATA -- Group LA \r\n"
              " ** LIMIT ** ELEMENT          4 NOT IN         1 TO         3\r\n"
              " ** ERROR ** RAINE DATA -- Group LA \r\n"
              " ** LIMIT ** IFACE            6 NOT IN         1 TO         5\r\n");
}

}  // namespace
