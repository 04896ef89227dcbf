// Reading of the head and flux groups, and the event-time list.
#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "boundary_groups.hpp"
#include "../support/scratch_dir.hpp"

namespace {

using test_support::ScratchDirTest;

// Arrays of one group kind in vectors, with NHB = 3, NHBN = 11, NHBT = 4 unless changed.
struct Groups {
    sol::Control c;
    std::vector<std::int32_t> counts, nodes, points;
    std::vector<double> T, V;
    sol::BoundaryGroupKind kind(bool head) {
        counts.assign(sol::dim(c.NHB), -99);
        nodes.assign(sol::dim(c.NHB) * sol::dim(c.NHBN), -99);
        points.assign(sol::dim(c.NHB), -99);
        T.assign(sol::dim(c.NHBT) * sol::dim(c.NHB), -99.0);
        V = T;
        return {head ? "HBOUN" : "QBOUN", head ? "M  " : "R  ", head ? "HTIME" : "QTIME",
                head ? "N,O" : "S,T", head ? "NHN" : "NQN", head ? "NHTP" : "NQTP",
                c.NHB, c.NHBN, c.NHBT, head,
                {counts.data(), sol::dim(c.NHB)},
                {nodes.data(), sol::dim(c.NHB), sol::dim(c.NHBN)},
                {points.data(), sol::dim(c.NHB)},
                {T.data(), sol::dim(c.NHBT), sol::dim(c.NHB)},
                {V.data(), sol::dim(c.NHBT), sol::dim(c.NHB)}};
    }
    int node(int g, int k) const { return nodes[(g - 1) + (k - 1) * sol::dim(c.NHB)]; }
    double t(int k, int g) const { return T[(k - 1) + (g - 1) * sol::dim(c.NHBT)]; }
    double v(int k, int g) const { return V[(k - 1) + (g - 1) * sol::dim(c.NHBT)]; }
};

class BoundaryGroupsTest : public ScratchDirTest {
protected:
    // Reads `records` (then a line "NEXT ") as the groups of one kind; returns the listing
    // and checks that the reader left the file at "NEXT ".
    std::string read(Groups& g, const std::vector<std::string>& records, bool head = true,
                     const char* keyword_before = "TIME ") {
        {
            std::ofstream f("GROUPS.DAT", std::ios::binary);
            for (const auto& r : records) f << r << "\r\n";
            f << "NEXT \r\n";
        }
        rio::open(1, "GROUPS.DAT", rio::Status::Old, rio::Form::Formatted);
        sol::Units u;
        u.IR = 1;
        u.IW = kListing;
        in.KEYWD = keyword_before;
        sol::read_boundary_groups(g.c, u, in, g.kind(head));
        std::string next(5, ' ');
        rio::read(1, "(A5)", {next});
        EXPECT_EQ(next, "NEXT ");
        return listing();
    }
    sol::InputState in;
};

Groups three_groups() {
    Groups g;
    g.c.NUMNP = 100;
    g.c.NHB = 3;
    g.c.NHBN = 11;
    g.c.NHBT = 4;
    return g;
}

const char* kSeven = "      1      2      3      4      5      6      7";
const char* kTen = "     11     12     13     14     15     16     17     18     19     20";

// Groups of 0, 7 and 11 nodes (no line, one, two), 0, 4 and 1 points, blank keywords on the
// later group heads: everything stored in its place, nothing reported.
TEST_F(BoundaryGroupsTest, GroupsOfEverySize) {
    Groups g = three_groups();
    const std::string out =
        read(g, {"HBOUN    0    9", "         7", kSeven, "        11", kTen, "     21", "HTIME",
                 "      0      4      1",
                 "       0.0       1.0      10.0       2.0      20.0       3.0",
                 "      30.0       4.0", "       5.0      -1.5"});
    EXPECT_EQ(out, "");
    EXPECT_EQ(in.read_error, 0);
    EXPECT_EQ(g.counts, (std::vector<std::int32_t>{0, 7, 11}));
    EXPECT_EQ(g.node(2, 7), 7);
    EXPECT_EQ(g.node(2, 8), -99);  // slots past the group's count are not touched
    EXPECT_EQ(g.node(3, 10), 20);
    EXPECT_EQ(g.node(3, 11), 21);
    EXPECT_EQ(g.points, (std::vector<std::int32_t>{0, 4, 1}));
    EXPECT_EQ(g.t(4, 2), 30.0);
    EXPECT_EQ(g.v(4, 2), 4.0);
    EXPECT_EQ(g.t(1, 3), 5.0);
    EXPECT_EQ(g.v(1, 3), -1.5);
}

// A blank keyword on the first group head repeats the record before the group; on the
// table head it repeats the group keyword. Both are wrong and set the flag.
TEST_F(BoundaryGroupsTest, BlankKeywordOnFirstHeadsIsWrong) {
    Groups g = three_groups();
    g.c.NHB = 1;
    const std::string out = read(g, {"         0", "     ", "      1", "       1.0       2.0"},
                                 false);
    EXPECT_EQ(out,
              " ** ERROR ** QBOUN DATA -- Group R  \r\n"
              " ** ERROR ** QTIME DATA -- Group S,T\r\n");
    EXPECT_EQ(in.read_error, 1);
    EXPECT_EQ(g.v(1, 1), 2.0);  // the values stand as read
}

// Counts above their maxima and node numbers above NUMNP are reported with a limit line;
// the surplus values are read (the file stays in step) but not stored.
TEST_F(BoundaryGroupsTest, OversizedGroupsAreReadAndRefused) {
    Groups g = three_groups();
    g.c.NUMNP = 15;
    g.c.NHB = 2;
    g.c.NHBN = 7;
    g.c.NHBT = 2;
    const std::string out =
        read(g, {"HBOUN   11", kSeven + std::string("      0     -4     16"), "     99",
                 "HBOUN    2", "      3      4", "HTIME", "      3      0",
                 "       1.0       1.0       2.0       2.0       3.0       3.0"});
    EXPECT_EQ(out,
              " ** ERROR ** HBOUN DATA -- Group M  \r\n"
              " ** LIMIT ** NHN             11 NOT IN         0 TO         7\r\n"
              " ** ERROR ** HBOUN DATA -- Group M  \r\n"
              " ** LIMIT ** NODE            16 NOT IN         0 TO        15\r\n"
              " ** ERROR ** HTIME DATA -- Group N,O\r\n"
              " ** LIMIT ** NHTP             3 NOT IN         0 TO         2\r\n"
              " ** ERROR ** HTIME DATA -- Group N,O\r\n"
              " ** LIMIT ** NHTP             0 NOT IN         1 TO         2\r\n");
    EXPECT_EQ(in.read_error, 1);
    EXPECT_EQ(g.node(1, 7), 7);
    EXPECT_EQ(g.node(2, 2), 4);
    EXPECT_EQ(g.t(2, 1), 2.0);
}

// A flux group needs no table (its flux is 0 without one), and 0 and negative node numbers
// are allowed in both kinds.
TEST_F(BoundaryGroupsTest, FluxGroupWithoutTable) {
    Groups g = three_groups();
    g.c.NHB = 1;
    const std::string out = read(g, {"QBOUN    3", "      0     -2     100", "QTIME", "      0"},
                                 false);
    EXPECT_EQ(out, "");
    EXPECT_EQ(in.read_error, 0);
}

// Event times from explicit sources: `tables` holds the tables of one kind, each a list
// of times.
struct Tables {
    std::vector<double> T;
    std::vector<std::int32_t> n;
    Tables(std::vector<std::vector<double>> tabs = {}) {
        std::size_t rows = 1;
        for (const auto& t : tabs) rows = std::max(rows, t.size());
        T.assign(rows * std::max<std::size_t>(tabs.size(), 1), 0.0);
        n.assign(std::max<std::size_t>(tabs.size(), 1), 0);
        for (std::size_t j = 0; j < tabs.size(); ++j) {
            n[j] = static_cast<std::int32_t>(tabs[j].size());
            std::copy(tabs[j].begin(), tabs[j].end(), T.begin() + j * rows);
        }
        ld = static_cast<std::int64_t>(rows);
        count = static_cast<int>(tabs.size());
    }
    sol::TimeTables view() {
        return {{T.data(), ld, static_cast<std::int64_t>(n.size())},
                {n.data(), static_cast<std::int64_t>(n.size())},
                count};
    }
    std::int64_t ld;
    int count;
};

struct EventCase {
    const char* why;
    std::vector<double> newc, matc;
    std::vector<std::vector<double>> rainr, evapo, htime, qtime;
    std::vector<double> expected;
};

TEST(EventTimes, CollectionSortAndThinning) {
    const float f1e4 = 1.0E-4f;
    const EventCase cases[] = {
        {"points at 0 and at 1.0E-4 never enter", {}, {}, {}, {}, {{0.0, f1e4, 2.0}}, {}, {2.0}},
        {"1.0, 1.0005, 1.001 give 1.0", {}, {}, {}, {}, {{1.0, 1.0005, 1.001}}, {}, {1.0}},
        {"NEWC 5.0 and HTIME 5.00005: one entry", {5.0}, {}, {}, {}, {{5.00005}}, {}, {5.0}},
        {"tables out of order are sorted", {}, {}, {}, {}, {{9.0, 3.0}, {6.0, 1.0}}, {},
         {1.0, 3.0, 6.0, 9.0}},
        {"two tables of one kind with distinct times (more than MXEVT)", {}, {}, {}, {},
         {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {11, 12, 13, 14, 15, 16, 17, 18, 19, 20}}, {},
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}},
        // 2.0 and 2.00002 within one table are both collected and then thinned to 2.0;
        // 4.00005 of a QTIME table is a duplicate of 4.0 of the HTIME table.
        {"every source, in scan order", {7.0, 7.0}, {7.00001, 8.0}, {{2.0, 2.00002}}, {{3.0}, {3.00001}},
         {{4.0}}, {{4.00005, 0.5}}, {0.5, 2.0, 3.0, 4.0, 7.0, 8.0}},
        {"a time 0.000999 above its neighbour stays", {}, {}, {}, {},
         {{10.0, 10.0 + double(0.000999f)}}, {}, {10.0, 10.0 + double(0.000999f)}},
        {"a chain of close times keeps only its smallest", {}, {}, {}, {},
         {{1.0, 1.0008, 1.0016, 1.0024}}, {}, {1.0}},
    };
    for (const EventCase& c : cases) {
        Tables r(c.rainr), e(c.evapo), h(c.htime), q(c.qtime);
        sol::EventSources src{c.newc, c.matc, r.view(), e.view(), h.view(), q.view()};
        EXPECT_EQ(sol::EVTIME(src), c.expected) << c.why;
    }
}

// The list equals the one the plain rules give: each candidate compared with every time of
// its window, an exchange sort, then the thinning. Random tables with many near times.
TEST(EventTimes, SameListAsTheDirectRules) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> time(0.0, 2.0);
    for (int trial = 0; trial < 20; ++trial) {
        std::vector<std::vector<double>> kinds[4];
        std::vector<double> newc, matc;
        for (int i = 0; i < 5; ++i) newc.push_back(std::round(time(rng) * 1e4) / 1e4);
        for (int i = 0; i < 5; ++i) matc.push_back(std::round(time(rng) * 1e4) / 1e4);
        for (auto& kind : kinds)
            for (int t = 0; t < 4; ++t) {
                std::vector<double> tab;
                for (int p = 0; p < 8; ++p) tab.push_back(std::round(time(rng) * 1e4) / 1e4);
                kind.push_back(tab);
            }
        // The plain rules.
        const double tol = double(1.0E-4f), gap = double(0.000999f);
        std::vector<double> list;
        auto offer = [&](double t, std::size_t window) {
            if (!(t > tol)) return;
            for (std::size_t i = 0; i < window; ++i)
                if (std::abs(t - list[i]) <= tol) return;
            list.push_back(t);
        };
        for (double t : newc) offer(t, 0);
        const std::size_t from_newc = list.size();
        for (double t : matc) offer(t, from_newc);
        for (const auto& tab : kinds[0]) {
            const std::size_t w = list.size();
            for (double t : tab) offer(t, w);
        }
        const std::size_t before_evapo = list.size();
        for (const auto& tab : kinds[1])
            for (double t : tab) offer(t, before_evapo);
        for (int k : {2, 3})
            for (const auto& tab : kinds[k]) {
                const std::size_t w = list.size();
                for (double t : tab) offer(t, w);
            }
        for (std::size_t p = 0; p + 1 < list.size(); ++p)
            for (std::size_t j = p + 1; j < list.size(); ++j)
                if (list[j] < list[p]) std::swap(list[j], list[p]);
        std::vector<double> expected;
        for (std::size_t n = list.size(); n >= 2; --n)
            if (std::abs(list[n - 1] - list[n - 2]) >= gap) expected.insert(expected.begin(), list[n - 1]);
        if (!list.empty()) expected.insert(expected.begin(), list[0]);

        Tables r(kinds[0]), e(kinds[1]), h(kinds[2]), q(kinds[3]);
        sol::EventSources src{newc, matc, r.view(), e.view(), h.view(), q.view()};
        EXPECT_EQ(sol::EVTIME(src), expected) << "trial " << trial;
    }
}

}  // namespace
