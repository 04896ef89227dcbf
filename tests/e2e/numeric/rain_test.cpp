// Rain and evaporation faces end to end: the fluxes they give the nodes, the steady
// infiltration profile, ponding and its release, the water balance, and "fort.155".
#include <cmath>

#include "e2e_support.hpp"

namespace {

using e2e::ModelRun;

// Box 3 x 2 x 2 over a base held at total head 10, top of four 1.5 x 1 faces: rain 4E-4
// with factor 0.5, evaporation 5E-5 without it, so 1.5E-4 per unit area flows down.
TEST(RainSteady, BoxTopTakesRainTimesFactorLessEvaporation) {
    ModelRun run("rain_box_steady");
    ASSERT_EQ(run.solve(), 0) << run.errors();
    const e2e::ResultFile r = e2e::parse_result(run.file("result.dat"));
    ASSERT_EQ(r.blocks.size(), 1u);
    const e2e::Block& b = r.blocks[0];
    const double net = 4.0e-4 * 0.5 - 5.0e-5, A = 6.0, K = 1.0e-3, face = 1.5;
    double top = 0.0, base = 0.0;
    for (int i = 1; i <= r.NUMNP; ++i) {
        const double x = r.nodes[i - 1].X, y = r.nodes[i - 1].Y, z = r.nodes[i - 1].Z;
        // Linear total head: uniform downward flow through conductivity K.
        EXPECT_NEAR(e2e::total_head(r, b, i), 10.0 + net / K * z, 1e-9) << "node " << i;
        if (z == 2.0) {
            // Each face gives a quarter of its flux to each corner: corners of the top
            // touch one face, edge midpoints two, the centre four.
            const int faces = (x == 1.5 ? 2 : 1) * (y == 1.0 ? 2 : 1);
            EXPECT_NEAR(b.Q[i - 1], faces * net * face / 4, 1e-15) << "node " << i;
            EXPECT_EQ(b.KODE[i - 1], -4);
            top += b.Q[i - 1];
        } else if (z == 0.0) {
            base += b.Q[i - 1];
        }
    }
    EXPECT_NEAR(top, net * A, 1e-15);
    EXPECT_NEAR(base, -net * A, 1e-13);
    // One face-area record per face, in entry order.
    EXPECT_EQ(run.file("fort.155"),
              "          13   1.50000000000000     \r\n          14   1.50000000000000     \r\n"
              "          15   1.50000000000000     \r\n          16   1.50000000000000     \r\n");
}

// Rain 0.2 Ks on a column 5 high whose base is a water table, soil kr = exp(psi): the steady
// profile is psi(z) = ln(0.2 + 0.8 exp(-z)). The bound 1E-3 covers the conductivity table
// (linear between points 0.05 apart in psi: relative error at most 0.05^2 / 8 = 3E-4, which
// moves psi by as much), the mesh (0.1 elements; halving them changes the error by 7E-5)
// and what is left of the transient at time 5000 (about seven times the filling time).
TEST(RainSteady, InfiltrationProfileFollowsGardnersSolution) {
    ModelRun run("rain_gardner_column");
    ASSERT_EQ(run.solve(), 0) << run.errors();
    const e2e::ResultFile r = e2e::parse_result(run.file("result.dat"));
    ASSERT_FALSE(r.blocks.empty());
    const e2e::Block& b = r.blocks.back();
    EXPECT_NEAR(b.TIME, 5000.0, 1e-9);
    double worst = 0.0;
    for (int i = 1; i <= r.NUMNP; ++i) {
        const double z = r.nodes[i - 1].Z;
        worst = std::max(worst, std::abs(b.PSI[i - 1] - std::log(0.2 + 0.8 * std::exp(-z))));
    }
    EXPECT_LT(worst, 1.0e-3);
    // The top starts at -5 and wets from the first step on.
    EXPECT_EQ(r.nodes[r.NUMNP - 1].PSIINI, -5.0);
    EXPECT_GT(r.blocks.front().PSI[r.NUMNP - 1], -5.0);
}

// Rain of ten times Ks until time 2, then none. While it rains the top is held at PSIRN 0
// (code 4) taking less than the rain; the step after the rain stops returns it to code -4.
TEST(RainPonding, TopPondsWhileItRainsAndReturnsToFluxAfter) {
    ModelRun run("rain_ponding");
    ASSERT_EQ(run.solve(), 0) << run.errors();
    const e2e::ResultFile r = e2e::parse_result(run.file("result.dat"));
    ASSERT_EQ(r.blocks.size(), 60u);
    const double share = 1.0e-1 / 4;
    for (const e2e::Block& b : r.blocks) {
        for (int i = r.NUMNP - 3; i <= r.NUMNP; ++i) {
            if (b.TIME < 2.0 + 1e-9) {
                EXPECT_EQ(b.KODE[i - 1], 4) << "time " << b.TIME;
                EXPECT_EQ(b.PSI[i - 1], 0.0);
                EXPECT_GT(b.Q[i - 1], 0.0);
                EXPECT_LT(b.Q[i - 1], share);
            } else {
                EXPECT_EQ(b.KODE[i - 1], -4) << "time " << b.TIME;
                EXPECT_EQ(b.Q[i - 1], 0.0);
                EXPECT_LT(b.PSI[i - 1], 0.0);
            }
        }
    }
}

// Rain 1E-3 with factor 0.8 on the 2 x 2 top of a closed saturated box for time 5: the
// cumulative inflow is the rain volume, and the water stored (specific storage times the
// lumped volume of each node times its head rise) matches it.
TEST(RainBalance, ClosedBoxStoresTheRainVolume) {
    ModelRun run("rain_closed_box");
    ASSERT_EQ(run.solve(), 0) << run.errors();
    const auto cumul = e2e::listed_values(run.listing(), "CUMULATIVE INFLOW INTO SYSTEM IS");
    ASSERT_EQ(cumul.size(), 10u);
    const double volume = 1.0e-3 * 0.8 * 4.0 * 5.0;
    EXPECT_NEAR(cumul.back(), volume, 1e-17);
    const e2e::ResultFile r = e2e::parse_result(run.file("result.dat"));
    const e2e::Block& b = r.blocks.back();
    // Every element is 1 x 1 x 0.5; each of its nodes holds an eighth of it.
    std::vector<double> lumped(r.NUMNP, 0.0);
    for (const auto& nod : r.NOD)
        for (int k = 0; k < 8; ++k) lumped[nod[k] - 1] += 0.5 / 8;
    double stored = 0.0;
    for (int i = 1; i <= r.NUMNP; ++i)
        stored += 1.0e-2 * lumped[i - 1] * (b.PSI[i - 1] - r.nodes[i - 1].PSIINI);
    EXPECT_NEAR(stored, volume, 1e-9);
}

}  // namespace

namespace {

// Half of the closed box's top sealed by a change event at time 2: the event fires at the
// start of the step ending at 2, so the rain falls on four faces for 1.5 and on two for 3.5;
// the nodes of the sealed half are free again (code 0) and the rebuild appends its records.
TEST(RainSealed, ChangeEventRemovesFacesAndRebuildsThem) {
    ModelRun run("rain_sealed_box");
    ASSERT_EQ(run.solve(), 0) << run.errors();
    const auto cumul = e2e::listed_values(run.listing(), "CUMULATIVE INFLOW INTO SYSTEM IS");
    ASSERT_EQ(cumul.size(), 10u);
    EXPECT_NEAR(cumul[2], 1.0e-3 * 0.8 * 4 * 1.5, 1e-17);
    EXPECT_NEAR(cumul.back(), 1.0e-3 * 0.8 * (4 * 1.5 + 2 * 3.5), 1e-17);
    const e2e::ResultFile r = e2e::parse_result(run.file("result.dat"));
    const e2e::Block& b = r.blocks.back();
    for (int i = 1; i <= r.NUMNP; ++i) {
        if (r.nodes[i - 1].Z != 1.0) continue;
        EXPECT_EQ(b.KODE[i - 1], r.nodes[i - 1].Y == 0.0 ? 0 : -4) << "node " << i;
    }
    const std::string record7 = "           7   1.00000000000000     \r\n";
    const std::string record8 = "           8   1.00000000000000     \r\n";
    EXPECT_EQ(run.file("fort.155"), "           5   1.00000000000000     \r\n"
                                    "           6   1.00000000000000     \r\n" +
                                        record7 + record8 + record7 + record8);
}

}  // namespace
