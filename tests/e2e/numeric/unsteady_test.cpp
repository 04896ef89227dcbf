// Unsteady solutions with known answers, the water balance, seepage faces, step cuts, the
// problem kinds, listing and output intervals, node histories and the ends of the time loop.
#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <set>

#include "e2e_support.hpp"

namespace {

using e2e::ModelRun;

int headers(const std::vector<std::string>& lines) {
    return e2e::count_lines_with(lines, "     TIME STEP =");
}

// Top held at 2 from time 0, initial head 3, base closed, column 1 long with D = K/SS = 1:
// h = 2 + sum 4/pi (-1)^n/(2n+1) cos((2n+1) pi z/2) exp(-(2n+1)^2 pi^2 t/4).
double series_head(double z, double t) {
    const double pi = std::numbers::pi;
    double u = 0.0;
    for (int n = 0; n < 200; ++n) {
        const double m = 2 * n + 1;
        u += 4.0 / pi * ((n % 2) ? -1.0 : 1.0) / m * std::cos(m * pi * z / 2.0) *
             std::exp(-m * m * pi * pi * t / 4.0);
    }
    return 2.0 + u;
}

// Largest departure from the series solution over the blocks from time `from` on.
double diffusion_error(const std::string& model, double from, int& blocks) {
    ModelRun run(model);
    EXPECT_EQ(run.solve(), 0) << run.errors();
    const e2e::ResultFile r = e2e::parse_result(run.file("result.dat"));
    double worst = 0.0;
    blocks = 0;
    for (const e2e::Block& b : r.blocks) {
        if (b.TIME < from - 1e-9) continue;
        ++blocks;
        for (int i = 1; i <= r.NUMNP; ++i)
            worst = std::max(worst, std::abs(e2e::total_head(r, b, i) -
                                             series_head(r.nodes[i - 1].Z, b.TIME)));
    }
    EXPECT_NEAR(r.blocks.back().TIME, 0.2, 1e-12);
    return worst;
}

// 20 elements, steps of 0.0025 to time 0.2; the head drop is 1. The bounds are the
// discretisation errors of this mesh and step (a 1-D lumped-capacity reference of the same
// schemes gives 0.0174 and 0.0018 from time 0.02 on, 0.0013 and 0.00027 at time 0.2).
TEST(Diffusion, FullyImplicitFollowsTheSeriesSolution) {
    int blocks = 0;
    EXPECT_LT(diffusion_error("diffusion_implicit", 0.02, blocks), 0.02);
    EXPECT_EQ(blocks, 73);
    EXPECT_LT(diffusion_error("diffusion_implicit", 0.2, blocks), 0.0015);
    EXPECT_EQ(blocks, 1);
}

TEST(Diffusion, CrankNicolsonFollowsTheSeriesSolutionMoreClosely) {
    int blocks = 0;
    EXPECT_LT(diffusion_error("diffusion_cn", 0.02, blocks), 0.002);
    EXPECT_EQ(blocks, 73);
    EXPECT_LT(diffusion_error("diffusion_cn", 0.2, blocks), 0.0003);
}

// The same problem as a 1-D finite-element scheme with lumped capacity (the column's four
// nodes of a layer move together): the first step fully implicit, later steps implicit or
// Crank-Nicolson. Returns the heads of layers 0..20 after each of the 80 steps.
std::vector<std::vector<double>> diffusion_reference(bool crank_nicolson) {
    const int nz = 20, steps = 80;
    const double dz = 1.0 / nz, dt = 0.0025, k = 1.0 / dz;
    std::vector<double> h(nz + 1, 3.0), M(nz + 1, dz);
    h[nz] = 2.0;
    M[0] = dz / 2;
    std::vector<std::vector<double>> out;
    for (int n = 1; n <= steps; ++n) {
        const double S = (crank_nicolson && n >= 2) ? 2.0 : 1.0;
        // (S M/dt + K) h' = S M h/dt - (S - 1) K h, layer nz held at 2; Thomas algorithm.
        std::vector<double> a(nz), b(nz), c(nz), r(nz);
        for (int i = 0; i < nz; ++i) {
            double Kh = k * (h[i] - h[i + 1]);
            if (i > 0) Kh += k * (h[i] - h[i - 1]);
            b[i] = S * M[i] / dt + k + (i > 0 ? k : 0.0);
            a[i] = i > 0 ? -k : 0.0;
            c[i] = -k;
            r[i] = S * M[i] * h[i] / dt - (S - 1.0) * Kh;
        }
        r[nz - 1] += k * 2.0;
        for (int i = 1; i < nz; ++i) {
            const double w = a[i] / b[i - 1];
            b[i] -= w * c[i - 1];
            r[i] -= w * r[i - 1];
        }
        h[nz - 1] = r[nz - 1] / b[nz - 1];
        for (int i = nz - 2; i >= 0; --i) h[i] = (r[i] - c[i] * h[i + 1]) / b[i];
        out.push_back(h);
    }
    return out;
}

// Every step, from the first, is the reference scheme's: the step weights, the implicit
// first step and the Crank-Nicolson right-hand side are those of the time stepping.
void check_against_reference(const std::string& model, bool crank_nicolson) {
    ModelRun run(model);
    ASSERT_EQ(run.solve(), 0) << run.errors();
    const e2e::ResultFile r = e2e::parse_result(run.file("result.dat"));
    const auto ref = diffusion_reference(crank_nicolson);
    ASSERT_EQ(r.blocks.size(), ref.size());
    for (std::size_t s = 0; s < ref.size(); ++s) {
        EXPECT_EQ(r.blocks[s].NSTEP, static_cast<int>(s) + 1);
        for (int i = 1; i <= r.NUMNP; ++i)
            ASSERT_NEAR(e2e::total_head(r, r.blocks[s], i), ref[s][(i - 1) / 4], 1e-7)
                << "step " << s + 1 << " node " << i;
    }
}

TEST(Diffusion, FullyImplicitStepsAreTheReferenceScheme) {
    check_against_reference("diffusion_implicit", false);
}

TEST(Diffusion, CrankNicolsonStepsAreTheReferenceScheme) {
    check_against_reference("diffusion_cn", true);
}

// Inflow 0.02 at the base, head 4 held at the top, SS 0.01 over a column 2 long: the
// cumulative inflow is the change in stored water, sum of SS x node volume x head change.
// `status`: the run's exit status.
void check_balance(const std::string& model, int status = 0) {
    ModelRun run(model);
    ASSERT_EQ(run.solve(), status) << run.errors();
    const e2e::ResultFile r = e2e::parse_result(run.file("result.dat"));
    const auto lines = run.listing();
    const auto cumul = e2e::listed_values(lines, "CUMULATIVE INFLOW INTO SYSTEM IS");
    ASSERT_FALSE(cumul.empty());
    // The last unsteady block is the end of the unsteady run (TIME 2).
    const e2e::Block* last = nullptr;
    for (const auto& b : r.blocks)
        if (b.NSTEP > 0) last = &b;
    ASSERT_NE(last, nullptr);
    EXPECT_NEAR(last->TIME, 2.0, 1e-12);
    double stored = 0.0;
    const double dz = 0.25, SS = 0.01;
    for (int i = 1; i <= r.NUMNP; ++i) {
        const int layer = (i - 1) / 4;
        const double volume = (layer == 0 || layer == 8) ? dz / 8 : dz / 4;
        stored += SS * volume * (last->PSI[i - 1] - r.nodes[i - 1].PSIINI);
    }
    EXPECT_GT(stored, 1e-3);
    EXPECT_NEAR(cumul.back(), stored, 2e-5 * stored);
    // Inflow 0.02 x 2 less what left through the top.
    EXPECT_LT(cumul.back(), 0.04);
}

TEST(WaterBalance, FullyImplicitStoresWhatFlowsIn) { check_balance("balance_implicit"); }
// The final steady pass of this model wavers above EPSLN until ITMAX0: the unsteady steps
// checked here are complete, and the run then stops 7777 as unfinished.
constexpr int kCrankNicolsonStatus = 7777 & 0xff;
TEST(WaterBalance, CrankNicolsonStoresWhatFlowsIn) {
    check_balance("balance_cn", kCrankNicolsonStatus);
}

// KIND -2: after the unsteady steps one steady pass from where they ended, written as a
// second step-0 block: the steady state of the same boundary, h = 4 + 0.2 (2 - z).
TEST(ProblemKinds, UnsteadyThenSteadyEndsWithTheSteadyState) {
    ModelRun run("balance_implicit");
    ASSERT_EQ(run.solve(), 0) << run.errors();
    const auto lines = run.listing();
    EXPECT_EQ(e2e::count_lines_with(lines, " ******GET GOOD RESULT*******"), 2);
    EXPECT_NE(std::find(lines.begin(), lines.end(), " ***** UNSTEADY PROBLEM *******"),
              lines.end());
    const e2e::ResultFile r = e2e::parse_result(run.file("result.dat"));
    ASSERT_GE(r.blocks.size(), 3u);
    EXPECT_EQ(r.blocks.front().NSTEP, 1);
    const e2e::Block& fin = r.blocks.back();
    EXPECT_EQ(fin.NSTEP, 0);
    EXPECT_EQ(fin.TIME, 0.0);
    for (std::size_t k = 0; k + 1 < r.blocks.size(); ++k) EXPECT_GT(r.blocks[k].NSTEP, 0);
    double out = 0.0;
    for (int i = 1; i <= r.NUMNP; ++i) {
        EXPECT_NEAR(e2e::total_head(r, fin, i), 4.0 + 0.2 * (2.0 - r.nodes[i - 1].Z), 1e-6);
        if (fin.KODE[i - 1] >= 1) out += fin.Q[i - 1];
    }
    EXPECT_NEAR(out, -0.02, 1e-8);
    // The steady pass prints no cumulative inflow after its step header.
    std::size_t last_header = 0;
    for (std::size_t k = 0; k < lines.size(); ++k)
        if (lines[k].find("     TIME STEP =") != std::string::npos) last_header = k;
    EXPECT_NE(lines[last_header].find("TIME STEP =   0"), std::string::npos);
    for (std::size_t k = last_header; k < lines.size(); ++k)
        EXPECT_EQ(lines[k].find("CUMULATIVE"), std::string::npos);
}

// KIND 0: the steady pass at time 0, then the first unsteady step of DT x FACT.
TEST(ProblemKinds, SteadyThenUnsteadyGrowsTheFirstStep) {
    ModelRun run("kind0_column");
    ASSERT_EQ(run.solve(), 0) << run.errors();
    const auto lines = run.listing();
    EXPECT_NE(std::find(lines.begin(), lines.end(), " ******* STEADY-UNSTEADY PROBLEM *******"),
              lines.end());
    EXPECT_EQ(e2e::count_lines_with(lines, " ******GET GOOD RESULT*******"), 1);
    const e2e::ResultFile r = e2e::parse_result(run.file("result.dat"));
    // Steps: 0 at 0, then 0.2, 0.6 (0.4), 1.0 (landing on TMAX: 0.8 would overshoot).
    ASSERT_EQ(r.blocks.size(), 4u);
    const double times[] = {0.0, 0.2, 0.6, 1.0};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(r.blocks[k].NSTEP, k);
        EXPECT_NEAR(r.blocks[k].TIME, times[k], 1e-12);
    }
    // The steady state does not move once the steps run.
    for (int i = 0; i < r.NUMNP; ++i)
        EXPECT_NEAR(r.blocks[3].PSI[i], r.blocks[0].PSI[i], 1e-7);
}

// KIND 0 with TMAX 0 and no step length: the steady pass alone, a valid run.
TEST(ProblemKinds, SteadyStageOnlyWhenTmaxIsZero) {
    ModelRun run("kind0_tmax0");
    ASSERT_EQ(run.solve(), 0) << run.errors();
    const auto lines = run.listing();
    EXPECT_EQ(headers(lines), 1);
    EXPECT_EQ(e2e::count_lines_with(lines, " ******GET GOOD RESULT*******"), 1);
    EXPECT_EQ(e2e::count_lines_with(lines, "CUMULATIVE"), 0);
    const e2e::ResultFile r = e2e::parse_result(run.file("result.dat"));
    ASSERT_EQ(r.blocks.size(), 1u);
    EXPECT_EQ(r.blocks[0].NSTEP, 0);
    // A step length of 0 leaves the steady answer alone: h = 4 + 0.2 (2 - z).
    for (int i = 1; i <= r.NUMNP; ++i)
        EXPECT_NEAR(e2e::total_head(r, r.blocks[0], i), 4.0 + 0.2 * (2.0 - r.nodes[i - 1].Z),
                    1e-6);
}

// Fault mended: the end test is TIME >= TMAX - 0.001 DT. With |TIME - TMAX| as the test,
// a TMAX below 0 after the steady stage, or a first step past TMAX, ran backwards forever.
TEST(EndOfRun, SteadyStageWithNegativeTmaxEnds) {
    ModelRun run("kind0_negative_tmax");
    ASSERT_EQ(run.solve(), 0) << run.errors();
    EXPECT_EQ(headers(run.listing()), 1);
    EXPECT_EQ(e2e::parse_result(run.file("result.dat")).blocks.size(), 1u);
}

TEST(EndOfRun, FirstStepLongerThanTmaxEndsAfterIt) {
    ModelRun run("first_step_past_tmax");
    ASSERT_EQ(run.solve(), 0) << run.errors();
    const auto lines = run.listing();
    EXPECT_EQ(headers(lines), 1);
    EXPECT_EQ(e2e::count_lines_with(lines, " ******GET GOOD RESULT*******"), 1);
    const e2e::ResultFile r = e2e::parse_result(run.file("result.dat"));
    ASSERT_EQ(r.blocks.size(), 1u);
    EXPECT_EQ(r.blocks[0].NSTEP, 1);
    EXPECT_EQ(r.blocks[0].TIME, 1.0);
}

// Fault mended: the last step ends at 0.69 + 1.0099999999999998, a hair below TMAX 1.7, at
// step 3, which NPRINT 2 and NPOST 2 do not choose; it is still listed and written.
TEST(EndOfRun, LastStepJustBelowTmaxIsListedAndWritten) {
    ModelRun run("hair_below_tmax");
    ASSERT_EQ(run.solve(), 0) << run.errors();
    const auto lines = run.listing();
    EXPECT_EQ(headers(lines), 3);
    EXPECT_EQ(e2e::count_lines_with(lines, "NODE    HEAD"), 3);
    const e2e::ResultFile r = e2e::parse_result(run.file("result.dat"));
    ASSERT_EQ(r.blocks.size(), 3u);
    EXPECT_EQ(r.blocks[2].NSTEP, 3);
    EXPECT_NEAR(r.blocks[2].TIME, 1.7, 1e-12);
}

// Fault mended: a step length of 0 or less never reaches TMAX. A blank DTMAX caps the second
// step at 0; a blank DT makes the first step 0. Both stop 3333 before the pass.
TEST(EndOfRun, BlankDtmaxStops3333AfterTheFirstStep) {
    ModelRun run("blank_dtmax");
    EXPECT_EQ(run.solve(), 3333 & 0xff);
    EXPECT_EQ(run.errors().find("3333"), 0u);
    const auto lines = run.listing();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], " ** ERROR ** TIME STEP DATA -- Group F ");
    EXPECT_EQ(lines.back(),
              " ** ERROR ** TIME STEP NOT POSITIVE: DT =  0.00000E+00 AT TIME =  1.00000E-01");
    EXPECT_EQ(headers(lines), 1);
    const e2e::ResultFile r = e2e::parse_result(run.file("result.dat"));
    ASSERT_EQ(r.blocks.size(), 1u);
    EXPECT_EQ(r.blocks[0].NSTEP, 1);
}

TEST(EndOfRun, BlankFactStops3333AfterTheFirstStep) {
    ModelRun run("blank_fact");
    EXPECT_EQ(run.solve(), 3333 & 0xff);
    EXPECT_EQ(run.listing().back(),
              " ** ERROR ** TIME STEP NOT POSITIVE: DT =  0.00000E+00 AT TIME =  1.00000E-01");
    EXPECT_EQ(e2e::parse_result(run.file("result.dat")).blocks.size(), 1u);
}

TEST(EndOfRun, BlankDtStops3333BeforeAnyStep) {
    ModelRun run("blank_dt");
    EXPECT_EQ(run.solve(), 3333 & 0xff);
    const auto lines = run.listing();
    EXPECT_EQ(lines.back(),
              " ** ERROR ** TIME STEP NOT POSITIVE: DT =  0.00000E+00 AT TIME =  0.00000E+00");
    EXPECT_EQ(headers(lines), 0);
    EXPECT_TRUE(e2e::parse_result(run.file("result.dat")).blocks.empty());
}

// A step that never converges is halved until NCUL cuts: the header of every pass, the
// RECUL lines, then the end line that closes the listing, no result block, and stop 7777.
TEST(StepCuts, NculReachedStops7777) {
    ModelRun run("ncul_column");
    ASSERT_EQ(run.solve(), 7777 & 0xff) << run.errors();
    EXPECT_EQ(run.errors(), "7777\r\n");
    const auto lines = run.listing();
    EXPECT_EQ(headers(lines), 3);
    EXPECT_EQ(e2e::listed_values(lines, "     TIME STEP =").size(), 3u);
    EXPECT_EQ(e2e::count_lines_with(lines, "                    RECUL=    1"), 1);
    EXPECT_EQ(e2e::count_lines_with(lines, "                    RECUL=    2"), 1);
    EXPECT_EQ(e2e::count_lines_with(lines, " ***LAA .GE. NCUL*********************"), 1);
    EXPECT_EQ(e2e::count_lines_with(lines, "GET GOOD RESULT"), 0);
    EXPECT_EQ(lines.back(), " ***LAA .GE. NCUL*********************");
    // Step times 0.1, 0.05, 0.025; the header goes to the console too.
    const auto times = e2e::listed_values(lines, "                    TIME =");
    ASSERT_EQ(times.size(), 3u);
    EXPECT_DOUBLE_EQ(times[0], 0.1);
    EXPECT_DOUBLE_EQ(times[1], 0.05);
    EXPECT_DOUBLE_EQ(times[2], 0.025);
    EXPECT_EQ(e2e::count_lines_with(e2e::lines_of(run.console()), "     TIME STEP ="), 3);
    // Each pass of ITMAX 3 makes four iterations: the fourth is over the limit.
    EXPECT_EQ(e2e::count_lines_with(lines, "DURING ITERATION  4"), 3);
    EXPECT_EQ(e2e::count_lines_with(lines, "DURING ITERATION  5"), 0);
    EXPECT_TRUE(e2e::parse_result(run.file("result.dat")).blocks.empty());
}

// Drainage through a seepage face: the first step (0.25) is cut once and repeated at 0.125;
// the face nodes seep at pressure 0 (code 2, outflow) and stop seeping (code -2, Q = 0)
// as the water table falls.
class SeepageFace : public testing::TestWithParam<const char*> {};

TEST_P(SeepageFace, NodesSwitchBetweenSeepingAndDry) {
    ModelRun run(GetParam());
    ASSERT_EQ(run.solve(), 0) << run.errors();
    const auto lines = run.listing();
    const auto times = e2e::listed_values(lines, "                    TIME =");
    ASSERT_GE(times.size(), 3u);
    EXPECT_DOUBLE_EQ(times[0], 0.25);
    EXPECT_DOUBLE_EQ(times[1], 0.125);
    EXPECT_EQ(e2e::count_lines_with(lines, "                    RECUL=    1"), 1);
    EXPECT_EQ(e2e::count_lines_with(lines, "RECUL="), 1);

    const e2e::ResultFile r = e2e::parse_result(run.file("result.dat"));
    std::set<int> face;
    for (int i = 1; i <= r.NUMNP; ++i)
        if (r.nodes[i - 1].KODE == -2) face.insert(i);
    ASSERT_EQ(face.size(), 10u);
    std::map<int, std::vector<int>> codes;
    double outflow = 0.0;
    for (const e2e::Block& b : r.blocks) {
        for (int i : face) {
            const int k = b.KODE[i - 1];
            ASSERT_TRUE(k == 2 || k == -2) << "node " << i << " code " << k;
            if (k == -2) {
                EXPECT_EQ(b.Q[i - 1], 0.0) << "node " << i;
            } else {
                EXPECT_EQ(b.PSI[i - 1], 0.0) << "node " << i;
                EXPECT_LT(b.Q[i - 1], 0.0) << "node " << i;
            }
            codes[i].push_back(k);
        }
        // Only the face lets water out; every other node keeps its zero inflow.
        for (int i = 1; i <= r.NUMNP; ++i)
            if (!face.count(i)) {
                EXPECT_EQ(b.Q[i - 1], 0.0);
            }
        for (int i : face) outflow += b.Q[i - 1];
    }
    EXPECT_LT(outflow, 0.0);
    // The lowest face nodes seep throughout; the top ones start seeping and stop.
    int stopped = 0;
    for (const auto& [node, seq] : codes) {
        if (seq.front() == 2 && seq.back() == -2) ++stopped;
        if (r.nodes[node - 1].Z == 0.0) {
            EXPECT_EQ(seq.back(), 2);
        }
    }
    EXPECT_GE(stopped, 2);
    // The water table falls: the base pressure head at the far side drops.
    EXPECT_LT(r.blocks.back().PSI[0], r.blocks.front().PSI[0] - 0.5);
}

// Both element variants.
INSTANTIATE_TEST_SUITE_P(Variants, SeepageFace,
                         testing::Values("seepage_drain", "seepage_drain_b"));

// A STORE 0 run keeps the step state on unit 3 and the previous iterate on unit 4; the
// results, the listing (but for the totals) and the node histories are the same.
void check_store_pair(const std::string& mem_model, const std::string& disk_model,
                      int status = 0) {
    ModelRun mem(mem_model), disk(disk_model);
    ASSERT_EQ(mem.solve(), status);
    ASSERT_EQ(disk.solve(), status);
    EXPECT_EQ(mem.file("result.dat"), disk.file("result.dat"));
    auto strip = [](std::vector<std::string> lines) {
        lines.erase(std::remove_if(lines.begin(), lines.end(),
                                   [](const std::string& l) {
                                       return l.rfind("  TOTAL DIMENSION", 0) == 0;
                                   }),
                    lines.end());
        return lines;
    };
    EXPECT_EQ(strip(mem.listing()), strip(disk.listing()));
    EXPECT_EQ(mem.console(), disk.console());
    EXPECT_GT(e2e::count_lines_with(mem.listing(), "RECUL="), 0);  // a restore was made
    // Unit 3 under STORE 0 holds three records of the last step's state, else two.
    EXPECT_EQ(e2e::unformatted_records(disk.file("scr3.tmp")).size(), 3u);
    EXPECT_EQ(e2e::unformatted_records(mem.file("scr3.tmp")).size(), 2u);
}

TEST(ScratchSwitch, SeepageDrainageSameUnderBothSettings) {
    check_store_pair("seepage_drain", "seepage_drain_store0");
}

TEST(ScratchSwitch, CrankNicolsonWithCutsSameUnderBothSettings) {
    check_store_pair("balance_cn", "balance_cn_store0", kCrankNicolsonStatus);
    ModelRun mem("balance_cn"), disk("balance_cn_store0");
    ASSERT_EQ(mem.solve(), kCrankNicolsonStatus);
    ASSERT_EQ(disk.solve(), kCrankNicolsonStatus);
    EXPECT_EQ(mem.file("NDLIST.PST"), disk.file("NDLIST.PST"));
}

// NPRINT 5, NPOST 10 over 23 steps: tables at steps 1, 5, 10, 15, 20, 23; blocks and node
// histories at 1, 10, 20, 23. The histories list nodes 10, 7, 4, 1 (entry 10, 1, -3); the
// entry 20, 17, 1 runs the wrong way and lists none.
TEST(Intervals, ListingAndOutputSteps) {
    ModelRun run("intervals_column");
    ASSERT_EQ(run.solve(), 0) << run.errors();
    const auto lines = run.listing();
    std::vector<int> listed;
    int step = -1;
    for (const auto& l : lines) {
        const std::size_t at = l.find("TIME STEP =");
        if (at != std::string::npos) step = std::atoi(l.c_str() + at + 11);
        if (l.find("NODE    HEAD") != std::string::npos) listed.push_back(step);
    }
    EXPECT_EQ(listed, (std::vector<int>{1, 5, 10, 15, 20, 23}));
    EXPECT_EQ(e2e::listed_values(lines, "CUMULATIVE INFLOW").size(), 23u);
    const e2e::ResultFile r = e2e::parse_result(run.file("result.dat"));
    std::vector<int> written;
    for (const auto& b : r.blocks) written.push_back(b.NSTEP);
    EXPECT_EQ(written, (std::vector<int>{1, 10, 20, 23}));

    const auto recs = e2e::unformatted_records(run.file("NDLIST.PST"));
    ASSERT_EQ(recs.size(), 4u + 4u * 5u);
    ASSERT_EQ(recs[0].size(), 12u);
    EXPECT_EQ(e2e::field<std::int32_t>(recs[0], 0), 20);
    EXPECT_EQ(e2e::field<std::int32_t>(recs[0], 4), 4);
    EXPECT_EQ(e2e::field<std::int32_t>(recs[0], 8), 8);
    EXPECT_EQ(e2e::field<std::int32_t>(recs[1], 0), 2);
    EXPECT_EQ(e2e::field<std::int32_t>(recs[2], 8), -3);
    EXPECT_EQ(e2e::field<std::int32_t>(recs[3], 0), 20);
    EXPECT_EQ(e2e::field<std::int32_t>(recs[3], 4), 17);
    const int nodes[] = {10, 7, 4, 1};
    std::size_t at = 4;
    for (const auto& b : r.blocks) {
        ASSERT_EQ(recs[at].size(), 8u);
        EXPECT_NEAR(e2e::field<double>(recs[at], 0), b.TIME, 1e-15);
        ++at;
        for (int n : nodes) {
            ASSERT_EQ(recs[at].size(), 20u);
            EXPECT_EQ(e2e::field<std::int32_t>(recs[at], 0), n);
            const double psi = e2e::field<double>(recs[at], 4);
            EXPECT_NEAR(psi, b.PSI[n - 1], 1e-14 * std::abs(psi) + 1e-300);
            EXPECT_DOUBLE_EQ(e2e::field<double>(recs[at], 12), psi + r.nodes[n - 1].Z);
            ++at;
        }
    }
}

}  // namespace
