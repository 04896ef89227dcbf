// One unformatted record of more than 2 GiB written and read back through the record library,
// as the solver's matrix record of a box of some ten million nodes needs: time, disk, and a
// check of every value. The record is REAL*8 values i * 0.5 (i = 0, 1, ...), followed by a
// record of one INTEGER*4 7, so that a reader of another run-time library can check the file.
//
// Usage: big_record_bench [values [file]]
//   values  REAL*8 values in the record (default 280,000,000: 2.24 GB)
//   file    keep the file under this name and also read back a file of the same layout that
//           another program wrote there (default: a scratch file, removed at the end)
#include "recordio/recordio.hpp"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

long g_n = 280000000;
std::string g_file = "big_record.bin";
bool g_keep = false;

double seconds_since(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

// Reads the file back in full and then in part; returns the number of wrong values.
long read_back(std::vector<double>& v) {
    long wrong = 0;
    std::int32_t seven = 0;
    rio::open(2, g_file, rio::Status::Old, rio::Form::Unformatted);
    std::fill(v.begin(), v.end(), -1.0);
    auto t0 = Clock::now();
    rio::read_unf(2, {std::span<double>(v)});
    rio::read_unf(2, {seven});
    const double secs = seconds_since(t0);
    for (long i = 0; i < g_n; ++i) wrong += v[static_cast<std::size_t>(i)] != static_cast<double>(i) * 0.5;
    wrong += seven != 7;
    std::printf("read  %-40s %8.2f s %8.1f MB/s\n", "whole record, then the next", secs, 8.0 * g_n / secs / 1e6);
    // Only the first value: the rest of the chain is passed over to reach the next record.
    rio::rewind(2);
    double first = -1.0;
    seven = 0;
    t0 = Clock::now();
    rio::read_unf(2, {first});
    rio::read_unf(2, {seven});
    std::printf("read  %-40s %8.2f s\n", "first value, then the next record", seconds_since(t0));
    wrong += first != 0.0 || seven != 7;
    rio::close(2);
    return wrong;
}

void bench_body() {
    std::vector<double> v(static_cast<std::size_t>(g_n));
    for (long i = 0; i < g_n; ++i) v[static_cast<std::size_t>(i)] = static_cast<double>(i) * 0.5;
    const bool foreign = g_keep && std::filesystem::exists(g_file);
    if (!foreign) {
        rio::open(2, g_file, rio::Status::Replace, rio::Form::Unformatted);
        const auto t0 = Clock::now();
        rio::write_unf(2, {std::span<const double>(v)});
        rio::write_unf(2, {7});
        rio::close(2);
        const double secs = seconds_since(t0);
        std::printf("write %-40s %8.2f s %8.1f MB/s\n", "record of REAL*8 values", secs, 8.0 * g_n / secs / 1e6);
    }
    std::printf("file  %-40s %lld bytes (%ld data bytes)\n", g_file.c_str(),
                static_cast<long long>(std::filesystem::file_size(g_file)), 8 * g_n);
    const long wrong = read_back(v);
    std::printf("wrong values: %ld\n", wrong);
    if (wrong != 0) rio::stop(1);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) g_n = std::atol(argv[1]);
    if (argc > 2) {
        g_file = argv[2];
        g_keep = true;
    }
    const int status = rio::run_program("big_record_bench", bench_body);
    if (!g_keep) std::filesystem::remove(g_file);
    return status;
}
