// Global assembly (work heads, time weighting, saved conductivity system, matrix positions)
// and the element velocities.
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


// Two unit cubes stacked in z: nodes 1-8 the lower one, 9-12 the top of the upper one.
std::vector<std::array<double, 3>> column() {
    auto n = cube();
    for (auto p : {std::array<double, 3>{1, 1, 2}, {0, 1, 2}, {0, 0, 2}, {1, 0, 2}}) n.push_back(p);
    return n;
}
const std::vector<std::int32_t> kUpper{9, 10, 11, 12, 1, 2, 3, 4};

constexpr Mat3 kCondt{{{2.0, 0.3, 0.1}, {0.3, 1.5, -0.2}, {0.1, -0.2, 0.8}}};

class Assembly : public test_support::ScratchDirTest {
protected:
};

TEST_F(Assembly, SteadyStageHasNoCapacityEvenWithZeroStep) {
    Model m(column(), {kHex, kUpper});
    m.mat.CONS2 = 2.0;
    m.kode[0] = 1;
    std::fill(m.q.begin(), m.q.end(), 0.25);
    m.assemble(0, 0.0, 0.0, 0);
    for (std::size_t i = 0; i < m.grav.size(); ++i) {
        EXPECT_EQ(m.capv[i], 0.0);
        EXPECT_EQ(m.grav[i], 0.25 * 2.0 - m.gravs[i]);
    }
    EXPECT_EQ(m.sk, m.sks);
    // Gravity pulls down: the bottom nodes gain, the top nodes lose (G = integral of grad N . K e_z).
    EXPECT_LT(m.gravs[6], 0.0);
    EXPECT_GT(m.gravs[8], 0.0);
}

TEST_F(Assembly, WorkHeadsOfEachPass) {
    // Node 1 prescribed; entering heads 4, start-of-step heads 2.
    struct Case {
        int NSTEP, ITER;
        double OMEGA, hw_free, hold;
    };
    const Case cases[] = {
        {1, 0, 0.0, 2.0, 4.0},   // first pass: the old HOLD, HOLD takes the entering heads
        {0, 0, 0.0, 2.0, 4.0},
        {3, 0, 0.0, 4.5, 4.0},   // predictor 4 + (4 - 2) x 0.5 x DT / DTOLD with DT / DTOLD = 0.5
        {0, 1, 0.25, 3.5, 2.0},  // steady later pass: 4 x 0.75 + 2 x 0.25
        {0, 1, 0.0, 4.0, 2.0},
        {0, 1, 1.0, 2.0, 2.0},
        {2, 1, 0.25, 3.0, 2.0},  // unsteady later pass: mid-step average
    };
    for (const Case& c : cases) {
        Model m(cube(), {kHex});
        m.kode[0] = 1;
        m.ctl.OMEGA = c.OMEGA;
        std::fill(m.hw.begin(), m.hw.end(), 4.0);
        std::fill(m.hold.begin(), m.hold.end(), 2.0);
        m.assemble(c.NSTEP, 2.0, 4.0, c.ITER);
        EXPECT_EQ(m.hw[0], 4.0);
        for (int i = 1; i < 8; ++i) EXPECT_EQ(m.hw[i], c.hw_free) << c.NSTEP << " " << c.ITER;
        for (int i = 0; i < 8; ++i) EXPECT_EQ(m.hold[i], c.hold) << c.NSTEP << " " << c.ITER;
    }
}

TEST_F(Assembly, TimeWeightingOfTheStep) {
    // NSTEP 1 is fully implicit whatever ITSCH says; from NSTEP 2 ITSCH other than 1 gives
    // Crank-Nicolson multiplied through by 2.
    struct Case {
        int NSTEP, ITSCH;
        double S;
    };
    for (const Case& c : {Case{1, 2, 1.0}, Case{2, 2, 2.0}, Case{2, 1, 1.0}, Case{5, 0, 2.0}}) {
        Model m(column(), {kHex, kUpper});
        m.ctl.ITSCH = c.ITSCH;
        m.mat.SS[1] = 0.1;
        m.mat.CONS2 = 3.0;
        m.kode[0] = 1;
        for (std::size_t i = 0; i < m.hw.size(); ++i) {
            m.hw[i] = 1.0 + 0.1 * double(i);  // becomes HOLD on this first pass
            m.q[i] = 0.01 * double(i);
        }
        const std::vector<double> hold = m.hw;
        const double DT = 0.5;
        m.assemble(c.NSTEP, DT, 0.25, 0);
        for (int i = 1; i <= m.ctl.NUMNP; ++i) {
            const double cap = m.capv[i - 1];
            EXPECT_GT(cap, 0.0);
            double want = c.S * ((m.q[i - 1] * 3.0 - m.gravs[i - 1]) + hold[i - 1] * cap / DT);
            if (c.S == 2.0) {
                double kh = 0.0;
                for (int k = m.maxa[i - 1]; k < m.maxa[i]; ++k) kh += m.sks[k - 1] * hold[m.isp[k - 1] - 1];
                want -= kh;
            }
            EXPECT_NEAR(m.grav[i - 1], want, 1e-14) << c.NSTEP << " node " << i;
            const int d = m.maxa[i - 1] - 1;
            EXPECT_NEAR(m.sk[d], m.sks[d] + cap * c.S / DT, 1e-14);
            for (int k = d + 1; k < m.maxa[i] - 1; ++k) EXPECT_EQ(m.sk[k], m.sks[k]);
        }
    }
}

TEST_F(Assembly, InactiveElementAddsNothing) {
    Model one(column(), {kHex});
    one.assemble(0, 1.0, 1.0, 0);
    Model two(column(), {kHex, kUpper});
    two.eflag[1] = 1;
    two.assemble(0, 1.0, 1.0, 0);
    for (int i = 1; i <= 12; ++i) {
        EXPECT_EQ(two.gravs[i - 1], one.gravs[i - 1]);
        for (int j = 1; j <= 12; ++j) EXPECT_EQ(two.at(two.sks, i, j), one.at(one.sks, i, j));
    }
    // A removed material number is left out as well, and so is material 0 even where the
    // element is not flagged (it has no properties).
    for (int mt : {-1, 0}) {
        Model neg(column(), {kHex, kUpper});
        neg.mtyp[1] = mt;
        neg.assemble(0, 1.0, 1.0, 0);
        EXPECT_EQ(neg.gravs, two.gravs);
    }
}

TEST_F(Assembly, NodeOfNoElementHasAnEmptyRow) {
    // The structure leaves column 0 in the one-entry row of a node that no element holds;
    // the Crank-Nicolson row product skips it instead of reading HOLD(0).
    auto nodes = cube();
    nodes.push_back({5, 5, 5});
    Model m(nodes, {kHex});
    m.isp[m.maxa[8] - 1] = 0;
    m.kode[8] = 9;
    m.q[8] = 0.5;
    m.assemble(2, 1.0, 1.0, 0);
    EXPECT_EQ(m.grav[8], 1.0);
    EXPECT_EQ(m.sk.back(), 0.0);
}

TEST_F(Assembly, ScratchRecordHoldsTheConductivitySystem) {
    Model mem(column(), {kHex, kUpper});
    mem.assemble(2, 0.5, 0.5, 0);
    Model scr(column(), {kHex, kUpper});
    scr.ctl.STORE = 0;
    rio::open(2, "MATRIX.SCR", rio::Status::Unknown, rio::Form::Unformatted);
    scr.assemble(2, 0.5, 0.5, 0);
    scr.assemble(2, 0.5, 0.5, 0);  // each pass replaces the record
    EXPECT_EQ(scr.sk, mem.sk);
    EXPECT_EQ(scr.grav, mem.grav);
    std::vector<double> sk(mem.sks.size()), grav(mem.gravs.size());
    rio::rewind(2);
    rio::read_unf(2, {std::span<double>(sk), std::span<double>(grav)});
    EXPECT_EQ(sk, mem.sks);
    EXPECT_EQ(grav, mem.gravs);
    EXPECT_FALSE(rio::read_unf_or_end(2, {std::span<double>(sk)}));
}

TEST_F(Assembly, EntriesLandAtTheirColumnsWhateverTheRowLength) {
    // The same mesh on its own rows and on full rows (every column in every row) gives the
    // same matrix entry by entry.
    std::vector<std::array<double, 3>> nodes = column();
    nodes.push_back({2, 0, 0});
    nodes.push_back({2, 1, 0});
    nodes.push_back({2, 0, 1});
    nodes.push_back({2, 1, 1});
    const std::vector<std::vector<std::int32_t>> elements{kHex, kUpper, {16, 1, 4, 14, 5, 8}, {16, 4, 15, 14, 8, 13}};
    Model sparse(nodes, elements);
    Model full(nodes, elements);
    full.isp.clear();
    full.maxa = {1};
    const int N = full.ctl.NUMNP;
    for (int n = 1; n <= N; ++n) {
        full.isp.push_back(n);
        for (int k = 1; k <= N; ++k)
            if (k != n) full.isp.push_back(k);
        full.maxa.push_back(static_cast<std::int32_t>(full.isp.size() + 1));
    }
    full.sk.assign(full.isp.size(), 0.0);
    full.sks.assign(full.isp.size(), 0.0);
    full.views();
    sparse.assemble(0, 1.0, 1.0, 0);
    full.assemble(0, 1.0, 1.0, 0);
    for (int i = 1; i <= N; ++i)
        for (int j = 1; j <= N; ++j) EXPECT_EQ(sparse.at(sparse.sks, i, j), full.at(full.sks, i, j)) << i << "," << j;
    EXPECT_NE(sparse.at(sparse.sks, 1, 7), 0.0);
}

TEST_F(Assembly, ColumnMissingFromADatabaseRowStops1111) {
    // Row 1 without column 8: a structure read back from another mesh.
    auto drop = [](Model& m) {
        m.isp.erase(m.isp.begin() + 7);  // row 1 holds 1, 2, ..., 8: drop the 8
        for (std::size_t n = 1; n < m.maxa.size(); ++n) m.maxa[n] -= 1;
        m.sk.pop_back();
        m.sks.pop_back();
        m.views();
    };
    Model built(cube(), {kHex});
    drop(built);
    EXPECT_EQ(stop_code([&] { built.assemble(0, 1.0, 1.0, 0); }), -1);  // built here: skipped
    EXPECT_EQ(built.at(built.sks, 1, 8), 0.0);
    Model reused(cube(), {kHex});
    reused.ctl.IDBASE = 1;
    drop(reused);
    EXPECT_EQ(stop_code([&] { reused.assemble(0, 1.0, 1.0, 0); }), 1111);
}

// Darcy velocity at the centre of each element.
struct Velocities {
    std::vector<double> vel, th;
    Span2<double> VEL;
    Span1<double> TH;
    explicit Velocities(int NUMEL) : vel(3 * NUMEL, 7.0), th(NUMEL, 7.0) {
        VEL = Span2<double>(vel.data(), 3, NUMEL);
        TH = Span1<double>(th.data(), NUMEL);
    }
    void run(Model& m) {
        m.views();
        VELOC(m.ctl, m.u, m.mat, m.mesh, m.EFLAG, VEL, TH);
    }
};

TEST_F(Assembly, HydrostaticColumnHasNoVelocity) {
    for (double top_psi : {3.0, -5.0}) {  // saturated, and unsaturated throughout
        Model m(column(), {kHex, kUpper, {9, 10, 11, 1, 2, 3}});
        for (int i = 0; i < m.ctl.NUMNP; ++i) m.psi[i] = top_psi + 2.0 - m.z[i];
        Velocities v(3);
        v.run(m);
        for (double x : v.vel) EXPECT_NEAR(x, 0.0, 1e-15);
        if (top_psi > 0.0) {
            EXPECT_EQ(v.th[0], 0.4);
        } else {
            EXPECT_LT(v.th[0], 0.4);
        }
    }
}

TEST_F(Assembly, LinearHeadGivesDarcyVelocityOnDistortedElements) {
    std::vector<std::array<double, 3>> nodes{{1.2, 1.1, 1.3}, {-0.1, 0.9, 1.0}, {0.05, -0.2, 0.8},
                                             {1.0, 0.1, 1.1}, {0.9, 1.2, 0.1}, {0.1, 1.0, -0.1},
                                             {-0.05, 0.0, 0.0}, {1.1, -0.1, 0.2}};
    Model m(nodes, {kHex, {1, 2, 3, 5, 6, 7}});
    m.mat.IROT[1] = 1;
    m.mat.CONDT[1] = kCondt;
    const std::array<double, 3> g{0.3, -0.2, 0.1};
    for (int i = 0; i < 8; ++i) m.psi[i] = 5.0 + g[0] * m.x[i] + g[1] * m.y[i] + g[2] * m.z[i] - m.z[i];
    Velocities v(2);
    v.run(m);
    for (int e = 1; e <= 2; ++e)
        for (int a = 0; a < 3; ++a) {
            const double want = -(kCondt[a][0] * g[0] + kCondt[a][1] * g[1] + kCondt[a][2] * g[2]);
            EXPECT_NEAR(v.VEL(a + 1, e), want, 1e-13) << e << " " << a;
        }
}

// An element of neither 6 nor 8 nodes has no shape function, but its moisture content is
// still taken at its mean pressure head; its velocity keeps its previous value.
TEST_F(Assembly, OtherNodeCountGetsMoistureContentOnly) {
    Model m(column(), {kHex, {9, 10, 11, 12}, {9, 10, 11, 1, 2, 3, 4}});
    m.npe[2] = -1;  // passes the element check unexamined: no node is taken
    for (int i = 0; i < 8; ++i) m.psi[i] = 1.0;
    for (int i = 8; i < 12; ++i) m.psi[i] = -10.0;
    Velocities v(3);
    v.run(m);
    EXPECT_EQ(v.th[0], 0.4);
    EXPECT_EQ(v.th[1], 0.2);  // mean head -10: moisture 0.2 from the table
    EXPECT_EQ(v.th[2], 0.4);  // no node: mean head 0, saturated
    for (int e = 2; e <= 3; ++e)
        for (int a = 1; a <= 3; ++a) EXPECT_EQ(v.VEL(a, e), 7.0) << e;
}

TEST_F(Assembly, MeanHeadDecidesSaturationAndNegativeKrStopsTheFlow) {
    Model m(column(), {kHex, kUpper});
    std::fill(m.rkr.begin(), m.rkr.end(), -0.5);
    // Element 1: heads +1 / -1 alternating, mean exactly 0: saturated, kr 1, flow.
    // Element 2: mean below 0: the negative kr is cut to 0, so no flow at all.
    for (int i = 0; i < 8; ++i) m.psi[i] = i % 2 == 0 ? 1.0 : -1.0;
    for (int i = 8; i < 12; ++i) m.psi[i] = -20.0;
    Velocities v(2);
    v.run(m);
    EXPECT_EQ(v.TH(1), 0.4);
    EXPECT_NEAR(v.VEL(3, 1), -1.0, 1e-15);  // the alternating part has no gradient at the centre
    EXPECT_LT(v.TH(2), 0.4);
    for (int a = 1; a <= 3; ++a) EXPECT_EQ(v.VEL(a, 2), 0.0);
}

TEST_F(Assembly, InactiveElementsKeepTheirVelocities) {
    Model m(column(), {kHex, kUpper});
    m.eflag[0] = 1;
    m.mtyp[1] = -1;
    Velocities v(2);
    v.run(m);
    for (double x : v.vel) EXPECT_EQ(x, 7.0);
    for (double x : v.th) EXPECT_EQ(x, 7.0);
}

TEST_F(Assembly, VelocityInEmptyTableStops3333) {
    Model m(cube(), {kHex});
    m.mat.NRK[1] = 0;
    std::fill(m.psi.begin(), m.psi.end(), -1.0);
    Velocities v(1);
    EXPECT_EQ(stop_code([&] { v.run(m); }), 3333);
}

}  // namespace
}  // namespace sol
