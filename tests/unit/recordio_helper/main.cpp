// Runs one end-of-program scenario of the record formatter, named by the first argument,
// so that the tests can check standard error, the files left behind and the exit status.
#include "recordio/recordio.hpp"
#include "../../../recordio/src/internal.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

std::string g_scenario;
std::string g_scenario_arg;

// A close that reports a failed write-back, as a network file system or a full quota may.
int failing_close(int fd) {
    ::close(fd);
    errno = EIO;
    return -1;
}

// Writes `bytes` as the file `name` and opens it (status OLD) on `unit`.
void open_with(int unit, const char* name, const std::string& bytes, rio::Form form) {
    {
        std::ofstream f(name, std::ios::binary);
        f << bytes;
    }
    rio::open(unit, name, rio::Status::Old, form);
}

void body() {
    using rio::Form;
    using rio::Status;
    const std::string& s = g_scenario;
    std::int32_t i = 0, j = 0;
    double x = 0;
    if (s == "stop999") {
        rio::write(6, "('before the stop')");
        rio::stop(999);
    } else if (s == "stop8001") {
        rio::stop(8001);
    } else if (s == "plain_stop") {
        rio::open(11, "kept.txt", Status::Unknown, Form::Formatted);
        rio::write(11, "('kept')");
        rio::stop();
    } else if (s == "return") {
        rio::write(rio::kConsoleOut, "*", {"done", 1});
    } else if (s == "missing_old") {
        rio::open(98, "WORK.LST", Status::Old, Form::Formatted);
    } else if (s == "missing_default") {
        rio::read(77, "*", {i});
    } else if (s == "read_past_end") {
        open_with(10, "one.txt", "    1\r\n", Form::Formatted);
        rio::read(10, "(I5)", {i});
        rio::read(10, "(I5)", {i});
    } else if (s == "stray_character") {
        open_with(5, "bad.txt", "  1x3\r\n", Form::Formatted);
        rio::read(5, "(I5)", {i});
    } else if (s == "integer_overflow") {
        open_with(5, "big.txt", "9999999999\r\n", Form::Formatted);
        rio::read(5, "(I10)", {i});
    } else if (s == "list_syntax") {
        open_with(5, "list.txt", "1 2.5\r\n", Form::Formatted);
        rio::read(5, "*", {i, j});
    } else if (s == "list_overflow") {
        open_with(5, "list.txt", "3000000000\r\n", Form::Formatted);
        rio::read(5, "*", {i});
    } else if (s == "list_nan") {
        open_with(5, "list.txt", "NaN\r\n", Form::Formatted);
        rio::read(5, "*", {x});
    } else if (s == "unf_too_much") {
        rio::open(3, "s.bin", Status::Unknown, Form::Unformatted);
        rio::write_unf(3, {1});
        rio::rewind(3);
        rio::read_unf(3, {i, j});
    } else if (s == "unf_lengths_differ") {
        open_with(3, "s.bin", std::string("\x04\0\0\0\x01\0\0\0\x05\0\0\0", 12), Form::Unformatted);
        rio::read_unf(3, {i});
    } else if (s == "unf_cut_short") {
        open_with(3, "s.bin", std::string("\x08\0\0\0\x01\0\0\0", 8), Form::Unformatted);
        rio::read_unf(3, {i});
    } else if (s == "unf_past_end") {
        rio::open(3, "empty.bin", Status::Unknown, Form::Unformatted);
        rio::read_unf(3, {i});
    } else if (s == "name_too_long") {
        rio::open(7, std::string(5000, 'n'), Status::Unknown, Form::Formatted);
    } else if (s == "open_directory") {
        rio::open(7, ".", Status::Unknown, Form::Formatted);
    } else if (s == "no_such_directory") {
        rio::open(7, "nodir/x.txt", Status::Unknown, Form::Formatted);
    } else if (s == "blank_name") {
        rio::open(7, "    ", Status::Unknown, Form::Formatted);
        rio::write(7, "('typed')");
    } else if (s == "blank_name_eof") {
        rio::open(7, "", Status::Unknown, Form::Formatted);
    } else if (s == "stars") {
        rio::write(6, "(I3,I3)", {12345, 1});
        rio::write(6, "(I3/F4.1)", {-1000, 1.0e9});
        rio::write(6, "*", {std::int32_t(2)});
    } else if (s == "records_kept_at_fatal") {
        rio::open(10, "result.txt", Status::Unknown, Form::Formatted);
        rio::write(10, "*", {1.0});
        rio::open(2, "scratch.bin", Status::Unknown, Form::Unformatted);
        rio::write_unf(2, {7});
        rio::write(6, "('listing line')");
        rio::read(77, "*", {i});
    } else if (s == "bad_format") {
        rio::write(6, "(I5", {1});
    } else if (s == "out_of_memory") {
        throw std::bad_alloc();
    } else if (s == "console_echo") {
        // Unit 5 and -4 read standard input; CR before LF is dropped.
        std::string word(6, ' ');
        rio::read(5, "(A6)", {word});
        rio::read(rio::kConsoleIn, "*", {i, x});
        rio::write(6, "(A,'|',I3,F6.2)", {word, i, x});
        rio::read(5, "*", {i});
    } else if (s == "float_mode") {
        // Flush-to-zero and denormals-are-zero are in force in the program body.
        volatile double tiny = 1.0e-310;
        volatile double small = 1.0e-300;
        const double product = small * 1.0e-10;
        const double same = tiny * 1.0;
        rio::write(6, "(2E12.4)", {product, same});
    } else if (s == "write_error") {
        rio::open(7, "/dev/full", Status::Old, Form::Formatted);
        rio::write(7, "('lost')");
    } else if (s == "long_line") {
        // 8 MiB of values without a line feed after the first value, then a short record.
        {
            std::ofstream f("long.txt", std::ios::binary);
            f << "   12";
            std::string chunk;
            while (chunk.size() < (1 << 16)) chunk += "   7";
            for (int k = 0; k < 128; ++k) f << chunk;
            f << "\r\n   34\r\n";
        }
        struct rusage before {}, after {};
        getrusage(RUSAGE_SELF, &before);
        rio::open(5, "long.txt", Status::Old, Form::Formatted);
        rio::read(5, "(I5)", {i});
        rio::read(5, "(I5)", {j});
        getrusage(RUSAGE_SELF, &after);
        const std::int32_t grown_kib = static_cast<std::int32_t>(after.ru_maxrss - before.ru_maxrss);
        rio::write(6, "(2I5,I10)", {i, j, grown_kib});
        // List-directed, the values past the kept part would be lost: refused.
        rio::rewind(5);
        rio::read(5, "*", {i});
    } else if (s == "flush_error") {
        rio::open(7, "/dev/full", Status::Old, Form::Formatted);
        rio::write(7, "('lost')");
        rio::flush(7);
        rio::write(6, "('not reached')");
    } else if (s == "same_file") {
        // The model under another spelling and under a second name (a hard link).
        open_with(5, "model.dat", "MODEL\r\n", Form::Formatted);
        std::filesystem::create_hard_link("model.dat", "alias.dat");
        if (g_scenario_arg == "link") rio::open(6, "alias.dat", Status::Unknown, Form::Formatted);
        rio::open(6, "./model.dat", Status::Unknown, Form::Formatted);
        rio::write(6, "('LISTING')");
    } else if (s == "copy_record" || s == "copy_end") {
        // A working copy made line by line; its third line holds control characters.
        const bool empty = s == "copy_end";
        open_with(5, empty ? "empty.dat" : "model.dat",
                  empty ? "" : "    1\r\n    2\r\n\x1b[2J  \t 7x\r\n", Form::Formatted);
        rio::open(1, "copy.wrk", Status::Replace, Form::Formatted);
        std::string line(90, ' ');
        while (rio::read_or_end(5, "(A90)", {line})) rio::write(1, "(A90)", {line});
        rio::rewind(1);
        rio::set_copy_of(1, rio::unit_name(5));
        for (int k = 0; k < 3; ++k) rio::read(1, "(I5)", {i});
    } else if (s == "read_failure") {
        // The start of the process's own memory is never mapped: the read itself fails.
        rio::open(5, "/proc/self/mem", Status::Old, Form::Formatted);
        rio::read(5, "(I5)", {i});
    } else if (s == "console_answer") {
        rio::read(rio::kConsoleIn, "*", {i});
        rio::read(rio::kConsoleIn, "*", {i});
    } else if (s == "close_error") {
        // Argument: "close" (closed by the program), "end" (closed at the end of the run),
        // "reopen" (the unit opened on another file), "read" (a file only read).
        open_with(8, "in.txt", "    5\r\n", Form::Formatted);
        rio::read(8, "(I5)", {i});
        rio::detail::close_call() = failing_close;
        if (g_scenario_arg != "read") {
            rio::open(7, "out.txt", Status::Unknown, Form::Formatted);
            rio::write(7, "(I5)", {i});
        }
        if (g_scenario_arg == "close") rio::close(7);
        if (g_scenario_arg == "reopen") rio::open(7, "other.txt", Status::Unknown, Form::Formatted);
        if (g_scenario_arg == "read") rio::close(8);
        rio::write(6, "('after')");
    } else if (s == "fifo_input") {
        // Values read to the end of a FIFO input, and the first value of each record of an
        // unformatted one; the results written to a FIFO output.
        rio::open(5, "in.fifo", Status::Old, Form::Formatted);
        std::int32_t sum = 0;
        while (rio::read_or_end(5, "*", {i})) sum += i;
        rio::open(9, "rec.fifo", Status::Old, Form::Unformatted);
        std::int32_t records = 0;
        while (rio::read_unf_or_end(9, {j})) records += j;
        rio::open(7, "out.fifo", Status::Unknown, Form::Formatted);
        rio::write(7, "(2I5)", {sum, records});
        rio::write(6, "(2I5)", {sum, records});
    } else if (s == "stderr_unit") {
        rio::write(6, "('out')");
        rio::write(rio::kStdErr, "('err')");
    } else {
        std::fprintf(stderr, "unknown scenario\n");
        rio::stop(2);
    }
}

}  // namespace

int main(int argc, char** argv) {
    g_scenario = argc > 1 ? argv[1] : "";
    g_scenario_arg = argc > 2 ? argv[2] : "";
    return rio::run_program("recordio_helper", body);
}
