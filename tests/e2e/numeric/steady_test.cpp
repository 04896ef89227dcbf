// Steady solutions with known answers, the steady iteration's ends, the scratch-file switch,
// the work-array checks and the reuse of the matrix-structure database.
#include <algorithm>
#include <array>
#include <cmath>

#include "e2e_support.hpp"

namespace {

using e2e::ModelRun;

std::string line_starting(const std::vector<std::string>& lines, const std::string& start) {
    for (const auto& l : lines)
        if (l.rfind(start, 0) == 0) return l;
    return "";
}

// Two prescribed heads 10 and 2 over a column 5 long of conductivity 1E-3 and section 1.
TEST(SteadySaturated, ColumnBetweenTwoHeadsIsLinearWithUniformFlux) {
    ModelRun run("column_steady");
    ASSERT_EQ(run.solve(), 0) << run.errors();
    const e2e::ResultFile r = e2e::parse_result(run.file("result.dat"));
    ASSERT_EQ(r.blocks.size(), 1u);
    const e2e::Block& b = r.blocks[0];
    EXPECT_EQ(b.NSTEP, 0);
    EXPECT_EQ(b.TIME, 0.0);
    const double K = 1.0e-3, A = 1.0, dh = 8.0, L = 5.0;
    double QP = 0.0, QM = 0.0;
    for (int i = 1; i <= r.NUMNP; ++i) {
        const double z = r.nodes[i - 1].Z;
        EXPECT_NEAR(e2e::total_head(r, b, i), 2.0 + dh * z / L, 1e-9) << "node " << i;
        (b.Q[i - 1] > 0 ? QP : QM) += b.Q[i - 1];
        if (b.KODE[i - 1] < 1) {
            EXPECT_EQ(b.Q[i - 1], 0.0);
        }
    }
    EXPECT_NEAR(QP, K * A * dh / L, 1e-12);
    EXPECT_NEAR(QM, -K * A * dh / L, 1e-12);
    for (int e = 0; e < r.NUMEL; ++e) {
        EXPECT_NEAR(b.VZ[e], -K * dh / L, 1e-12);
        EXPECT_NEAR(b.VX[e], 0.0, 1e-15);
        EXPECT_NEAR(b.VY[e], 0.0, 1e-15);
        EXPECT_EQ(b.TH[e], 0.4);  // saturated: the porosity
    }
    const auto lines = run.listing();
    // A linear problem converges at once, and still reports iteration 3.
    EXPECT_EQ(e2e::count_lines_with(lines, "MAXIMUM CHANGE"), 1);
    EXPECT_NE(line_starting(lines, " MAXIMUM CHANGE IN PRESSURE HEAD DURING ITERATION  3 WAS"),
              "");
    EXPECT_EQ(line_starting(lines, "***   QP( +  ) ="), "***   QP( +  ) =  1.60000E-03");
    EXPECT_EQ(line_starting(lines, "***   QM( -  ) ="), "***   QM( -  ) = -1.60000E-03");
    EXPECT_EQ(e2e::count_lines_with(lines, " ******GET GOOD RESULT*******"), 1);
    EXPECT_EQ(lines.back(), "  ***GOOD, GOOD****");
}

TEST(SteadySaturated, HydrostaticColumnHasNoFlow) {
    ModelRun run("column_hydrostatic");
    ASSERT_EQ(run.solve(), 0) << run.errors();
    const e2e::ResultFile r = e2e::parse_result(run.file("result.dat"));
    ASSERT_EQ(r.blocks.size(), 1u);
    const e2e::Block& b = r.blocks[0];
    for (int i = 1; i <= r.NUMNP; ++i) {
        EXPECT_NEAR(e2e::total_head(r, b, i), 8.0, 1e-12);
        EXPECT_NEAR(b.Q[i - 1], 0.0, 1e-15);
    }
    for (int e = 0; e < r.NUMEL; ++e) {
        EXPECT_NEAR(b.VX[e], 0.0, 1e-15);
        EXPECT_NEAR(b.VY[e], 0.0, 1e-15);
        EXPECT_NEAR(b.VZ[e], 0.0, 1e-15);
    }
}

// Hexahedra and prisms are exact for a linear head field, whatever their distortion and
// whatever the (constant) conductivity tensor.
TEST(SteadySaturated, LinearFieldOnDistortedHexahedraAndPrismsWithRotatedConductivity) {
    ModelRun run("block_linear");
    ASSERT_EQ(run.solve(), 0) << run.errors();
    const e2e::ResultFile r = e2e::parse_result(run.file("result.dat"));
    ASSERT_EQ(r.blocks.size(), 1u);
    const e2e::Block& b = r.blocks.back();
    int prisms = 0;
    for (const auto& nod : r.NOD) prisms += nod[6] == 0 ? 1 : 0;
    EXPECT_GT(prisms, 0);
    EXPECT_LT(prisms, r.NUMEL);
    const std::array<double, 3> g = {0.3, -0.2, 0.5};
    int free_nodes = 0;
    for (int i = 1; i <= r.NUMNP; ++i) {
        const e2e::Node& n = r.nodes[i - 1];
        const double exact = 10.0 + g[0] * n.X + g[1] * n.Y + g[2] * n.Z;
        if (n.KODE < 1) {
            ++free_nodes;
            EXPECT_NEAR(n.PSIINI + n.Z, 10.0, 1e-12);  // started away from the answer
        }
        EXPECT_NEAR(e2e::total_head(r, b, i), exact, 1e-7) << "node " << i;
    }
    EXPECT_EQ(free_nodes, 8);

    // The rotated tensor from the angle records that follow the PROP record.
    const auto model = e2e::lines_of(run.file("model.dat"));
    std::size_t p = 0;
    while (model[p].rfind("PROP", 0) != 0) ++p;
    const std::array<double, 3> K = {2.0e-3, 1.0e-3, 0.5e-3};
    double A[3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            A[i][j] = std::cos(std::strtod(model[p + 1 + i].substr(5 + 10 * j, 10).c_str(),
                                           nullptr) * 0.01745329238474369);
    double C[3][3];
    for (int j = 0; j < 3; ++j)
        for (int k = 0; k < 3; ++k)
            C[j][k] = A[0][j] * K[0] * A[0][k] + A[1][j] * K[1] * A[1][k] +
                      A[2][j] * K[2] * A[2][k];
    ASSERT_GT(std::abs(C[0][1]), 1e-4);  // really rotated
    ASSERT_GT(std::abs(C[1][2]), 1e-4);
    for (int e = 0; e < r.NUMEL; ++e) {
        const double v[3] = {b.VX[e], b.VY[e], b.VZ[e]};
        for (int a = 0; a < 3; ++a) {
            const double exact = -(C[a][0] * g[0] + C[a][1] * g[1] + C[a][2] * g[2]);
            EXPECT_NEAR(v[a], exact, 1e-8 * 1e-3) << "element " << e + 1 << " component " << a;
        }
    }
}

// Downward flow through an unsaturated column: total head falls monotonically, what enters
// at the top leaves at the base, and the iteration reports from its third pass.
void check_unsaturated_column(const std::string& model) {
    ModelRun run(model);
    ASSERT_EQ(run.solve(), 0) << run.errors();
    const auto lines = run.listing();
    const auto changes = e2e::listed_values(lines, "MAXIMUM CHANGE IN PRESSURE HEAD");
    ASSERT_GE(changes.size(), 2u);
    EXPECT_NE(line_starting(lines, " MAXIMUM CHANGE IN PRESSURE HEAD DURING ITERATION  3 WAS"),
              "");
    EXPECT_EQ(e2e::count_lines_with(lines, "DURING ITERATION  1 ") +
                  e2e::count_lines_with(lines, "DURING ITERATION  2 "), 0);
    EXPECT_LE(changes.back(), 1e-6);
    // The console shows the same maximum-change lines.
    EXPECT_EQ(e2e::count_lines_with(e2e::lines_of(run.console()), "MAXIMUM CHANGE"),
              static_cast<int>(changes.size()));

    const e2e::ResultFile r = e2e::parse_result(run.file("result.dat"));
    ASSERT_EQ(r.blocks.size(), 1u);
    const e2e::Block& b = r.blocks[0];
    double QP = 0.0, QM = 0.0;
    for (int i = 1; i <= r.NUMNP; ++i) (b.Q[i - 1] > 0 ? QP : QM) += b.Q[i - 1];
    EXPECT_GT(QP, 1e-4);
    EXPECT_NEAR(QP + QM, 0.0, 1e-4 * QP);  // as close as the CG tolerance allows
    for (int layer = 1; layer <= 10; ++layer)
        EXPECT_LT(e2e::total_head(r, b, 4 * layer), e2e::total_head(r, b, 4 * layer + 4));
    EXPECT_DOUBLE_EQ(b.PSI[r.NUMNP - 1], -2.0);
    int dry = 0;
    for (int e = 0; e < r.NUMEL; ++e) {
        EXPECT_LE(b.TH[e], 0.4);
        dry += b.TH[e] < 0.4 ? 1 : 0;
    }
    EXPECT_GT(dry, 3);
}

TEST(SteadyUnsaturated, VariantAConverges) { check_unsaturated_column("unsat_column_a"); }
TEST(SteadyUnsaturated, VariantBConverges) { check_unsaturated_column("unsat_column_b"); }

TEST(SteadyUnsaturated, VariantsAAndBDiffer) {
    ModelRun a("unsat_column_a"), b("unsat_column_b");
    ASSERT_EQ(a.solve(), 0);
    ASSERT_EQ(b.solve(), 0);
    const auto ra = e2e::parse_result(a.file("result.dat"));
    const auto rb = e2e::parse_result(b.file("result.dat"));
    double most = 0.0;
    for (int i = 0; i < ra.NUMNP; ++i)
        most = std::max(most, std::abs(ra.blocks[0].PSI[i] - rb.blocks[0].PSI[i]));
    EXPECT_GT(most, 1e-4);
}

// ITMAX = 0: one linear solve per pass, no switching, no test, no maximum-change line.
TEST(SteadyIteration, ItmaxZeroMakesOneSolve) {
    ModelRun run("unsat_column_itmax0");
    ASSERT_EQ(run.solve(), 0) << run.errors();
    const auto lines = run.listing();
    EXPECT_EQ(e2e::count_lines_with(lines, "MAXIMUM CHANGE"), 0);
    EXPECT_EQ(e2e::count_lines_with(lines, "SUCCESS TO CONVERGENCE"), 1);
    EXPECT_EQ(e2e::count_lines_with(lines, " ******GET GOOD RESULT*******"), 1);
    EXPECT_EQ(e2e::parse_result(run.file("result.dat")).blocks.size(), 1u);
}

// More iterations than ITMAX0 at the steady stage: the message ends the listing (no good-end
// line), no result block, and the unfinished solution's stop 7777.
TEST(SteadyIteration, InitialLimitExceededStops7777) {
    ModelRun run("unsat_column_initial_limit");
    ASSERT_EQ(run.solve(), 7777 & 0xff) << run.errors();
    EXPECT_EQ(run.errors(), "7777\r\n");
    const auto lines = run.listing();
    EXPECT_EQ(e2e::count_lines_with(lines, "MAXIMUM CHANGE"), 2);  // iterations 3 and 4
    EXPECT_NE(line_starting(lines, " MAXIMUM CHANGE IN PRESSURE HEAD DURING ITERATION  4 WAS"),
              "");
    EXPECT_EQ(e2e::count_lines_with(lines, "  *** ERROR IN INITIAL CONDITION (ITER > ITMAX) ***"),
              1);
    EXPECT_EQ(e2e::count_lines_with(lines, "GET GOOD RESULT"), 0);
    EXPECT_EQ(e2e::count_lines_with(lines, "NODE    HEAD"), 0);
    EXPECT_EQ(e2e::count_lines_with(lines, "GOOD, GOOD"), 0);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[lines.size() - 3], "  *** ERROR IN INITIAL CONDITION (ITER > ITMAX) ***");
    EXPECT_TRUE(e2e::parse_result(run.file("result.dat")).blocks.empty());
}

// A requested mesh check writes the step-0 block and the mesh-check line: a sound mesh closes
// with the good-end line and status 0, a mesh with errors (element 1 given node 8 twice) ends
// its listing at the mesh-check line and stops 6666.
TEST(MeshCheck, RequestedCheckStops6666OnlyWhenItFindsErrors) {
    for (const bool broken : {false, true}) {
        SCOPED_TRACE(broken ? "broken" : "sound");
        ModelRun run("column_steady");
        run.edit_model(2, 78, "  1");
        if (broken) run.edit_model(9, 13, "      8");
        EXPECT_EQ(run.solve(), broken ? 6666 & 0xff : 0);
        EXPECT_EQ(run.errors(), broken ? "6666\r\n" : "");
        const auto lines = run.listing();
        EXPECT_EQ(e2e::count_lines_with(lines, " : NODE NUMBER ERROR "), broken ? 2 : 0);
        ASSERT_GE(lines.size(), 4u);
        if (broken) {
            EXPECT_EQ(lines.back(), "  ***** MESH CHECK ONLY !!!! *****");
            EXPECT_EQ(e2e::count_lines_with(lines, "GOOD, GOOD"), 0);
        } else {
            EXPECT_EQ(lines[lines.size() - 4], "  ***** MESH CHECK ONLY !!!! *****");
            EXPECT_EQ(lines.back(), "  ***GOOD, GOOD****");
        }
        EXPECT_EQ(e2e::parse_result(run.file("result.dat")).blocks.size(), 1u);
    }
}

// Listings of the same model under both scratch switches, with the two total-dimension lines
// taken out; returns the two totals of each.
std::vector<std::string> without_totals(std::vector<std::string> lines, long long& bd,
                                        long long& ib) {
    std::vector<std::string> out;
    for (const auto& l : lines) {
        if (l.rfind("  TOTAL DIMENSION  BD( ", 0) == 0)
            bd = std::atoll(l.c_str() + 23);
        else if (l.rfind("  TOTAL DIMENSION  IB( ", 0) == 0)
            ib = std::atoll(l.c_str() + 23);
        else
            out.push_back(l);
    }
    return out;
}

// STORE 0 keeps the saved matrix and the previous iterate on scratch files: the same answers,
// byte for byte, from work arrays smaller by NWK + 6 NN - 7 and NN + NE - 2.
TEST(ScratchSwitch, SteadyUnsaturatedSameUnderBothSettings) {
    ModelRun mem("unsat_column_a"), disk("unsat_column_a_store0");
    ASSERT_EQ(mem.solve(), 0);
    ASSERT_EQ(disk.solve(), 0);
    EXPECT_EQ(mem.file("result.dat"), disk.file("result.dat"));
    long long bd1 = 0, ib1 = 0, bd0 = 0, ib0 = 0;
    const auto l1 = without_totals(mem.listing(), bd1, ib1);
    const auto l0 = without_totals(disk.listing(), bd0, ib0);
    EXPECT_EQ(l1, l0);
    const long long NN = 44, NE = 10, NWK = 8 * 8 + 36 * 12;
    EXPECT_EQ(bd1 - bd0, NWK + 6 * NN - 7);
    EXPECT_EQ(ib1 - ib0, NN + NE - 2);
    // Unit 2 holds one record of NWK + NN reals, unit 4 one of NN reals.
    EXPECT_EQ(disk.file("scr2.tmp").size(), static_cast<std::size_t>(8 + 8 * (NWK + NN)));
    EXPECT_EQ(disk.file("scr4.tmp").size(), static_cast<std::size_t>(8 + 8 * NN));
}

// The column of 10 hexahedra: NN 44, NE 10, one material with tables of 2 and 2 points.
struct ColumnSizes {
    long long NN = 44, NE = 10, NWK = 8 * 8 + 36 * 12;
    long long BD1 = 2 * 2 + 4 * 2 + 7 * 44 + 1, IB1 = 8 * 10 + 2 * 10 + 2 * 44 + 2 + 1;
    long long BD2 = BD1 + 2 * NE, IB3 = IB1 + NWK;
    // Solution part: R = 18 and MXEVT = 6 for counts of 0 (one element per dimension).
    long long BD(bool store) const {
        return BD1 + NWK + 4 * NN + 6 * 8 + 64 + (store ? NWK + 6 * NN : 7) + 18 + 6 + NE;
    }
    long long IB(bool store) const {
        return IB1 + NWK + 2 * NN + NE + (store ? NN + NE : 2) + 1 + 9 + 1 + 1 + 2 + 1 + 2 + 1 +
               4 + 3 + 3 + 4 + 5 + 2 + 2 + 2;
    }
};

TEST(WorkArrays, TotalsOfBothScratchSettingsAreTheFormulas) {
    const ColumnSizes s;
    ModelRun run("column_steady");
    ASSERT_EQ(run.solve(), 0);
    const auto lines = run.listing();
    EXPECT_EQ(line_starting(lines, "  TOTAL DIMENSION  BD("),
              "  TOTAL DIMENSION  BD(       " + std::to_string(s.BD(true)) + " )");
    EXPECT_EQ(line_starting(lines, "  TOTAL DIMENSION  IB("),
              "  TOTAL DIMENSION  IB(        " + std::to_string(s.IB(true)) + " )");
    // The run fits exactly into the totals it prints, under both settings.
    ModelRun exact("column_steady");
    exact.set_work_lengths(s.BD(true), s.IB(true));
    EXPECT_EQ(exact.solve(), 0);
    ModelRun exact0("column_steady");
    exact0.edit_model(2, 76, " 1");  // ISCR 1: STORE 0
    exact0.set_work_lengths(s.BD(false), s.IB(false));
    EXPECT_EQ(exact0.solve(), 0) << exact0.errors();
    EXPECT_EQ(exact0.file("result.dat"), run.file("result.dat"));
}

struct Shortfall {
    const char* what;
    bool store;
    long long bd_short, ib_short;  // elements missing (negative: room to spare)
    int code;
    const char* line;
};

// Each check stops with its code, the shortfall line and nothing written after it.
TEST(WorkArrays, TightLengthsStopWithTheirShortfalls) {
    const ColumnSizes s;
    const Shortfall cases[] = {
        {"matrix work space", true, 1, -5, 3333, " MTOTBD=         1  MTOTIB=        -5"},
        {"column numbers", true, -7, 1, 4444, " MTOTBD=        -7  MTOTIB=         1"},
        {"whole run, BD", true, 1, 0, 5555, "  MTOTBD=       1  MTOTIB=       0"},
        {"whole run, IB", true, -3, 2, 5555, "  MTOTBD=      -3  MTOTIB=       2"},
        {"whole run, STORE 0", false, 1, 1, 5555, "  MTOTBD=       1  MTOTIB=       1"},
    };
    for (const Shortfall& c : cases) {
        SCOPED_TRACE(c.what);
        ModelRun run("column_steady");
        if (!c.store) run.edit_model(2, 76, " 1");
        long long bd = 0, ib = 0;
        if (c.code == 3333) {
            bd = s.BD2;
            ib = s.IB1;
        } else if (c.code == 4444) {
            bd = s.BD2;
            ib = s.IB3;
        } else {
            bd = s.BD(c.store);
            ib = s.IB(c.store);
        }
        run.set_work_lengths(bd - c.bd_short, ib - c.ib_short);
        EXPECT_EQ(run.solve(), c.code & 0xff);
        EXPECT_EQ(run.errors().find(std::to_string(c.code)), 0u) << run.errors();
        const auto lines = run.listing();
        ASSERT_GE(lines.size(), 4u);
        EXPECT_EQ(lines.back(), c.line);
        EXPECT_EQ(lines[lines.size() - 2], "");
        EXPECT_EQ(lines[lines.size() - 3], "");
        EXPECT_EQ(lines[lines.size() - 4].rfind(c.code == 5555 ? "  TOTAL DIMENSION  IB("
                                                               : "  MESH CHECK DIMENSION", 0),
                  0u);
        // The header of the result file is written; no block follows.
        EXPECT_TRUE(e2e::parse_result(run.file("result.dat")).blocks.empty());
    }
}

// A second run of the same mesh reads the matrix structure back from fort.55.
TEST(MatrixDatabase, ReuseGivesTheSameResults) {
    ModelRun run("column_steady");
    ASSERT_EQ(run.solve(), 0);
    const std::string result = run.file("result.dat");
    const std::string listing = run.file("listing.txt");
    const std::string database = run.file("fort.55");
    run.copy_model("column_steady_reuse");
    ASSERT_EQ(run.solve(), 0) << run.errors();
    EXPECT_EQ(run.file("result.dat"), result);
    EXPECT_EQ(run.file("listing.txt"), listing);
    EXPECT_EQ(run.file("fort.55"), database);
    const auto console = e2e::lines_of(run.console());
    const std::vector<std::string> expected = {
        "  START READING PCG-MATRIX",
        " NUMNP0,NWK=,          45         496",
        "  FINISH READING PCG-MATRIX-IS",
        "  NWK in ADRSK,          496",
        "  START READING PCG-MATRIX-ISP",
        "  FINISH READING PCG-MATRIX-ISP",
    };
    ASSERT_GE(console.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(console.begin(), console.begin() + expected.size()),
              expected);
}

TEST(MatrixDatabase, DatabaseOfAnotherMeshStops1111) {
    ModelRun run("block_linear");
    ASSERT_EQ(run.solve(), 0);
    run.copy_model("column_steady_reuse");
    EXPECT_EQ(run.solve(), 1111 & 0xff);
    EXPECT_NE(run.console().find("--- PCG-MATRIX ADDRESS DATA BASE DIFFERENT "),
              std::string::npos);
}

}  // namespace
