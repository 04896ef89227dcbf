// Runs that must not destroy their input or leave stale or partial results: one file named
// on two units, a failed rerun over an earlier run's files, write failures at a step block,
// a run killed after the result files' headers.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "e2e_support.hpp"

namespace {

using e2e::ModelRun;

// WORK.LST lines 1-6, 9 and 10 from `names` (default lengths on lines 7 and 8).
void write_list(ModelRun& run, std::vector<std::string> names) {
    names.insert(names.begin() + 6, {"0", "0"});
    std::string text;
    for (const auto& n : names) text += n + "\r\n";
    e2e::write_file(run.dir / "WORK.LST", text);
}

const std::vector<std::string> kNames = {"work.tmp",   "scr2.tmp", "scr3.tmp",  "scr4.tmp",
                                         "result2.dat", "result.dat", "model.dat", "listing.txt"};

// The model as the working copy, the listing as the model (spelled otherwise), the listing as
// the result file, the result file as the model: each is an open failure, and the model file
// and the earlier run's results are left as they were.
TEST(FileSafety, OneFileOnTwoUnitsIsAnOpenFailure) {
    ModelRun run("column_steady");
    ASSERT_EQ(run.solve(), 0) << run.errors();
    const std::string model = run.file("model.dat");
    const std::string result = run.file("result.dat");
    struct Case {
        int line;  // index into kNames
        std::string name;
        std::string error;
    };
    const Case cases[] = {
        {0, "model.dat", "solver: severe (30): open failure, unit 5, file model.dat\r\n"},
        {7, "./model.dat", "solver: severe (30): open failure, unit 6, file ./model.dat\r\n"},
        {7, "result.dat", "solver: severe (30): open failure, unit 6, file result.dat\r\n"},
        {5, "model.dat", "solver: severe (30): open failure, unit 5, file model.dat\r\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> names = kNames;
        names[c.line] = c.name;
        write_list(run, names);
        EXPECT_EQ(run.solve(), 30) << c.name;
        EXPECT_EQ(run.errors(), c.error);
        EXPECT_EQ(run.file("model.dat"), model) << c.name;
        if (c.line != 5) {
            EXPECT_EQ(run.file("result.dat"), result) << c.name;
        }
    }
}

// A rerun that stops before its first record (a stray character in the control record, then
// work arrays too short) leaves neither the earlier listing nor its results behind.
TEST(FileSafety, FailedRerunLeavesNoStaleResults) {
    ModelRun run("column_steady");
    ASSERT_EQ(run.solve(), 0) << run.errors();
    ASSERT_EQ(run.listing().back(), "  ***GOOD, GOOD****");
    ASSERT_FALSE(run.file("result.dat").empty());

    const std::string good_model = run.file("model.dat");
    run.edit_model(2, 1, "     x8");
    EXPECT_EQ(run.solve(), 64);
    EXPECT_EQ(run.file("listing.txt"), "");
    EXPECT_EQ(run.file("result.dat"), "");
    EXPECT_EQ(run.file("result2.dat"), "");

    e2e::write_file(run.dir / "model.dat", good_model);
    ASSERT_EQ(run.solve(), 0);
    run.set_work_lengths(50, 0);
    EXPECT_EQ(run.solve(), 1111 & 0xff);
    const auto lines = run.listing();
    EXPECT_EQ(e2e::count_lines_with(lines, "GOOD"), 0);
    EXPECT_EQ(lines.back().rfind(" MTOTBD=", 0), 0u);
    EXPECT_EQ(run.file("result.dat"), "");
    EXPECT_EQ(run.file("result2.dat"), "");
}

// A result file that cannot be written ends the run at the first step block, before the
// listing goes on to later steps and to its closing line.
TEST(FileSafety, ResultWriteFailureEndsTheRunAtItsBlock) {
    ModelRun run("diffusion_implicit");
    std::vector<std::string> names = kNames;
    names[5] = "/dev/full";
    write_list(run, names);
    EXPECT_EQ(run.solve(), 38);
    EXPECT_EQ(run.errors(), "solver: severe (38): error during write, unit 10, file /dev/full\r\n");
    const auto lines = run.listing();
    EXPECT_EQ(e2e::count_lines_with(lines, "TIME STEP ="), 1);
    EXPECT_EQ(e2e::count_lines_with(lines, "GOOD"), 0);
}

// The same for the node histories: "NDLIST.PST" on a full device.
TEST(FileSafety, HistoryWriteFailureEndsTheRunAtItsBlock) {
    ModelRun run("balance_implicit");
    e2e::fs::create_symlink("/dev/full", run.dir / "NDLIST.PST");
    EXPECT_EQ(run.solve(), 38);
    EXPECT_EQ(run.errors(), "solver: severe (38): error during write, unit 51, file NDLIST.PST\r\n");
    const auto lines = run.listing();
    EXPECT_EQ(e2e::count_lines_with(lines, "TIME STEP ="), 1);
    EXPECT_EQ(e2e::count_lines_with(lines, "GOOD"), 0);
    // The result file holds the header and the whole first block.
    const e2e::ResultFile r = e2e::parse_result(run.file("result.dat"));
    EXPECT_EQ(r.blocks.size(), 1u);
}

// A run killed once it has written the result files' headers leaves the second result file
// whole: its two records are on disk when they are written, not at the end of the run. The
// matrix-address database is a pipe here that nobody reads: the solver, past the headers once
// it has opened it, is held there by the column numbers (far more than the pipe and the write
// buffer take) until it is killed.
TEST(FileSafety, KilledRunKeepsTheSecondResultFile) {
    ModelRun run("theis_quarter");
    const auto pipe = run.dir / "fort.55";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        const int in = open("/dev/null", O_RDONLY);
        const int out = open((run.dir / "_stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (chdir(run.dir.c_str()) != 0 || in < 0 || out < 0) _exit(127);
        dup2(in, 0);
        dup2(out, 1);
        dup2(out, 2);
        execl(SOLVER_EXE, SOLVER_EXE, static_cast<char*>(nullptr));
        _exit(127);
    }
    // Our end of the pipe opens once the solver opens its end; an alarm ends the wait if the
    // solver never gets there.
    struct sigaction quiet {};
    quiet.sa_handler = [](int) {};
    sigaction(SIGALRM, &quiet, nullptr);
    alarm(30);
    const int fd = open(pipe.c_str(), O_RDONLY);
    alarm(0);
    if (fd >= 0) (void)fcntl(fd, F_SETPIPE_SZ, 4096);
    kill(pid, SIGKILL);
    int rc = 0;
    waitpid(pid, &rc, 0);
    ASSERT_GE(fd, 0) << "the solver did not reach the database: " << run.file("_stdout");
    close(fd);
    ASSERT_TRUE(WIFSIGNALED(rc));
    ModelRun whole("theis_quarter");
    ASSERT_EQ(whole.solve(), 0);
    EXPECT_EQ(run.file("result2.dat"), whole.file("result2.dat"));
    EXPECT_EQ(e2e::lines_of(run.file("result2.dat")).size(), 2u);
}

}  // namespace
