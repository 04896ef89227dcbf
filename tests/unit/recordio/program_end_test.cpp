// Program ends seen from outside: stop lines, fatal-error lines with unit and file, exit
// statuses (the shell keeps the low 8 bits), and units closed with their records written.
#include "rio_test_util.hpp"

#include <filesystem>
#include <span>
#include <vector>

namespace {

using rio_test::run_helper;
using rio_test::slurp;

class ProgramEnd : public rio_test::InTempDir {};

std::string repeat(const std::string& s, int n) {
    std::string r;
    for (int k = 0; k < n; ++k) r += s;
    return r;
}

TEST_F(ProgramEnd, StopCodes) {
    auto r = run_helper(dir_, "stop999");
    EXPECT_EQ(r.err, "999\r\n");
    EXPECT_EQ(r.out, "before the stop\r\n");
    EXPECT_EQ(r.status, 999 & 0xff);
    r = run_helper(dir_, "stop8001");
    EXPECT_EQ(r.err, "8001\r\n");
    EXPECT_EQ(r.status, 8001 & 0xff);
    r = run_helper(dir_, "plain_stop");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(slurp(dir_ + "/kept.txt"), "kept\r\n");
    r = run_helper(dir_, "return");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, " done           1\r\n");
}

// main returns the whole code; only the shell's view is cut to 8 bits.
TEST_F(ProgramEnd, RunProgramReturnsTheFullCode) {
    EXPECT_EQ(rio::run_program("t", [] { rio::stop(8001); }), 8001);
    EXPECT_EQ(rio::run_program("t", [] { rio::fatal(64, 5); }), 64);
    EXPECT_EQ(rio::run_program("t", [] {}), 0);
}

// A fatal read error of a formatted unit is followed by a line naming the record it met; an
// unformatted record is named by nothing more than its unit.
TEST_F(ProgramEnd, FatalErrors) {
    struct Case {
        const char* scenario;
        int status;
        const char* line;
        const char* where = nullptr;
    };
    const Case cases[] = {
        {"missing_old", 29, "recordio_helper: severe (29): file not found, unit 98, file WORK.LST"},
        {"missing_default", 29, "recordio_helper: severe (29): file not found, unit 77, file fort.77"},
        {"read_past_end", 24, "recordio_helper: severe (24): end-of-file during read, unit 10, file one.txt",
         "end of file after record 1 of one.txt"},
        {"stray_character", 64, "recordio_helper: severe (64): input conversion error, unit 5, file bad.txt",
         "record 1 of bad.txt: \"  1x3\""},
        {"integer_overflow", 64, "recordio_helper: severe (64): input conversion error, unit 5, file big.txt",
         "record 1 of big.txt: \"9999999999\""},
        {"list_syntax", 59, "recordio_helper: severe (59): list-directed I/O syntax error, unit 5, file list.txt",
         "record 1 of list.txt: \"1 2.5\""},
        {"list_overflow", 59, "recordio_helper: severe (59): list-directed I/O syntax error, unit 5, file list.txt",
         "record 1 of list.txt: \"3000000000\""},
        {"list_nan", 59, "recordio_helper: severe (59): list-directed I/O syntax error, unit 5, file list.txt",
         "record 1 of list.txt: \"NaN\""},
        {"copy_record", 64, "recordio_helper: severe (64): input conversion error, unit 1, file copy.wrk",
         "line 3 of model.dat (record 3 of its copy copy.wrk): \"\\x1B[2J  \\t 7x\""},
        {"read_failure", 39, "recordio_helper: severe (39): error during read, unit 5, file /proc/self/mem",
         "read failure before record 1 of /proc/self/mem"},
        {"copy_end", 24, "recordio_helper: severe (24): end-of-file during read, unit 1, file copy.wrk",
         "end of file before line 1 of empty.dat (record 1 of its copy copy.wrk)"},
        {"unf_too_much", 67,
         "recordio_helper: severe (67): input statement requires too much data, unit 3, file s.bin"},
        {"unf_lengths_differ", 39, "recordio_helper: severe (39): error during read, unit 3, file s.bin"},
        {"unf_cut_short", 39, "recordio_helper: severe (39): error during read, unit 3, file s.bin"},
        {"unf_past_end", 24, "recordio_helper: severe (24): end-of-file during read, unit 3, file empty.bin"},
        {"open_directory", 30, "recordio_helper: severe (30): open failure, unit 7, file ."},
        {"no_such_directory", 30, "recordio_helper: severe (30): open failure, unit 7, file nodir/x.txt"},
        {"blank_name_eof", 43, "recordio_helper: severe (43): file name specification error, unit 7, file "},
        {"bad_format", 62, "recordio_helper: severe (62): syntax error in format, unit 6, file stdout"},
        {"out_of_memory", 41, "recordio_helper: severe (41): insufficient virtual memory"},
    };
    for (const Case& c : cases) {
        auto r = run_helper(dir_, c.scenario);
        EXPECT_EQ(r.status, c.status) << c.scenario;
        std::string err = std::string(c.line) + "\r\n";
        if (c.where) err += std::string("recordio_helper: ") + c.where + "\r\n";
        EXPECT_EQ(r.err, err) << c.scenario;
    }
    auto r = run_helper(dir_, "name_too_long");
    EXPECT_EQ(r.status, 43);
    EXPECT_EQ(r.err.rfind("recordio_helper: severe (43): file name specification error, unit 7, file nnn", 0), 0u);
}

// A file already connected to another unit, under another name, is not opened again: the
// open fails before anything is written, and the file is left as it was.
TEST_F(ProgramEnd, SameFileOnTwoUnitsIsAnOpenFailure) {
    auto r = run_helper(dir_, "same_file");
    EXPECT_EQ(r.status, 30);
    EXPECT_EQ(r.err, "recordio_helper: severe (30): open failure, unit 6, file ./model.dat\r\n");
    EXPECT_EQ(slurp(dir_ + "/model.dat"), "MODEL\r\n");
    std::filesystem::remove(dir_ + "/alias.dat");
    r = run_helper(dir_, "same_file link");
    EXPECT_EQ(r.status, 30);
    EXPECT_EQ(r.err, "recordio_helper: severe (30): open failure, unit 6, file alias.dat\r\n");
    EXPECT_EQ(slurp(dir_ + "/model.dat"), "MODEL\r\n");
}

// A flush meets a write failure at once, before the program goes on.
TEST_F(ProgramEnd, FlushReportsAFailedWriteAtOnce) {
    auto r = run_helper(dir_, "flush_error");
    EXPECT_EQ(r.status, 38);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "recordio_helper: severe (38): error during write, unit 7, file /dev/full\r\n");
}

// A write that fails when the records reach the device is reported at the end of the run.
TEST_F(ProgramEnd, FailedWriteIsReported) {
    auto r = run_helper(dir_, "write_error");
    EXPECT_EQ(r.status, 38);
    EXPECT_EQ(r.err, "recordio_helper: severe (38): error during write, unit 7, file /dev/full\r\n");
}

// A close that fails on a written file (write-back errors of network file systems, quotas) is
// error 38 where the unit is closed, as a failing write is; closing a file only read is not.
TEST_F(ProgramEnd, FailedCloseOfAWrittenFileIsAWriteError) {
    const std::string line = "recordio_helper: severe (38): error during write, unit 7, file out.txt\r\n";
    for (const char* where : {"close", "reopen"}) {
        auto r = run_helper(dir_, std::string("close_error ") + where);
        EXPECT_EQ(r.status, 38) << where;
        EXPECT_EQ(r.err, line) << where;
        EXPECT_EQ(r.out, "") << where;
    }
    auto r = run_helper(dir_, "close_error end");
    EXPECT_EQ(r.status, 38);
    EXPECT_EQ(r.err, line);
    EXPECT_EQ(r.out, "after\r\n");
    r = run_helper(dir_, "close_error read");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "after\r\n");
}

// An input that is a FIFO ends when its writer has sent everything and closed, so the run goes
// on as with a regular file (records read in part included); an output FIFO still reaches its
// reader. Every party is timed out, so that a run that would wait for ever fails instead of
// hanging the suite.
TEST_F(ProgramEnd, FifoInputEndsWhenItsWriterCloses) {
    std::vector<std::int32_t> big(300000, 0);
    big[0] = 5;
    rio::open(2, "rec.bin", rio::Status::Unknown, rio::Form::Unformatted);
    rio::write_unf(2, {std::span<std::int32_t>(big)});
    rio::write_unf(2, {7, 8});
    rio::close(2);
    const std::string cmd = "cd '" + dir_ + "' && mkfifo in.fifo rec.fifo out.fifo && "
                            "(timeout 60 sh -c \"printf ' 1\\r\\n 2\\r\\n 3\\n' >in.fifo\" &) && "
                            "(timeout 60 cat rec.bin >rec.fifo &) && "
                            "(timeout 60 cat out.fifo >got.txt &) && "
                            "timeout 60 '" RECORDIO_HELPER "' fifo_input </dev/null >stdout.txt 2>stderr.txt; "
                            "echo $? >rc.txt";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_EQ(slurp(dir_ + "/rc.txt"), "0\n");
    EXPECT_EQ(slurp(dir_ + "/stdout.txt"), "    6   12\r\n");
    EXPECT_EQ(slurp(dir_ + "/stderr.txt"), "");
    for (int k = 0; k < 600 && slurp(dir_ + "/got.txt") != "    6   12\r\n"; ++k) ::usleep(100000);
    EXPECT_EQ(slurp(dir_ + "/got.txt"), "    6   12\r\n");
}

TEST_F(ProgramEnd, FloatModeIsSetFirst) {
    auto r = run_helper(dir_, "float_mode");
    EXPECT_EQ(r.out, "  0.0000E+00  0.0000E+00\r\n");
}

TEST_F(ProgramEnd, RecordsAreWrittenAtAFatalEnd) {
    auto r = run_helper(dir_, "records_kept_at_fatal");
    EXPECT_EQ(r.status, 29);
    EXPECT_EQ(r.out, "listing line\r\n");
    EXPECT_EQ(slurp(dir_ + "/result.txt"), "   1.00000000000000     \r\n");
    EXPECT_EQ(slurp(dir_ + "/scratch.bin").size(), 12u);
}

// Asterisks are error 63, once for every such field: reported with "error", the record
// written, the run going on.
TEST_F(ProgramEnd, OutputConversionErrorIsNotFatal) {
    auto r = run_helper(dir_, "stars");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "***  1\r\n***\r\n****\r\n           2\r\n");
    const std::string line = "recordio_helper: error (63): output conversion error, unit 6, file stdout\r\n";
    EXPECT_EQ(r.err, line + line + line);
}

// An over-long line is not held whole: formatted reads see its first part and go on with
// the next line; a list-directed read of it is refused rather than losing values.
TEST_F(ProgramEnd, OverLongLineIsReadInABoundedBuffer) {
    auto r = run_helper(dir_, "long_line");
    EXPECT_EQ(r.status, 59);
    // The record shown is cut to 100 columns, and said to be the first part of its line.
    EXPECT_EQ(r.err, "recordio_helper: severe (59): list-directed I/O syntax error, unit 5, file long.txt\r\n"
                     "recordio_helper: record 1 of long.txt: \"   12" + repeat("   7", 23) +
                         "   \"... (cut: the line is longer than 1048576 columns)\r\n");
    ASSERT_EQ(r.out.size(), 22u) << r.out;
    EXPECT_EQ(r.out.substr(0, 10), "   12   34");
    EXPECT_LT(std::stol(r.out.substr(10, 10)), 4096) << "KiB held to read an 8 MiB line";
}

TEST_F(ProgramEnd, BlankFileNameIsAskedFor) {
    auto r = run_helper(dir_, "blank_name", "typed.txt\r\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "File name missing or blank - please enter file name\r\n");
    EXPECT_EQ(slurp(dir_ + "/typed.txt"), "typed\r\n");
}

TEST_F(ProgramEnd, ConsoleUnits) {
    auto r = run_helper(dir_, "console_echo", "abcdef\r\n 12, 2.5\r\n");
    EXPECT_EQ(r.out, "abcdef| 12  2.50\r\n");
    EXPECT_EQ(r.status, 24);  // the last read meets the end of standard input
    EXPECT_EQ(r.err, "recordio_helper: severe (24): end-of-file during read, unit 5, file stdin\r\n"
                     "recordio_helper: end of input after answer line 2\r\n");
    // An answer that is no number: its line, a Shift_JIS character not split at the cut.
    const std::string sjis = "\x83\x65";  // one double-byte character
    r = run_helper(dir_, "console_answer", "1\r\n" + repeat("a", 99) + sjis + "\r\n");
    EXPECT_EQ(r.status, 59);
    EXPECT_EQ(r.err, "recordio_helper: severe (59): list-directed I/O syntax error, unit -4, file stdin\r\n"
                     "recordio_helper: answer line 2: \"" + repeat("a", 99) + "\"...\r\n");
    r = run_helper(dir_, "stderr_unit");
    EXPECT_EQ(r.out, "out\r\n");
    EXPECT_EQ(r.err, "err\r\n");
}

}  // namespace
