// Prescribed-head and prescribed-flux groups through whole runs: known answers, the water
// balance of a flux table, the time at which each table is read, and the landing of steps on
// the table times.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "e2e_support.hpp"

namespace {

using e2e::ModelRun;

e2e::ResultFile solved(ModelRun& run) {
    EXPECT_EQ(run.solve(), 0) << run.errors();
    return e2e::parse_result(run.file("result.dat"));
}

const e2e::Block* block_at(const e2e::ResultFile& r, double t) {
    for (const e2e::Block& b : r.blocks)
        if (std::abs(b.TIME - t) <= 1e-12 * std::max(1.0, t)) return &b;
    return nullptr;
}

// Column 1 long, D = K/SS = 1, base closed, initial head 3; top head f(t) = 2 up to t1,
// a ramp to 2.5 at t2, then 2.5. Each mode cos(l z) of h - f decays at l^2 and is driven by
// -a f'(t), a = 4 (-1)^n / ((2n+1) pi) the mode's share of a uniform head.
double ramp_series(double z, double t) {
    const double t1 = 0.1013, t2 = 0.2027, slope = 0.5 / (t2 - t1);
    const double f = t <= t1 ? 2.0 : t <= t2 ? 2.0 + slope * (t - t1) : 2.5;
    double h = f;
    for (int n = 0; n < 400; ++n) {
        const double l = (2 * n + 1) * std::numbers::pi / 2, L = l * l;
        const double a = 4.0 * ((n % 2) ? -1.0 : 1.0) / ((2 * n + 1) * std::numbers::pi);
        double c = a * std::exp(-L * std::min(t, t1));
        if (t > t1) {
            const double d = std::min(t, t2) - t1;
            c = c * std::exp(-L * d) - a * slope * (1.0 - std::exp(-L * d)) / L;
        }
        if (t > t2) c *= std::exp(-L * (t - t2));
        h += c * std::cos(l * z);
    }
    return h;
}

// Steps of 0.0025 (20 elements) land on the table times 0.1013 and 0.2027; there and at the
// end the heads follow the series within 0.005: the fully implicit steps lag the ramp (head
// slope 4.9) by about half a step, up to 0.006 at the top; 0.0034 is measured.
TEST(HeadGroups, TopHeadFollowsItsTable) {
    ModelRun run("head_table_column");
    const e2e::ResultFile r = solved(run);
    for (double t : {0.1013, 0.2027, 0.3}) {
        const e2e::Block* b = block_at(r, t);
        ASSERT_NE(b, nullptr) << "no step ends at " << t;
        for (int i = 1; i <= r.NUMNP; ++i)
            EXPECT_NEAR(e2e::total_head(r, *b, i), ramp_series(r.nodes[i - 1].Z, t), 0.005)
                << "time " << t << " node " << i;
    }
    EXPECT_EQ(r.blocks.back().TIME, 0.3);
}

double theis_well_function(double u) {
    double w = -0.5772156649015329 - std::log(u), term = 1.0;
    for (int k = 1; k < 60; ++k) {
        term *= -u / k;
        w -= term / k;
    }
    return w;
}

// Theis: drawdown s = Q / (4 pi T) W(r^2 S / (4 T t)), Q = 1, T = 1, S = 0.01, the well at the
// corner of a quarter domain (2 nodes of 1/8 each), cells graded from 0.5 by 1.2, Crank-
// Nicolson steps up to 0.25. At radii 2.5 to 20 the drawdowns lie within 0.004 of Theis
// (0.001 to 0.0027 measured: the graded Cartesian cells about the well, and the early steps,
// where the drawdown changes fastest); the rise from time 5 to 10, Q ln 2 / (4 pi T) in the
// late-time limit, is insensitive to both and agrees within 0.0005.
TEST(FluxGroups, PumpingWellFollowsTheis) {
    ModelRun run("theis_quarter");
    const e2e::ResultFile r = solved(run);
    const auto theis = [](double rad, double t) {
        return theis_well_function(rad * rad * 0.01 / (4.0 * t)) / (4.0 * std::numbers::pi);
    };
    int checked = 0;
    for (int i = 1; i <= r.NUMNP; ++i) {
        const e2e::Node& n = r.nodes[i - 1];
        if (n.Y != 0.0 || n.Z != 0.0 || n.X < 2.5 || n.X > 20.0) continue;
        double s[3];
        int k = 0;
        for (double t : {1.0, 5.0, 10.0}) {
            const e2e::Block* b = block_at(r, t);
            ASSERT_NE(b, nullptr) << "no step ends at " << t;
            s[k] = 5.0 - e2e::total_head(r, *b, i);
            EXPECT_NEAR(s[k], theis(n.X, t), 0.004) << "r " << n.X << " time " << t;
            ++k;
        }
        EXPECT_NEAR(s[2] - s[1], theis(n.X, 10.0) - theis(n.X, 5.0), 0.0005) << "r " << n.X;
        ++checked;
    }
    EXPECT_EQ(checked, 9);
}

// The base nodes of a closed column take the flux table at mid-step (IBTIME 0) or at the
// step's end (IBTIME 1): every block shows that flux at each of the four nodes, and CUMUL
// is the sum of the four fluxes times the step lengths. Steps land on the table times 0.5,
// 1.0, 1.5; 0.05 lies inside the first step and is passed over; 2.04 lies above TMAX within
// a fifth of the last step and is never landed on.
TEST(FluxGroups, TableReadAtItsTimeAndBalanced) {
    for (int ibtime : {0, 1}) {
        ModelRun run(ibtime == 0 ? "flux_box_ibtime0" : "flux_box_ibtime1");
        const e2e::ResultFile r = solved(run);
        const auto F = [](double t) {
            const double T[] = {0.05, 0.5, 1.0, 1.5, 2.04}, V[] = {0.0, 0.02, 0.02, 0.0, 0.01};
            int k = 1;
            while (k < 4 && t > T[k]) ++k;
            return V[k - 1] + (t - T[k - 1]) * (V[k] - V[k - 1]) / (T[k] - T[k - 1]);
        };
        const std::vector<double> cumul =
            e2e::listed_values(run.listing(), "CUMULATIVE INFLOW INTO SYSTEM IS");
        ASSERT_EQ(cumul.size(), r.blocks.size());
        std::vector<double> times;
        double previous = 0.0, sum = 0.0;
        for (std::size_t k = 0; k < r.blocks.size(); ++k) {
            const e2e::Block& b = r.blocks[k];
            const double DT = b.TIME - previous;
            const double TB = ibtime == 0 ? b.TIME - DT * 0.5 : b.TIME;
            for (int i = 1; i <= 4; ++i)
                EXPECT_NEAR(b.Q[i - 1], F(TB), 1e-15) << "ibtime " << ibtime << " time " << b.TIME;
            sum += DT * 4.0 * F(TB);
            EXPECT_NEAR(cumul[k], sum, 1e-5 * std::abs(sum) + 1e-12) << "time " << b.TIME;
            times.push_back(b.TIME);
            previous = b.TIME;
        }
        EXPECT_EQ(times, (std::vector<double>{0.1, 0.25, 0.5, 0.75, 1.0, 1.25, 1.5, 1.75, 2.0}))
            << "ibtime " << ibtime;
    }
}

// A group head of 1.5 below the top nodes (z 2) that take an inflow of 4E-4 through a
// column of K 1E-3: free (-2), the inflow raises them to the head 1.5 + 0.4 of a saturated
// column (pressure head -0.1); with IHBFIX 1 they are held at 1.5 - 2 = -0.5.
TEST(HeadGroups, HeadBelowANodeFreesItUnlessFixed) {
    for (int fixed : {0, 1}) {
        ModelRun run(fixed ? "head_below_top_fixed" : "head_below_top_free");
        const e2e::ResultFile r = solved(run);
        ASSERT_EQ(r.blocks.size(), 1u);
        const e2e::Block& b = r.blocks[0];
        for (int i = 1; i <= 8; ++i) EXPECT_EQ(b.KODE[i - 1], 1);
        for (int i = 9; i <= 12; ++i) {
            EXPECT_EQ(b.KODE[i - 1], fixed ? 1 : -2);
            if (fixed)
                EXPECT_EQ(b.PSI[i - 1], -0.5);
            else
                EXPECT_NEAR(b.PSI[i - 1], -0.1, 1e-9);
        }
    }
}

}  // namespace
