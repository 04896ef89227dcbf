// Converter throughput on a result file: reading the whole file alone (header and every step
// block, list-directed) against whole converter runs writing the listing (form 0), TECPLOT
// (form 1), the FEMAP neutral file (form 2) and MicroAVS (form 3).
//   converter_bench RESULT [--run CONVERTER] [--repeat K]
// Each figure is the median of K runs (default 3), with the least beside it: on a shared
// machine the spread between runs is noise.
// Write RESULT with the solver first, e.g. solver_bench 100 --model DIR, then the solver in DIR.
// The form-0 run lists every block: its output data file names each block's time.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include "recordio/recordio.hpp"
#include "result_file.hpp"
#include "work_arrays.hpp"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point t0) {
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

// Processor time (user + system) of this process or of its finished children: on a shared
// machine it varies far less than the elapsed time.
double cpu_seconds(int who) {
    struct rusage ru {};
    getrusage(who, &ru);
    return ru.ru_utime.tv_sec + ru.ru_stime.tv_sec + 1.0e-6 * (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec);
}

struct Timing {
    double wall = 0.0, cpu = 0.0;
};

struct ReadFigures {
    Timing t;
    double values = 0.0;
    std::vector<double> times;  // of the blocks with a step number other than 0
};

// Reads the whole file as the converter does, into the converter's slices.
ReadFigures read_alone(const std::string& file) {
    ReadFigures r;
    const auto t0 = Clock::now();
    const double c0 = cpu_seconds(RUSAGE_SELF);
    rio::open(5, file, rio::Status::Old, rio::Form::Formatted);
    std::string title(80, ' ');
    std::int32_t N = 0, E = 0, P = 0;
    rio::read(5, "(A)", {title});
    rio::read(5, "*", {N, E, P});
    // The converter's own work arrays, so that both sides take their memory the same way.
    cnv::WorkArrays w = cnv::allocate_work(cnv::work_sizes(N, E, P, 0));
    const cnv::Slices s = cnv::cut_slices(w, N, E, P, 0);
    pp::read_model_part("converter_bench", 5, N, E, P, s.X, s.Y, s.Z, s.PSI, s.Q, s.KODE, s.NOD,
                        s.MTYP);
    r.values = 6.0 * N + (P + 1.0) * E;
    std::int32_t NSTEP = 0;
    double TIME = 0.0;
    while (pp::read_step_head(5, NSTEP, TIME)) {
        (void)pp::read_step_values(5, false, N, E, s.PSI, s.Q, s.KODE, s.VX, s.VY, s.VZ, s.TH);
        r.values += 2.0 + 3.0 * N + 4.0 * E;
        if (NSTEP != 0) r.times.push_back(TIME);
    }
    rio::close(5);
    r.t = {seconds_since(t0), cpu_seconds(RUSAGE_SELF) - c0};
    return r;
}

// Runs the converter in a scratch directory on the result file with the given answers.
Timing run_converter(const std::string& exe, const std::string& result, const std::string& answers,
                     const std::string& data_file) {
    char tmpl[] = "/tmp/converter_run_XXXXXX";
    if (!mkdtemp(tmpl)) return {};
    const std::filesystem::path dir = tmpl;
    std::filesystem::create_symlink(result, dir / "RESULT.TXT");
    if (!data_file.empty()) {
        std::FILE* f = std::fopen((dir / "TIMES.DAT").c_str(), "wb");
        std::fwrite(data_file.data(), 1, data_file.size(), f);
        std::fclose(f);
    }
    std::FILE* f = std::fopen((dir / "answers.txt").c_str(), "wb");
    std::fwrite(answers.data(), 1, answers.size(), f);
    std::fclose(f);
    const std::string cmd = "cd '" + dir.string() + "' && '" + exe +
                            "' < answers.txt > console.txt 2>&1";
    const auto t0 = Clock::now();
    const double c0 = cpu_seconds(RUSAGE_CHILDREN);
    const int status = std::system(cmd.c_str());
    const Timing t{seconds_since(t0), cpu_seconds(RUSAGE_CHILDREN) - c0};
    std::uintmax_t bytes = 0;
    for (const char* out : {"OUTPUT.TXT", "TECPLOT.TXT", "FEMAP.NEU", "AVS.INP", "AVS.tmp"}) {
        std::error_code ec;
        const auto n = std::filesystem::file_size(dir / out, ec);
        if (!ec) bytes += n;
    }
    std::printf("  (status %d, %.1f MB written)\n", status, bytes / 1.0e6);
    std::filesystem::remove_all(dir);
    return t;
}

// Output data file naming every block time: NTOUT, the times eight to a record, no mesh.
std::string times_file(const std::vector<double>& times) {
    std::string s;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%5d\r\n", static_cast<int>(times.size()));
    s += buf;
    for (std::size_t i = 0; i < times.size(); ++i) {
        std::snprintf(buf, sizeof buf, "%10.4f", times[i]);
        s += buf;
        if (i % 8 == 7 || i + 1 == times.size()) s += "\r\n";
    }
    return s + "    0    0\r\n";
}

// Median and least of a set of timings, each of elapsed and processor time on its own.
struct Summary {
    Timing median, least;
};

Summary summarise(std::vector<Timing> t) {
    Summary s;
    auto pick = [&](double Timing::*f, double& med, double& low) {
        std::sort(t.begin(), t.end(), [f](const Timing& a, const Timing& b) { return a.*f < b.*f; });
        low = t.front().*f;
        const std::size_t n = t.size();
        med = n % 2 ? t[n / 2].*f : 0.5 * (t[n / 2 - 1].*f + t[n / 2].*f);
    };
    pick(&Timing::wall, s.median.wall, s.least.wall);
    pick(&Timing::cpu, s.median.cpu, s.least.cpu);
    return s;
}

void bench(const std::string& result, const std::string& exe, int repeat) {
    ReadFigures r = read_alone(result);
    std::vector<Timing> reads{r.t};
    for (int k = 1; k < repeat; ++k) reads.push_back(read_alone(result).t);
    const Summary rs = summarise(reads);
    std::printf("read alone         %6.2f s elapsed %6.2f s processor (least %5.2f)  %6.2f M values/s"
                " (processor) (%zu timed blocks)\n",
                rs.median.wall, rs.median.cpu, rs.least.cpu, r.values / rs.median.cpu / 1.0e6,
                r.times.size());
    if (exe.empty()) return;
    // Form 7 opens no file and writes no result: the converter's own reading and set-up.
    struct Run {
        const char* label;
        std::string answers, data;
    };
    const Run runs[] = {
        {"no output (form 7)", "1\nRESULT.TXT\n7\n0\n", ""},
        {"form 0 (listing)  ", "1\nRESULT.TXT\n0\nTIMES.DAT\n", times_file(r.times)},
        {"form 1 (TECPLOT)  ", "1\nRESULT.TXT\n1\n0\n", ""},
        {"form 2 (FEMAP)    ", "1\nRESULT.TXT\n2\n0\n", ""},
        {"form 3 (MicroAVS) ", "1\nRESULT.TXT\n3\n0\n", ""},
    };
    for (const Run& run : runs) {
        std::vector<Timing> t;
        for (int k = 0; k < repeat; ++k) t.push_back(run_converter(exe, result, run.answers, run.data));
        const Summary s = summarise(t);
        std::printf("%s %6.2f s elapsed %6.2f s processor (least %5.2f)  %6.2f x read alone"
                    " (least %5.2f x)\n",
                    run.label, s.median.wall, s.median.cpu, s.least.cpu, s.median.cpu / rs.median.cpu,
                    s.least.cpu / rs.least.cpu);
    }
}

}  // namespace

int main(int argc, char** argv) {
    static std::string result, exe;
    static int repeat = 3;
    for (int a = 1; a < argc; ++a) {
        if (std::strcmp(argv[a], "--repeat") == 0 && a + 1 < argc) {
            repeat = std::max(1, std::atoi(argv[++a]));
        } else if (std::strcmp(argv[a], "--run") == 0 && a + 1 < argc) {
            exe = std::filesystem::absolute(argv[++a]).string();
        } else if (result.empty()) {
            result = std::filesystem::absolute(argv[a]).string();
        } else {
            std::fprintf(stderr, "usage: converter_bench RESULT [--run CONVERTER] [--repeat K]\n");
            return 2;
        }
    }
    if (result.empty()) {
        std::fprintf(stderr, "usage: converter_bench RESULT [--run CONVERTER] [--repeat K]\n");
        return 2;
    }
    return rio::run_program("converter_bench", [] { bench(result, exe, repeat); });
}
