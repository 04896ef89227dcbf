// Material tables, rotated conductivities and the work-array totals.
#include <gtest/gtest.h>

#include <vector>

#include "input.hpp"
#include "node_history.hpp"

namespace {

// One material's pressure-head and capacity tables of n points over `store`.
sol::MaterialTables head_tables(std::vector<double>& store, int n) {
    sol::MaterialTables t;
    t.THPS = core::Span2<double>(store.data(), n, 1);
    t.PSIT = core::Span2<double>(store.data() + n, n, 1);
    t.THCA = core::Span2<double>(store.data() + 2 * n, n, 1);
    t.CAP = core::Span2<double>(store.data() + 3 * n, n, 1);
    return t;
}

TEST(InputCapacity, TableFromPressureHeads) {
    // (0.40, -0), (0.30, -10), (0.20, -100) as stored after negation.
    std::vector<double> store(4 * 3, 0.0);
    sol::MaterialTables t = head_tables(store, 3);
    t.THPS(1, 1) = 0.40, t.THPS(2, 1) = 0.30, t.THPS(3, 1) = 0.20;
    t.PSIT(1, 1) = -0.0, t.PSIT(2, 1) = -10.0, t.PSIT(3, 1) = -100.0;
    EXPECT_TRUE(sol::capacity_table(t, 1, 3).empty());
    EXPECT_DOUBLE_EQ(t.CAP(1, 1), 0.01);
    EXPECT_DOUBLE_EQ(t.CAP(2, 1), 0.1 / 90.0);
    EXPECT_EQ(t.CAP(3, 1), 0.0);
    EXPECT_DOUBLE_EQ(t.THCA(1, 1), 0.35);
    EXPECT_DOUBLE_EQ(t.THCA(2, 1), 0.25);
    EXPECT_EQ(t.THCA(3, 1), 0.20);
}

TEST(InputCapacity, EqualHeadsAndEmptyTable) {
    // Equal successive heads give a zero capacity for that interval, not a division by 0.
    std::vector<double> store(4 * 3, 0.0);
    sol::MaterialTables t = head_tables(store, 3);
    t.THPS(1, 1) = 0.4, t.THPS(2, 1) = 0.3, t.THPS(3, 1) = 0.2;
    t.PSIT(1, 1) = -1.0, t.PSIT(2, 1) = -1.0, t.PSIT(3, 1) = -5.0;
    const auto bad = sol::capacity_table(t, 1, 3);
    ASSERT_EQ(bad.size(), 1u);
    EXPECT_EQ(bad[0], 1);
    EXPECT_EQ(t.CAP(1, 1), 0.0);
    EXPECT_DOUBLE_EQ(t.CAP(2, 1), 0.025);
    // No points: nothing is written, not even the last-entry assignment.
    std::vector<double> none(8, 7.0);
    sol::MaterialTables e = head_tables(none, 0);
    EXPECT_TRUE(sol::capacity_table(e, 1, 0).empty());
    for (double v : none) EXPECT_EQ(v, 7.0);
}

TEST(InputRotation, IdentityAnglesAndFortyFiveDegrees) {
    std::array<std::array<double, 3>, 3> C{};
    const double id[3][3] = {{0, 90, 90}, {90, 0, 90}, {90, 90, 0}};
    sol::rotate_conductivity(id, 3.0, 2.0, 1.0, C);
    // cos(90 degrees) with the single-precision factor is not 0.
    EXPECT_DOUBLE_EQ(C[0][0], 3.0);
    EXPECT_DOUBLE_EQ(C[1][1], 2.0);
    EXPECT_DOUBLE_EQ(C[2][2], 1.0);
    EXPECT_NE(C[0][1], 0.0);
    EXPECT_NEAR(C[0][1], 1.2167964475066282e-8 * 5.0, 1e-15);
    const double r45[3][3] = {{45, 45, 90}, {135, 45, 90}, {90, 90, 0}};
    sol::rotate_conductivity(r45, 2.0, 1.0, 1.0, C);
    EXPECT_NEAR(C[0][0], 1.5, 1e-7);
    EXPECT_NEAR(C[1][1], 1.5, 1e-7);
    EXPECT_NEAR(C[0][1], 0.5, 1e-7);
    EXPECT_EQ(C[0][1], C[1][0]);
}

TEST(InputTotals, MeshAndRunTotals) {
    sol::Control c;
    c.NUMNP = 10, c.NUMEL = 4, c.NUMMAT = 2, c.MXNRK = 3, c.MXNPSI = 5, c.MAXSEP = 0;
    c.MXEVT = 6;
    const auto m = sol::mesh_totals(c);
    EXPECT_EQ(m.BD1, 2 * 2 * 3 + 4 * 2 * 5 + 7 * 10 + 1);
    EXPECT_EQ(m.IB1, 8 * 4 + 2 * 4 + 2 * 10 + 2 * 1 + 1);
    // All counts 0: every dimension copy is 1.
    const std::int64_t NWK = 50;
    c.STORE = 1;
    const auto t1 = sol::run_totals(c, NWK);
    EXPECT_EQ(t1.BD, m.BD1 + NWK + 40 + 48 + 64 + (NWK + 60) + 18 + 6 + 4);
    EXPECT_EQ(t1.IB, m.IB1 + NWK + 20 + 4 + 10 + 4 + 1 + 9 + 1 + 1 + 2 + 1 + 2 + 1 + 4 + 3 + 3 +
                         4 + 5 + 2 + 2 + 2);
    // Scratch files instead of memory: smaller by NWK + 6 NN - 7 and NN + NE - 2.
    c.STORE = 0;
    const auto t0 = sol::run_totals(c, NWK);
    EXPECT_EQ(t1.BD - t0.BD, NWK + 6 * 10 - 7);
    EXPECT_EQ(t1.IB - t0.IB, 10 + 4 - 2);
    // Large models: the sums do not wrap at 2^31.
    c.NUMNP = 400000000, c.NUMEL = 400000000;
    EXPECT_EQ(sol::mesh_totals(c).IB1, 8LL * 400000000 + 2LL * 400000000 + 2LL * 400000000 + 3);
}

TEST(InputHistory, EntryCounts) {
    EXPECT_EQ(sol::history_count(10, 1, -3), 4);  // 10, 7, 4, 1
    EXPECT_EQ(sol::history_count(5, 1, 1), 0);
    EXPECT_EQ(sol::history_count(1, 10, 4), 3);
}

}  // namespace
