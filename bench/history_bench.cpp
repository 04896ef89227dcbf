// Benchmark of the history program: a whole run on a result file (every block read, the
// listed values kept, the five files written) against reading the same file alone through
// the shared result-file reader.
//
//   history_bench RESULT_FILE HISTORY [REPEATS]
//
// A result file of the solver's 100^3 block with several steps:
//   solver_bench 100 --model DIR --unsteady && (cd DIR && solver)   gives DIR/RESULT.TXT
// Each measurement is repeated (default 3) and the fastest is reported, so both read the file
// from the page cache.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "recordio/recordio.hpp"
#include "result_file.hpp"

namespace {

using Clock = std::chrono::steady_clock;
double seconds_since(Clock::time_point t0) {
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

// Reads the header and every block of the result file; returns the number of blocks.
int read_alone(const std::string& path) {
    const int U = 5;
    rio::open(U, path, rio::Status::Old, rio::Form::Formatted);
    std::string title(80, ' ');
    std::int32_t N = 0, E = 0, P = 0;
    rio::read(U, "(A)", {title});
    rio::read(U, "*", {N, E, P});
    std::vector<double> xyz(3 * static_cast<std::size_t>(N)), node(2 * static_cast<std::size_t>(N)),
        elem(4 * static_cast<std::size_t>(E));
    std::vector<std::int32_t> nod(static_cast<std::size_t>(P) * E);
    auto v = [](std::vector<double>& a, std::int64_t part, std::int64_t n) {
        return core::Span1<double>(a.data() + part * n, n);
    };
    pp::read_model_part("history_bench", U, N, E, P, v(xyz, 0, N), v(xyz, 1, N), v(xyz, 2, N),
                        v(node, 0, N), v(node, 1, N), {}, core::Span2<std::int32_t>(nod.data(), P, E),
                        {});
    int blocks = 0;
    std::int32_t NSTEP = 0;
    double TIME = 0.0;
    while (pp::read_step_head(U, NSTEP, TIME) &&
           pp::read_step_values(U, true, N, E, v(node, 0, N), v(node, 1, N), {}, v(elem, 0, E),
                                v(elem, 1, E), v(elem, 2, E), v(elem, 3, E))) {
        ++blocks;
    }
    rio::close(U);
    return blocks;
}

// A point list of 50 nodes and 50 elements spread over the model, in every list.
void write_point_list(const std::filesystem::path& file, std::int32_t N, std::int32_t E) {
    std::ofstream f(file, std::ios::binary);
    f << "\r\n";
    for (int g = 0; g < 5; ++g) {
        const std::int32_t top = g < 3 ? N : E;
        char line[16];
        std::snprintf(line, sizeof line, "%5d", 50);
        f << line << "\r\n";
        for (int j = 0; j < 50; ++j) {
            std::snprintf(line, sizeof line, "%7d", 1 + static_cast<std::int32_t>(
                                                       static_cast<std::int64_t>(top - 1) * j / 49));
            f << line << ((j % 10 == 9) ? "\r\n" : "");
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: history_bench RESULT_FILE HISTORY [REPEATS]\n");
        return 2;
    }
    const std::filesystem::path result = std::filesystem::absolute(argv[1]);
    const std::string history = std::filesystem::absolute(argv[2]).string();
    const int repeats = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
    rio::set_float_mode();

    // The counts, for the point list.
    std::int32_t N = 0, E = 0, P = 0;
    {
        std::ifstream f(result);
        std::string title;
        std::getline(f, title);
        f >> N >> E >> P;
    }
    char tmpl[] = "/tmp/history_bench_XXXXXX";
    if (!mkdtemp(tmpl)) return 2;
    const std::filesystem::path dir = tmpl;
    std::filesystem::create_symlink(result, dir / "RESULT.TXT");
    write_point_list(dir / "PNT.DAT", N, E);
    std::ofstream(dir / "answers.txt", std::ios::binary) << "1\nRESULT.TXT\nPNT.DAT\n";
    const std::string cmd = "cd '" + dir.string() + "' && '" + history +
                            "' < answers.txt > console.txt 2> errors.txt";

    double best_read = 1e300, best_run = 1e300;
    int blocks = 0, status = 0;
    for (int r = 0; r < repeats; ++r) {
        auto t0 = Clock::now();
        blocks = read_alone(result.string());
        best_read = std::min(best_read, seconds_since(t0));
        t0 = Clock::now();
        status = std::system(cmd.c_str());
        best_run = std::min(best_run, seconds_since(t0));
    }
    const auto bytes = std::filesystem::file_size(result);
    std::printf("result file: %.1f MB, NUMNP %d, NUMEL %d, %d blocks\n", bytes / 1.0e6, N, E, blocks);
    std::printf("reading the file alone   %.2f s (%.0f MB/s)\n", best_read, bytes / 1.0e6 / best_read);
    std::printf("history run (5 x 50)     %.2f s (status %d)\n", best_run, status);
    std::printf("ratio                    %.2f\n", best_run / best_read);
    std::filesystem::remove_all(dir);
    return 0;
}
