// A solver run, its restart records at a time between two blocks, and a second solver run
// that reads those records as its node group: it starts from the restart state.
#include "e2e_support.hpp"

#ifdef CONVERTER_EXE

namespace e2e {
namespace {

TEST(RestartRoundTrip, SecondRunStartsFromInterpolatedState) {
    ModelRun run("kind0_column");
    ASSERT_EQ(run.solve(), 0);
    const ResultFile first = parse_result(run.file("result.dat"));
    ASSERT_GE(first.blocks.size(), 3u);
    const Block& b1 = first.blocks[1];  // 0.2
    const Block& b2 = first.blocks[2];  // 0.6
    ASSERT_LT(b1.TIME, 0.4);
    ASSERT_GT(b2.TIME, 0.4);

    // Restart at 0.4 as total heads with the initial flows.
    write_file(run.dir / "answers", "1\nresult.dat\n9\n0.4\n1\n0\n");
    const std::string cmd = "cd '" + run.dir.string() + "' && '" CONVERTER_EXE
                            "' <answers >cnv_out 2>cnv_err";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    std::vector<std::string> rst = lines_of(run.file("RESTART.DAT"));
    ASSERT_EQ(rst.size(), static_cast<std::size_t>(first.NUMNP) + 2);

    // The model's node group replaced by the restart records (title and time lines
    // removed); the control record asks for the mesh check only, which writes the header.
    std::vector<std::string> model = lines_of(run.file("model.dat"));
    std::string out;
    bool nodes_done = false;
    for (std::size_t i = 0; i < model.size(); ++i) {
        if (model[i].rfind("NODE ", 0) == 0) {
            if (!nodes_done)
                for (std::size_t r = 2; r < rst.size(); ++r) out += rst[r] + "\r\n";
            nodes_done = true;
            continue;
        }
        out += model[i] + "\r\n";
    }
    write_file(run.dir / "model.dat", out);
    run.edit_model(2, 78, "  1");
    ASSERT_EQ(run.solve(), 0);
    const ResultFile second = parse_result(run.file("result.dat"));

    // Four significant digits: half a unit in the fourth digit of the value.
    const double a = 0.4 - b1.TIME, b = b2.TIME - 0.4, d = b2.TIME - b1.TIME;
    for (int i = 0; i < first.NUMNP; ++i) {
        const double z = first.nodes[i].Z;
        const double want = (b2.PSI[i] * a + b1.PSI[i] * b) / d + z;
        const double got = second.nodes[i].PSIINI + second.nodes[i].Z;
        EXPECT_NEAR(got, want, 5e-4 * std::fabs(want) + 1e-12) << "node " << i + 1;
        EXPECT_EQ(second.nodes[i].Z, z);
        EXPECT_EQ(second.nodes[i].KODE, std::abs(b1.KODE[i]) > 2 ? 0 : b1.KODE[i]);
        EXPECT_NEAR(second.nodes[i].Q, first.nodes[i].Q, 5e-4 * std::fabs(first.nodes[i].Q));
    }
}

}  // namespace
}  // namespace e2e

#endif
