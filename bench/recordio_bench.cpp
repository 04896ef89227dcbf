// Throughput of the record formatter on result-file sized data: list-directed REAL*8 write
// and read (3 values a record), formatted 1PE12.4 and E15.7 writes, against a plain
// snprintf/strtod baseline in the same run. Values per second, single thread.
//
// Usage: recordio_bench [values]   (default 3,000,000; files go to the current directory)
#include "recordio/recordio.hpp"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

long g_n = 3000000;
std::vector<double> g_values;

double seconds_since(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

void report(const char* what, double secs, long values) {
    std::printf("%-52s %8.3f s %10.2f M values/s\n", what, secs, values / secs / 1e6);
}

// Heads and coordinates of a large model: magnitudes from 1e-3 to 1e4, both signs.
void make_values() {
    std::mt19937_64 gen(12345);
    std::uniform_real_distribution<double> mant(-1.0, 1.0);
    std::uniform_int_distribution<int> ex(-3, 4);
    g_values.resize(static_cast<std::size_t>(g_n));
    for (double& v : g_values) v = mant(gen) * std::pow(10.0, ex(gen));
}

void bench_body() {
    const long n = g_n;
    const long rows = n / 3;
    std::vector<double>& v = g_values;
    double* X = v.data();
    double* Y = v.data() + 1;
    double* Z = v.data() + 2;

    // 1. List-directed write, one statement per record (the result file's node loop).
    rio::open(20, "bench_list.txt", rio::Status::Unknown, rio::Form::Formatted);
    auto t0 = Clock::now();
    for (long i = 0; i < rows; ++i) rio::write(20, "*", {X[3 * i], Y[3 * i], Z[3 * i]});
    rio::close(20);
    report("list-directed write, 3 REAL*8 per statement", seconds_since(t0), 3 * rows);

    // 2. List-directed write, one statement over the whole array (3 a record by width).
    rio::open(21, "bench_list_one.txt", rio::Status::Unknown, rio::Form::Formatted);
    t0 = Clock::now();
    rio::write(21, "*", {std::span<double>(v)});
    rio::close(21);
    report("list-directed write, one statement of all values", seconds_since(t0), n);

    // 3. List-directed read back, one statement per record.
    std::vector<double> back(v.size());
    rio::open(20, "bench_list.txt", rio::Status::Old, rio::Form::Formatted);
    t0 = Clock::now();
    for (long i = 0; i < rows; ++i) rio::read(20, "*", {back[3 * i], back[3 * i + 1], back[3 * i + 2]});
    report("list-directed read, 3 REAL*8 per statement", seconds_since(t0), 3 * rows);
    rio::close(20);

    // 4. List-directed read, one statement over the whole array.
    rio::open(21, "bench_list_one.txt", rio::Status::Old, rio::Form::Formatted);
    t0 = Clock::now();
    rio::read(21, "*", {std::span<double>(back)});
    report("list-directed read, one statement of all values", seconds_since(t0), n);
    rio::close(21);
    long mismatches = 0;
    char a[64], b[64];
    for (long i = 0; i < n; i += 997) {
        std::snprintf(a, sizeof a, "%.14E", v[static_cast<std::size_t>(i)]);
        std::snprintf(b, sizeof b, "%.14E", back[static_cast<std::size_t>(i)]);
        if (std::string(a) != b) ++mismatches;
    }
    if (mismatches) std::printf("  (read-back differs from the 15-digit value at %ld samples)\n", mismatches);

    // 5. Formatted writes.
    rio::open(22, "bench_fmt.txt", rio::Status::Unknown, rio::Form::Formatted);
    t0 = Clock::now();
    for (long i = 0; i < rows; ++i) rio::write(22, "(I6,1P3E12.4)", {static_cast<std::int32_t>(i), X[3 * i], Y[3 * i], Z[3 * i]});
    report("formatted write (I6,1P3E12.4) per node", seconds_since(t0), 3 * rows);
    t0 = Clock::now();
    rio::write(22, "(1P6E12.4)", {std::span<double>(v)});
    report("formatted write (1P6E12.4), one statement", seconds_since(t0), n);
    t0 = Clock::now();
    rio::write(22, "(5E15.7)", {std::span<double>(v)});
    report("formatted write (5E15.7), one statement", seconds_since(t0), n);
    rio::close(22);
}

void baseline() {
    const long n = g_n;
    const std::vector<double>& v = g_values;
    // snprintf("%.15E") into records of 3 values, written through stdio.
    auto t0 = Clock::now();
    {
        std::FILE* f = std::fopen("bench_base.txt", "wb");
        char rec[128];
        for (long i = 0; i + 2 < n; i += 3) {
            int k = std::snprintf(rec, sizeof rec, " %.15E %.15E %.15E\r\n", v[static_cast<std::size_t>(i)],
                                  v[static_cast<std::size_t>(i + 1)], v[static_cast<std::size_t>(i + 2)]);
            std::fwrite(rec, 1, static_cast<std::size_t>(k), f);
        }
        std::fclose(f);
    }
    report("baseline write: snprintf(\"%.15E\") + fwrite", seconds_since(t0), n / 3 * 3);
    // strtod over the same records.
    std::vector<double> back(v.size());
    t0 = Clock::now();
    {
        std::FILE* f = std::fopen("bench_base.txt", "rb");
        char line[256];
        long i = 0;
        while (std::fgets(line, sizeof line, f)) {
            char* p = line;
            for (int k = 0; k < 3; ++k) back[static_cast<std::size_t>(i++)] = std::strtod(p, &p);
        }
        std::fclose(f);
    }
    report("baseline read: fgets + strtod", seconds_since(t0), n / 3 * 3);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) g_n = std::atol(argv[1]);
    g_n -= g_n % 3;
    // The files of the runs go into a scratch directory, removed at the end.
    const std::filesystem::path home = std::filesystem::current_path();
    const std::filesystem::path scratch =
        std::filesystem::temp_directory_path() / ("recordio_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(scratch);
    std::filesystem::current_path(scratch);
    make_values();
    baseline();
    const int status = rio::run_program("recordio_bench", bench_body);
    std::filesystem::current_path(home);
    std::filesystem::remove_all(scratch);
    return status;
}
