// Change events in whole runs: an excavation in stages against the steady answer of each
// stage, and an event that keeps its effect when the step that fired it is cut.
#include <cmath>

#include "e2e_support.hpp"

namespace {

using e2e::ModelRun;

// A column of four unit layers, base held at total head 10. The top element is removed at
// time 4 with the floor z = 3 held at pressure head 0, the next one at time 8 with the floor
// z = 2. Each stage's steady answer is linear between the base and the floor:
// h = 10 + (floor - 10) z / floor. The storage is small (SS 1e-6, K 1e-2, DT 2): each step
// leaves about SS / (K DT) = 5e-5 of the transient, so the step that fires an event is within
// 1e-3 of the new answer and the next step within 1e-7.
TEST(ChangeEvents, ExcavationFollowsTheSteadyAnswerOfEachStage) {
    ModelRun run("excavation_column");
    ASSERT_EQ(run.solve(), 0) << run.errors();
    const e2e::ResultFile r = e2e::parse_result(run.file("result.dat"));
    ASSERT_EQ(r.blocks.size(), 6u);
    for (const e2e::Block& b : r.blocks) {
        const double floor = b.TIME < 4.0 - 1e-9 ? 4.0 : (b.TIME < 8.0 - 1e-9 ? 3.0 : 2.0);
        const bool event_step = b.NSTEP == 2 || b.NSTEP == 4;
        const double tol = event_step ? 1e-3 : 1e-7;
        for (int i = 1; i <= r.NUMNP; ++i) {
            const double z = r.nodes[i - 1].Z;
            if (z > floor + 1e-9) continue;  // removed with its element
            const double h = floor == 4.0 ? 10.0 : 10.0 + (floor - 10.0) * z / floor;
            EXPECT_NEAR(e2e::total_head(r, b, i), h, tol) << "step " << b.NSTEP << " node " << i;
            // The floor and the base are held; the nodes between them are free.
            const bool held = z == 0.0 || z >= floor - 1e-9;
            EXPECT_EQ(b.KODE[i - 1], held ? 1 : 0) << "step " << b.NSTEP << " node " << i;
        }
        // Upward Darcy velocity K (10 - floor) / floor in every remaining element (none before
        // the first cut, where the top is held at head 10).
        const double v = floor == 4.0 ? 0.0 : 1.0e-2 * (10.0 - floor) / floor;
        for (int e = 1; e <= floor; ++e)
            EXPECT_NEAR(b.VZ[e - 1], v, event_step ? 1e-5 : 1e-9)
                << "step " << b.NSTEP << " element " << e;
    }
    // The node table leaves out the removed layer's nodes from the removal on.
    const auto lines = run.listing();
    EXPECT_EQ(e2e::count_lines_with(lines, "    17  1.0000E+01  6.0000E+00"), 1);
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

}  // namespace
