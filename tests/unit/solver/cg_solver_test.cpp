// Conjugate-gradient solve of the free heads and the discharges at prescribed nodes.
#include "cg_solver.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "recordio/recordio.hpp"
#include "../support/scratch_dir.hpp"

namespace sol {
namespace {

// A compressed-row system held in vectors: row i is its diagonal, then (column, value) pairs.
struct System {
    int NUMNP = 0;
    std::vector<double> sk, grav, psi, res, pdir, diag;
    std::vector<std::int32_t> isp, maxa, kode, ifree;

    explicit System(const std::vector<std::pair<double, std::vector<std::pair<int, double>>>>& rows) {
        NUMNP = static_cast<int>(rows.size());
        maxa.push_back(1);
        for (int i = 1; i <= NUMNP; ++i) {
            sk.push_back(rows[i - 1].first);
            isp.push_back(i);
            for (const auto& [c, v] : rows[i - 1].second) {
                sk.push_back(v);
                isp.push_back(c);
            }
            maxa.push_back(static_cast<std::int32_t>(sk.size()) + 1);
        }
        grav.assign(NUMNP, 0.0);
        psi.assign(NUMNP, 0.0);
        kode.assign(NUMNP, 0);
        res.assign(NUMNP, -9.0);
        pdir.assign(NUMNP, -9.0);
        diag.assign(NUMNP, -9.0);
        ifree.assign(NUMNP, -9);
    }

    // Unit-spaced chain of n nodes (conductance 1), ends prescribed at heads a and b.
    static System chain(int n, double a, double b) {
        std::vector<std::pair<double, std::vector<std::pair<int, double>>>> rows;
        for (int i = 1; i <= n; ++i) {
            std::vector<std::pair<int, double>> off;
            if (i > 1) off.push_back({i - 1, -1.0});
            if (i < n) off.push_back({i + 1, -1.0});
            rows.push_back({static_cast<double>(off.size()), off});
        }
        System s(rows);
        s.kode[0] = 1;
        s.kode[n - 1] = 1;
        s.psi[0] = a;
        s.psi[n - 1] = b;
        return s;
    }

    void solve(const Units& u, int ITMAXCG) {
        Span1<double> SK(sk.data(), sk.size()), GRAV(grav.data(), NUMNP), PSI(psi.data(), NUMNP),
            RES(res.data(), NUMNP), PDIR(pdir.data(), NUMNP), DIAG(diag.data(), NUMNP);
        Span1<std::int32_t> ISP(isp.data(), isp.size()), MAXA(maxa.data(), NUMNP + 1),
            KODE(kode.data(), NUMNP), IFREE(ifree.data(), NUMNP);
        SOLVCG(u, SK, GRAV, PSI, ISP, MAXA, RES, PDIR, KODE, IFREE, DIAG, NUMNP, ITMAXCG);
    }
};

class CgSolver : public test_support::ScratchDirTest {
protected:
    void SetUp() override {
        ScratchDirTest::SetUp();
        u_.IW = kListing;
    }
    // Runs the solve; returns the stop code (-1 when it returned).
    int run(System& s, int ITMAXCG) {
        try {
            s.solve(u_, ITMAXCG);
        } catch (const rio::ProgramEnd& e) {
            return e.status;
        }
        return -1;
    }
    Units u_;
};

// One free node between heads 1 and 3 (from head 0): one step reaches 2 exactly, the second
// iteration finds nothing left (pr = 0) and converges with EPSX 0.
TEST_F(CgSolver, OneFreeNodeByHand) {
    System s = System::chain(3, 1.0, 3.0);
    EXPECT_EQ(run(s, 5), -1);
    EXPECT_EQ(s.psi, (std::vector<double>{1.0, 2.0, 3.0}));
    EXPECT_EQ(listing(), " *** SUCCESS TO CONVERGENCE IN SOLVER -- IT =    2 EPSX =   0.0000000E+00\r\n");
}

// A system its free heads already satisfy converges at IT 1 with EPSX 0.
TEST_F(CgSolver, SatisfiedSystemConvergesAtOnce) {
    System s = System::chain(3, 1.0, 3.0);
    s.psi[1] = 2.0;
    EXPECT_EQ(run(s, 5), -1);
    EXPECT_EQ(s.psi[1], 2.0);
    EXPECT_EQ(listing(), " *** SUCCESS TO CONVERGENCE IN SOLVER -- IT =    1 EPSX =   0.0000000E+00\r\n");
}

// ITMAXCG = 1 allows one iteration: the head has moved, then the failure line and stop 999.
TEST_F(CgSolver, IterationLimitOfOne) {
    System s = System::chain(3, 1.0, 3.0);
    EXPECT_EQ(run(s, 1), 999);
    EXPECT_EQ(s.psi[1], 2.0);
    EXPECT_EQ(listing(), " *** FAILURE TO CONVERGENCE IN SOLVER -- ITMAX =    1\r\n");
}

// A large head measures its change relative to itself: a change of 1 on 1e6 is converged.
TEST_F(CgSolver, ChangeIsRelativeToTheHead) {
    System s = System::chain(3, 1.0e6, 1.0e6 + 2.0);
    s.psi[1] = 1.0e6;
    EXPECT_EQ(run(s, 5), -1);
    EXPECT_EQ(s.psi[1], 1.0e6 + 1.0);
    EXPECT_EQ(listing(), " *** SUCCESS TO CONVERGENCE IN SOLVER -- IT =    1 EPSX =   0.1000000E-11\r\n");
}

// A long chain: the heads come out linear, the prescribed ends are never written, the
// progress line appears at IT 100 after an empty record.
TEST_F(CgSolver, LongChainIsLinearWithProgressLines) {
    const int n = 302;
    System s = System::chain(n, 10.0, 10.0 + (n - 1));
    for (int i = 2; i < n; ++i) s.psi[i - 1] = 50.0;
    EXPECT_EQ(run(s, 5 * n), -1);
    for (int i = 1; i <= n; ++i) EXPECT_NEAR(s.psi[i - 1], 10.0 + (i - 1), 1e-6) << i;
    EXPECT_EQ(s.psi[0], 10.0);
    EXPECT_EQ(s.psi[n - 1], 10.0 + (n - 1));
    EXPECT_EQ(s.pdir[0], 0.0);
    EXPECT_EQ(s.pdir[n - 1], 0.0);
    EXPECT_EQ(s.ifree[0], 2);
    EXPECT_EQ(s.ifree[n - 3], n - 1);
    const std::string lst = listing();
    EXPECT_NE(lst.find("\r\n\r\n***SOLVCG CHK IT=   200 EPSX="), std::string::npos) << lst;
    EXPECT_EQ(lst.rfind("\r\n***SOLVCG CHK IT=   100 EPSX=", 0), 0u) << lst;
    EXPECT_NE(lst.find(" *** SUCCESS TO CONVERGENCE IN SOLVER -- IT ="), std::string::npos);
}

// The progress line of the limit iteration comes before the failure line.
TEST_F(CgSolver, ProgressThenFailureAtTheLimit) {
    System s = System::chain(302, 0.0, 301.0);
    EXPECT_EQ(run(s, 100), 999);
    const std::string lst = listing();
    const auto p = lst.find("***SOLVCG CHK IT=   100");
    const auto f = lst.find(" *** FAILURE TO CONVERGENCE IN SOLVER -- ITMAX =  100\r\n");
    ASSERT_NE(p, std::string::npos);
    ASSERT_NE(f, std::string::npos);
    EXPECT_LT(p, f);
}

// A free node whose diagonal is tiny (zeroed) stops at once with its number.
TEST_F(CgSolver, ZeroDiagonalAtFreeNodeStops999) {
    System s({{1.0, {}}, {1.0e-61, {{1, 0.5}}}, {1.0, {}}});
    s.kode[0] = 1;
    EXPECT_EQ(run(s, 100), 999);
    EXPECT_EQ(s.sk[1], 0.0);
    EXPECT_EQ(listing(),
              " *** ZERO DIAGONAL AT FREE NODE       2\r\n"
              " *** FAILURE TO CONVERGENCE IN SOLVER -- ITMAX =  100\r\n");
}

// A search direction with p.Ap = 0 but p.r not 0 cannot step: failure at once.
TEST_F(CgSolver, ZeroCurvatureStops999AtOnce) {
    System s({{1.0, {{2, 1.0}}}, {1.0, {{1, 1.0}}}});
    s.grav = {1.0, -1.0};
    EXPECT_EQ(run(s, 1000), 999);
    EXPECT_EQ(listing(), " *** FAILURE TO CONVERGENCE IN SOLVER -- ITMAX = 1000\r\n");
}

// A right-hand side that is not a number ends the solve at once, not after ITMAXCG sweeps.
TEST_F(CgSolver, NonFiniteMeasureStops999AtOnce) {
    System s = System::chain(5, 0.0, 4.0);
    s.grav[2] = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(run(s, 1000), 999);
    EXPECT_EQ(listing(), " *** FAILURE TO CONVERGENCE IN SOLVER -- ITMAX = 1000\r\n");
}

// No free node: no iteration, success at IT 1.
TEST_F(CgSolver, NoFreeNode) {
    System s = System::chain(2, 1.0, 2.0);
    EXPECT_EQ(run(s, 10), -1);
    EXPECT_EQ(listing(), " *** SUCCESS TO CONVERGENCE IN SOLVER -- IT =    1 EPSX =   0.0000000E+00\r\n");
}

// Column 0 in a row (a node of no element) is skipped by every row walk; tiny
// off-diagonal entries are zeroed in place.
TEST_F(CgSolver, ColumnOutsideTheNodesIsSkipped) {
    System s({{1.0, {}}, {2.0, {{0, 7.0}, {1, -1.0}, {3, -1.0e-70}, {3, -1.0}}}, {1.0, {}}});
    s.kode = {1, 0, 1};
    s.psi = {1.0, 0.0, 3.0};
    EXPECT_EQ(run(s, 10), -1);
    EXPECT_EQ(s.psi[1], 2.0);
    EXPECT_EQ(s.sk[4], 0.0);
}

// Discharges: Q = (S G + K (PSI + w HOLD)) / (S CONS2) at prescribed nodes only.
class Discharge : public CgSolver {
protected:
    // Two prescribed ends and one free middle node.
    std::vector<double> K{2.0, -2.0, 4.0, -2.0, -2.0, 2.0, -2.0};
    std::vector<std::int32_t> isp{1, 2, 2, 1, 3, 3, 2};
    std::vector<std::int32_t> maxa{1, 3, 6, 8};
    std::vector<double> G{0.5, 0.0, -0.5};
    std::vector<std::int32_t> kode{1, 0, 1};
    std::vector<double> psi{10.0, 8.0, 5.0};
    std::vector<double> hold{12.0, 9.0, 5.0};
    Materials mat;

    double CONS2 = 0.5;

    // Runs DISCHG on the system above (K and G saved in memory, or on unit 2 when STORE is
    // not 1); checks that K and G are back in SK and GRAV and returns Q.
    std::vector<double> discharge(int STORE = 1, int ITSCH = 1, int NSTEP = 0) {
        Control ctl;
        ctl.STORE = STORE;
        ctl.ITSCH = ITSCH;
        mat.CONS2 = CONS2;
        const std::int64_t nwk = static_cast<std::int64_t>(K.size());
        std::vector<double> sk(K.size(), -1.0), grav(3, -1.0), q{-3.0, 77.0, -3.0};
        std::vector<double> sks = K, gravs = G;
        if (STORE != 1) {
            rio::open(2, "MATRIX.SCR", rio::Status::Unknown, rio::Form::Unformatted);
            rio::write_unf(2, {std::span<double>(K), std::span<double>(G)});
            sks.assign(1, 0.0);
            gravs.assign(1, 0.0);
        }
        Span1<double> SK(sk.data(), nwk), GRAV(grav.data(), 3), Q(q.data(), 3);
        DISCHG(ctl, mat, SK, GRAV, Span1<std::int32_t>(kode.data(), 3),
               Span1<double>(psi.data(), 3), Span1<double>(hold.data(), 3),
               Span1<std::int32_t>(isp.data(), nwk), Span1<std::int32_t>(maxa.data(), 4),
               Span1<double>(sks.data(), sks.size()), Span1<double>(gravs.data(), gravs.size()), Q,
               3, nwk, NSTEP);
        if (STORE != 1) rio::close(2);
        EXPECT_EQ(sk, K);
        EXPECT_EQ(grav, G);
        return q;
    }
};

// Steady stage and first step: the new heads only. Node 1: (0.5 + 2*10 - 2*8) / 0.5.
TEST_F(Discharge, FullyImplicitUsesTheNewHeads) {
    for (int store : {1, 0}) {
        for (auto [itsch, nstep] : {std::pair{0, 0}, {0, 1}, {1, 5}}) {
            SCOPED_TRACE(testing::Message() << store << " " << itsch << " " << nstep);
            EXPECT_EQ(discharge(store, itsch, nstep), (std::vector<double>{9.0, 77.0, -13.0}));
        }
    }
}

// Crank-Nicolson: mid-step heads. Node 1: (2*0.5 + 2*22 - 2*17) / (2*0.5) = 11.
TEST_F(Discharge, CrankNicolsonUsesMidStepHeads) {
    for (int store : {1, 0}) {
        SCOPED_TRACE(store);
        EXPECT_EQ(discharge(store, 0, 2), (std::vector<double>{11.0, 77.0, -15.0}));
    }
}

// Column 0 in a prescribed row is skipped.
TEST_F(Discharge, ColumnOutsideTheNodesIsSkipped) {
    K = {2.0, -2.0, 9.0, 4.0, -2.0, -2.0, 2.0, -2.0};
    isp = {1, 2, 0, 2, 1, 3, 3, 2};
    maxa = {1, 4, 7, 9};
    EXPECT_EQ(discharge()[0], 9.0);
}

// The row sum is formed first and then added to S G: 1e16 + (1 + 1), not (1e16 + 1) + 1.
TEST_F(Discharge, RowSumIsAddedWhole) {
    K = {1.0, 1.0, 4.0, -2.0, -2.0, 2.0, -2.0};
    G = {1.0e16, 0.0, 0.0};
    psi = {1.0, 1.0, 5.0};
    CONS2 = 1.0;
    EXPECT_EQ(discharge()[0], 1.0e16 + 2.0);
}

}  // namespace
}  // namespace sol
