// The shipped example models: each runs to a normal end, and the dam's closing steady solve
// (OMEGA 0.0) reaches the steady state, whatever heads it starts from.
#include "e2e_support.hpp"

namespace {

using e2e::ModelRun;

// A copy of examples/<name>, its model file renamed to the model of the standard file list.
void use_example(ModelRun& run, const std::string& model) {
    e2e::fs::copy_file(run.dir / model, run.dir / "model.dat",
                       e2e::fs::copy_options::overwrite_existing);
    run.set_work_lengths(0, 0);
}

std::string last_line_starting(const std::vector<std::string>& lines, const std::string& start) {
    std::string found;
    for (const auto& l : lines)
        if (l.rfind(start, 0) == 0) found = l;
    return found;
}

// Sets the initial total head of the dam's downstream nodes (the water table, 1.0 as shipped).
void set_downstream_head(ModelRun& run, const std::string& head) {
    const auto lines = e2e::lines_of(run.file("model.dat"));
    std::string out;
    for (std::string l : lines) {
        const bool node = l.rfind("NODE ", 0) == 0 || l.rfind("     ", 0) == 0;
        if (node && l.size() >= 55 && l.substr(45, 10) == "       1.0") l.replace(45, 10, head);
        out += l + "\r\n";
    }
    e2e::write_file(run.dir / "model.dat", out);
}

constexpr const char* kDamDischarge = "***   QP( +  ) =  4.50314E+02";

TEST(ShippedExamples, DamSteadyAnswerIsTheSameFromDay30AndFromTwoInitialWaterTables) {
    ModelRun run("../../examples/dam");
    use_example(run, "DAM.DAT");
    // As shipped: 30 days of filling, then the steady solve from the state reached.
    ASSERT_EQ(run.solve(), 0) << run.errors();
    EXPECT_EQ(last_line_starting(run.listing(), "***   QP( +  ) ="), kDamDischarge);
    EXPECT_EQ(run.listing().back(), "  ***GOOD, GOOD****");

    // Steady only (KIND 1), from the initial heads and from a water table 9 m higher.
    run.edit_model(2, 61, "    1");
    ASSERT_EQ(run.solve(), 0) << run.errors();
    EXPECT_EQ(last_line_starting(run.listing(), "***   QP( +  ) ="), kDamDischarge);
    set_downstream_head(run, "      10.0");
    ASSERT_EQ(run.solve(), 0) << run.errors();
    EXPECT_EQ(last_line_starting(run.listing(), "***   QP( +  ) ="), kDamDischarge);

    // OMEGA 1.0 holds the conductivities at the start: a converged answer of the wrong problem.
    run.edit_model(5, 51, "       1.0");
    ASSERT_EQ(run.solve(), 0) << run.errors();
    EXPECT_EQ(last_line_starting(run.listing(), "***   QP( +  ) ="),
              "***   QP( +  ) =  4.63829E+02");
}

TEST(ShippedExamples, RainSlopeRunsToItsEnd) {
    ModelRun run("../../examples/rain");
    use_example(run, "SLOPE.DAT");
    ASSERT_EQ(run.solve(), 0) << run.errors();
    const auto lines = run.listing();
    EXPECT_EQ(e2e::count_lines_with(lines, " ******GET GOOD RESULT*******"), 1);
    EXPECT_EQ(lines.back(), "  ***GOOD, GOOD****");
}

}  // namespace
