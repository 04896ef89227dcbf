// Change events in whole runs: an excavation in stages against the steady answer of each
// stage, and an event that keeps its effect when the step that fired it is cut.
#include <cmath>

#include "e2e_support.hpp"

namespace {

using e2e::ModelRun;

// A column of four unit layers, base held at total head 10. The top element is removed at
// time 4 with the floor z = 3 held at pressure head 0, the next one at time 8 with the floor
// z = 2. Each stage's steady answer is linear between the base and the floor:
// h = 10 + (floor - 10) z / floor. The storage is small (SS 1e-6, K 1e-2, steps of 1 and
// more): each step leaves about SS / (K DT) <= 1e-4 of the transient, so the step that fires
// an event is within 1e-3 of the new answer and the next step within 1e-7. Returns the blocks.
std::vector<e2e::Block> check_excavation(const std::string& model, std::size_t blocks) {
    ModelRun run(model);
    EXPECT_EQ(run.solve(), 0) << run.errors();
    const e2e::ResultFile r = e2e::parse_result(run.file("result.dat"));
    EXPECT_EQ(r.blocks.size(), blocks) << model;
    for (const e2e::Block& b : r.blocks) {
        const double floor = b.TIME < 4.0 - 1e-9 ? 4.0 : (b.TIME < 8.0 - 1e-9 ? 3.0 : 2.0);
        const bool event_step = b.TIME == 4.0 || b.TIME == 8.0;
        const double tol = event_step ? 1e-3 : 1e-7;
        for (int i = 1; i <= r.NUMNP; ++i) {
            const double z = r.nodes[i - 1].Z;
            if (z > floor + 1e-9) continue;  // removed with its element
            const double h = floor == 4.0 ? 10.0 : 10.0 + (floor - 10.0) * z / floor;
            EXPECT_NEAR(e2e::total_head(r, b, i), h, tol) << model << " time " << b.TIME
                                                          << " node " << i;
            // The floor and the base are held; the nodes between them are free.
            const bool held = z == 0.0 || z >= floor - 1e-9;
            EXPECT_EQ(b.KODE[i - 1], held ? 1 : 0) << model << " time " << b.TIME << " node " << i;
        }
        // Upward Darcy velocity K (10 - floor) / floor in every remaining element (none before
        // the first cut, where the top is held at head 10).
        const double v = floor == 4.0 ? 0.0 : 1.0e-2 * (10.0 - floor) / floor;
        for (int e = 1; e <= floor; ++e)
            EXPECT_NEAR(b.VZ[e - 1], v, event_step ? 1e-5 : 1e-9)
                << model << " time " << b.TIME << " element " << e;
    }
    return r.blocks;
}

// The floors held by NEWCB lines (new code 1, "N", the floor's total head), steps of 2.
TEST(ChangeEvents, ExcavationFollowsTheSteadyAnswerOfEachStage) {
    const auto blocks = check_excavation("excavation_column", 6);
    // The removed top layer's nodes keep their fixed heads.
    EXPECT_EQ(blocks.back().KODE[16], 1);
}

// The floors as head groups 1 and 2, empty at first, filled by NEWCH lines; at time 8 the old
// floor's nodes leave group 1 (free, then switched off with their element). Steps of 1.5
// land on the event times 4 and 8.
TEST(ChangeEvents, ExcavationWithHeadGroupsLandsOnTheEventTimes) {
    const auto blocks = check_excavation("excavation_head_groups", 9);
    const double times[] = {1.5, 3.0, 4.0, 5.5, 7.0, 8.0, 9.5, 11.0, 12.0};
    for (std::size_t k = 0; k < blocks.size() && k < 9; ++k) EXPECT_EQ(blocks[k].TIME, times[k]);
    for (int i = 13; i <= 16; ++i) EXPECT_EQ(blocks.back().KODE[i - 1], 9) << i;
}

// The same excavation, with NEWCH, NEWCQ, NEWCB and NEWCR lines at 9.5 acting on the nodes of
// the removed elements (freeing them, or resetting them as rain nodes): the run ends with the
// excavation's heads, and every such node is switched off again.
TEST(ChangeEvents, LinesOnNodesOfRemovedElementsKeepThemOutOfTheSolve) {
    const auto blocks = check_excavation("excavation_orphans", 9);
    ASSERT_EQ(blocks.size(), 9u);
    EXPECT_EQ(blocks[6].TIME, 9.5);
    for (int i = 13; i <= 20; ++i) EXPECT_EQ(blocks.back().KODE[i - 1], 9) << i;
}

// The top of an unsaturated column (pressure head -4) is held at 0.5 from time 1. The first
// step ends at 1 and fires the event, then is cut to end at 0.5: the repeated pass starts from
// the state saved after the event, so the top is held from time 0.5 on.
TEST(ChangeEvents, EventFiredInACutPassStaysFired) {
    ModelRun run("wetting_cut");
    ASSERT_EQ(run.solve(), 0) << run.errors();
    const auto lines = run.listing();
    EXPECT_EQ(e2e::count_lines_with(lines, "RECUL=    1"), 1);
    const e2e::ResultFile r = e2e::parse_result(run.file("result.dat"));
    ASSERT_EQ(r.blocks.size(), 6u);
    EXPECT_EQ(r.blocks[0].TIME, 0.5);
    for (const e2e::Block& b : r.blocks) {
        for (int i = 41; i <= 44; ++i) {
            EXPECT_EQ(b.KODE[i - 1], 1) << "time " << b.TIME << " node " << i;
            EXPECT_EQ(b.PSI[i - 1], 0.5) << "time " << b.TIME << " node " << i;
        }
    }
}

// A NEWCB line with "N" gives the four base nodes of a closed column 0.005 each from the step
// ending at 1 (0.5 to 1) on: every later block shows the inflow in Q, and the cumulative inflow
// and the water stored are both 0.02 (t - 0.5).
TEST(ChangeEvents, InflowGivenByAnEventFlowsIn) {
    ModelRun run("inflow_event_column");
    ASSERT_EQ(run.solve(), 0) << run.errors();
    const e2e::ResultFile r = e2e::parse_result(run.file("result.dat"));
    const auto cumul = e2e::listed_values(run.listing(), "CUMULATIVE INFLOW INTO SYSTEM IS");
    ASSERT_EQ(r.blocks.size(), 4u);
    ASSERT_EQ(cumul.size(), 4u);
    for (std::size_t k = 0; k < r.blocks.size(); ++k) {
        const e2e::Block& b = r.blocks[k];
        const double inflow = b.TIME < 1.0 ? 0.0 : 0.02 * (b.TIME - 0.5);
        for (int i = 1; i <= 4; ++i)
            EXPECT_EQ(b.Q[i - 1], b.TIME < 1.0 ? 0.0 : 0.005) << "time " << b.TIME << " node " << i;
        EXPECT_NEAR(cumul[k], inflow, 1e-5 * inflow) << "time " << b.TIME;
        // Stored water: SS x node volume (a quarter layer of 0.25, an eighth at the ends).
        double stored = 0.0;
        for (int i = 1; i <= r.NUMNP; ++i) {
            const int layer = (i - 1) / 4;
            const double volume = (layer == 0 || layer == 8) ? 0.25 / 8 : 0.25 / 4;
            stored += 0.01 * volume * (b.PSI[i - 1] - r.nodes[i - 1].PSIINI);
        }
        EXPECT_NEAR(stored, inflow, 1e-9) << "time " << b.TIME;
    }
}

}  // namespace
