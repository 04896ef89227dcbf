// The record a refusal names is the record of the result file, as the solver wrote it, that
// holds the refused value: the reader's count of records and the writer's layout agree.
#include "e2e_support.hpp"

#ifdef CONVERTER_EXE

#include <algorithm>
#include <sstream>

namespace e2e {
namespace {

TEST(RefusalRecord, NamesTheRecordTheSolverWroteTheValueIn) {
    ModelRun run("block_linear");
    ASSERT_EQ(run.solve(), 0);
    std::vector<std::string> lines = lines_of(run.file("result.dat"));
    int NUMNP = 0, NUMEL = 0, NPEMAX = 0;
    std::istringstream(lines.at(1)) >> NUMNP >> NUMEL >> NPEMAX;
    ASSERT_EQ(NPEMAX, 8);

    // Node 5 of element 20, counted through the values as they stand in the records: six for
    // each node, then NPEMAX + 1 for each element.
    const std::int64_t target = 6LL * NUMNP + 19LL * (NPEMAX + 1) + 4;
    ASSERT_LT(target, 6LL * NUMNP + 9LL * NUMEL);
    std::size_t line = 2, start = 0, end = 0;
    for (std::int64_t seen = 0;; ++line) {
        ASSERT_LT(line, lines.size());
        const std::string& l = lines[line];
        bool found = false;
        for (std::size_t p = l.find_first_not_of(' '); p != std::string::npos && !found;) {
            const std::size_t q = std::min(l.find(' ', p), l.size());
            if (seen++ == target) found = true, start = p, end = q;
            p = l.find_first_not_of(' ', q);
        }
        if (found) break;
    }
    // A node number past NUMNP, right-aligned in the value's field.
    const std::string bad = "9999";
    std::string& l = lines[line];
    ASSERT_GE(end, bad.size());
    ASSERT_EQ(l.find_first_not_of(' ', end - bad.size()), start) << l;
    l.replace(end - bad.size(), bad.size(), bad);
    std::string out;
    for (const std::string& s : lines) out += s + "\r\n";
    write_file(run.dir / "result.dat", out);

    // TECPLOT from the result file of WORK.LST.
    write_file(run.dir / "answers", "0\n1\n0\n");
    const std::string cmd = "cd '" + run.dir.string() + "' && '" CONVERTER_EXE
                            "' <answers >cnv_out 2>cnv_err";
    const int rc = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(rc));
    EXPECT_EQ(WEXITSTATUS(rc), 2222 & 0xff);
    const std::string expected = "converter: result file result.dat, record " +
                                 std::to_string(line + 1) + ": element 20 node 9999 not in 0 to " +
                                 std::to_string(NUMNP) + "\r\n";
    EXPECT_EQ(run.file("cnv_err"), expected + "2222\r\n");
}

}  // namespace
}  // namespace e2e

#endif
