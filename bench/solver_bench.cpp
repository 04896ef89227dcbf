// Benchmark of the matrix structure and the CG solve on a structured block of hexahedra;
// on request also writes the block as a steady model (WORK.LST and BLOCK.DAT) for the solver.
//
//   solver_bench [N | NX NY NZ] [--model DIR [--unsteady]] [--run SOLVER]
//
// N (default 100) elements along each side; 100 x 100 x 100 gives 1,030,301 nodes.
// Reports the time of COLHT and ADRSK (database written), of one assembly, of one CG
// iteration beside the time to read once every byte such an iteration touches (the matrix,
// its index arrays and the node vectors it reads and writes), the entry count NWK and the
// memory peak. The CG timing runs end at their iteration limit, so "999" appears
// on standard error. With --model DIR the block is written as a steady model (with --unsteady,
// the three-step unsteady one): run the solver in DIR. With --run SOLVER the given solver
// executable runs the block steady and then unsteady (three steps) in scratch directories, and
// the whole-run times, the time per step and per nonlinear iteration are reported.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "assembly.hpp"
#include "cg_solver.hpp"
#include "matrix_structure.hpp"
#include "recordio/recordio.hpp"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point t0) {
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

struct Block {
    int NX = 100, NY = 100, NZ = 100;
    int NUMNP = 0, NUMEL = 0;
    std::vector<std::int32_t> NOD, NPE, MTYP;

    int node(int i, int j, int k) const { return 1 + i + (NX + 1) * (j + (NY + 1) * k); }

    // Node order of a hexahedron: 1-4 on its upper face, 5-8 beneath them, same turning order.
    void generate() {
        NUMNP = (NX + 1) * (NY + 1) * (NZ + 1);
        NUMEL = NX * NY * NZ;
        NOD.assign(8 * static_cast<std::size_t>(NUMEL), 0);
        NPE.assign(NUMEL, 8);
        MTYP.assign(NUMEL, 1);
        std::size_t p = 0;
        for (int k = 0; k < NZ; ++k)
            for (int j = 0; j < NY; ++j)
                for (int i = 0; i < NX; ++i) {
                    const int up[4] = {node(i + 1, j + 1, k + 1), node(i, j + 1, k + 1),
                                       node(i, j, k + 1), node(i + 1, j, k + 1)};
                    const int dn[4] = {node(i + 1, j + 1, k), node(i, j + 1, k), node(i, j, k),
                                       node(i + 1, j, k)};
                    for (int l = 0; l < 4; ++l) NOD[p++] = up[l];
                    for (int l = 0; l < 4; ++l) NOD[p++] = dn[l];
                }
    }
};

// Text of one record, ended with CR LF.
void put(std::string& out, const char* fmt, auto... args) {
    char line[256];
    const int n = std::snprintf(line, sizeof line, fmt, args...);
    out.append(line, static_cast<std::size_t>(n));
    out += "\r\n";
}

void write_file(const std::filesystem::path& path, const std::string& text) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(text.data(), 1, text.size(), f) != text.size()) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(2);
    }
    std::fclose(f);
}

// A steady saturated block between two prescribed-head faces (x = 0 at head 110, x = NX at
// head 100), conductivity 1.0E-3, every other node starting at head 105. Node and element
// records are given for the first and last of each x-line and generated in between.
// Writes the block as a model: steady (KIND 1), or unsteady (KIND -1, three steps of 0.1
// from a uniform start between the two prescribed faces).
void write_model(const Block& b, std::int64_t NWK, const std::filesystem::path& dir,
                 bool unsteady = false) {
    std::filesystem::create_directories(dir);
    const double H_LEFT = 110.0, H_RIGHT = 100.0, H_START = 105.0;
    const std::int64_t NN = b.NUMNP, NE = b.NUMEL;
    // Work-array lengths: the run's totals with room to spare.
    const std::int64_t MTOTBD = 2 * NWK + 20 * NN + 4 * NE + 10000;
    const std::int64_t MTOTIB = NWK + 8 * NN + 14 * NE + 10000;

    std::string lst;
    for (const char* name : {"WORK.TMP", "SCR2.TMP", "SCR3.TMP", "SCR4.TMP", "RESULT2.TXT",
                             "RESULT.TXT"})
        put(lst, "%s", name);
    put(lst, "%lld", static_cast<long long>(MTOTBD));
    put(lst, "%lld", static_cast<long long>(MTOTIB));
    put(lst, "BLOCK.DAT");
    put(lst, "BLOCK.LST");
    write_file(dir / "WORK.LST", lst);

    std::string m;
    m.reserve(static_cast<std::size_t>(200 * (b.NY + 1) * (b.NZ + 1)) + 4096);
    char title[81];
    std::snprintf(title, sizeof title, "%s BLOCK %d X %d X %d HEXAHEDRA",
                  unsteady ? "UNSTEADY" : "STEADY", b.NX, b.NY, b.NZ);
    put(m, "%s", title);
    // NUMNP NUMEL NUMMAT IHEAD ITMAX ITSCH MAXSEP NPEMAX NINTXY NINTZ NCUL KIND ITMAX0 ITCGF
    // ISCR MESHCK
    put(m, "%7d%7d%6d%5d%5d%5d%5d%5d%5d%5d%5d%5d%5d%5d%2d%3d", b.NUMNP, b.NUMEL, 1, 1, 10, 1, 0,
        8, 2, 2, 5, unsteady ? -1 : 1, 20, 0, 0, 0);
    put(m, "%5d%5d%5d%5d%5d%5d", 0, 0, 0, 0, 0, 0);
    put(m, "%5d%5d%5d%5d%5d%5d%10.3f", 0, 0, 0, 0, 0, 0, 0.0);
    // NKODE NINIT IBTIME SEPFIL LISTIN IELVAR IEVOFF IHBFIX NDCNT ITHSW OMEGA IDBASE
    put(m, "%7d%7d%1d%5d%5d%5d%5d%5d%5d%5d%10.3f%5d", 2, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0.0, 0);
    put(m, "%5d%5d%5d%5d%5d", 0, 0, 0, 0, 0);
    put(m, "%5d%5d%5d", 0, 0, 0);
    put(m, "%5d%5d", 2, 2);  // NRK(1), NPSI(1)

    // Elements: first and last of every x-row; the ones between follow by increment 1.
    auto elem = [&](int e) {
        const std::int32_t* n = &b.NOD[8 * static_cast<std::size_t>(e - 1)];
        put(m, "ELEM %7d%7d%7d%7d%7d%7d%7d%7d%7d%3d%3d%7d", e, n[0], n[1], n[2], n[3], n[4], n[5],
            n[6], n[7], 8, 1, 1);
    };
    for (int row = 0; row < b.NY * b.NZ; ++row) {
        elem(row * b.NX + 1);
        if (b.NX > 1) elem(row * b.NX + b.NX);
    }
    if (unsteady)
        put(m, "TIME %10.3f%10.3f%10.3f%10.3f%10.3E%5d%5d", 0.1, 0.1, 1.0, 0.3, 1.0e-3, 1, 1);
    else
        put(m, "TIME %10.3f%10.3f%10.3f%10.3f%10.3E%5d%5d", 1.0, 1.0, 1.0, 1.0, 1.0e-3, 1, 1);
    put(m, "UNIT %10.3f%10.3f", 1.0, 1.0);
    put(m, "PROP %10.3E%10.3E%10.3E%10.3f%10.3E%5d", 1.0e-3, 1.0e-3, 1.0e-3, 0.3, 1.0e-4, 0);
    put(m, "UNSAT");
    put(m, "%10.3f%10.3f%10.3f%10.3f", 0.1, 0.0, 0.3, 1.0);    // moisture, relative conductivity
    put(m, "%10.3f%10.3f%10.3f%10.3f", 0.1, 100.0, 0.3, 0.0);  // moisture, suction: dry to wet

    // Nodes: both ends of every x-line (total heads, IHEAD = 1); the ones between are
    // interpolated.
    auto nodrec = [&](int i, int j, int k) {
        put(m, "NODE %7d%3d%10.3f%10.3f%10.3f%10.3f%10.3f", b.node(i, j, k), 0,
            static_cast<double>(i), static_cast<double>(j), static_cast<double>(k), H_START, 0.0);
    };
    for (int k = 0; k <= b.NZ; ++k)
        for (int j = 0; j <= b.NY; ++j) {
            nodrec(0, j, k);
            nodrec(b.NX, j, k);
        }
    // The two faces: prescribed codes, then their heads.
    const int step = b.NX + 1;
    const int last_row = b.node(0, b.NY, b.NZ);
    put(m, "KODE %7d%7d%7d%4d", 1, last_row, step, 1);
    put(m, "KODE %7d%7d%7d%4d", 1 + b.NX, last_row + b.NX, step, 1);
    put(m, "INIT %7d%7d%7dH%23.3f", 1, last_row, step, H_LEFT);
    put(m, "INIT %7d%7d%7dH%23.3f", 1 + b.NX, last_row + b.NX, step, H_RIGHT);
    write_file(dir / "BLOCK.DAT", m);
    std::printf("model written: %s (WORK.LST, BLOCK.DAT; MTOTBD %lld, MTOTIB %lld)\n",
                dir.c_str(), static_cast<long long>(MTOTBD), static_cast<long long>(MTOTIB));
}

// Counts the listing lines that contain `text`.
int count_lines(const std::filesystem::path& file, const char* text) {
    std::FILE* f = std::fopen(file.c_str(), "rb");
    if (!f) return 0;
    char line[512];
    int n = 0;
    while (std::fgets(line, sizeof line, f))
        if (std::strstr(line, text)) ++n;
    std::fclose(f);
    return n;
}

// Runs the solver executable on the block written into a scratch directory; prints the
// whole-run time and, per step and per nonlinear iteration, the share of it.
void whole_run(const Block& b, std::int64_t NWK, const std::string& solver, bool unsteady) {
    char tmpl[] = "/tmp/solver_run_XXXXXX";
    if (!mkdtemp(tmpl)) return;
    const std::filesystem::path dir = tmpl;
    write_model(b, NWK, dir, unsteady);
    const std::string cmd = "cd '" + dir.string() + "' && '" + solver + "' > console.txt 2>&1";
    const auto t0 = Clock::now();
    const int status = std::system(cmd.c_str());
    const double t = seconds_since(t0);
    const auto listing = dir / "BLOCK.LST";
    const int passes = count_lines(listing, "TIME STEP =");
    const int solves = count_lines(listing, "SUCCESS TO CONVERGENCE IN SOLVER");
    std::printf("%s run                %.2f s (status %d): %d passes, %d nonlinear iterations\n",
                unsteady ? "unsteady" : "steady  ", t, status, passes, solves);
    if (unsteady && passes > 0 && solves > 0)
        std::printf("  per step %.2f s, per nonlinear iteration %.2f s\n", t / passes, t / solves);
    std::filesystem::remove_all(dir);
}

// Sum of the elements of an array taken as unsigned integers: additions that may be reordered
// and vectorized, so the loop runs as fast as memory delivers the bytes (a sum of doubles is
// one dependent chain of additions, slower than the memory).
template <class T>
std::uint64_t read_all(const std::vector<T>& a) {
    std::uint64_t s = 0;
    for (const T& x : a) {
        if constexpr (sizeof(T) == 8)
            s += std::bit_cast<std::uint64_t>(x);
        else
            s += std::bit_cast<std::uint32_t>(x);
    }
    return s;
}

// Runs SOLVCG for at most `iterations` iterations; returns the seconds it took.
double timed_solve(const sol::Units& u, std::vector<double>& sk, std::vector<double>& grav,
                   std::vector<double>& psi, std::vector<std::int32_t>& isp,
                   std::vector<std::int32_t>& maxa, std::vector<std::int32_t>& kode, int NUMNP,
                   int iterations) {
    std::vector<double> res(NUMNP), pdir(NUMNP), diag(NUMNP);
    std::vector<std::int32_t> ifree(NUMNP);
    core::Span1<double> SK(sk.data(), sk.size()), GRAV(grav.data(), NUMNP), PSI(psi.data(), NUMNP),
        RES(res.data(), NUMNP), PDIR(pdir.data(), NUMNP), DIAG(diag.data(), NUMNP);
    core::Span1<std::int32_t> ISP(isp.data(), isp.size()), MAXA(maxa.data(), NUMNP + 1),
        KODE(kode.data(), NUMNP), IFREE(ifree.data(), NUMNP);
    const auto t0 = Clock::now();
    try {
        sol::SOLVCG(u, SK, GRAV, PSI, ISP, MAXA, RES, PDIR, KODE, IFREE, DIAG, NUMNP, iterations);
    } catch (const rio::ProgramEnd&) {
        // The iteration limit is the point of the run: stop 999 after `iterations`.
    }
    return seconds_since(t0);
}

}  // namespace

int main(int argc, char** argv) {
    Block b;
    std::vector<int> sizes;
    std::filesystem::path model_dir;
    std::string solver;
    bool unsteady_model = false;
    for (int a = 1; a < argc; ++a) {
        if (std::strcmp(argv[a], "--model") == 0 && a + 1 < argc) {
            model_dir = std::filesystem::absolute(argv[++a]);
        } else if (std::strcmp(argv[a], "--unsteady") == 0) {
            unsteady_model = true;
        } else if (std::strcmp(argv[a], "--run") == 0 && a + 1 < argc) {
            solver = std::filesystem::absolute(argv[++a]).string();
        } else if (std::atoi(argv[a]) > 0) {
            sizes.push_back(std::atoi(argv[a]));
        } else {
            std::fprintf(stderr, "usage: solver_bench [N | NX NY NZ] [--model DIR [--unsteady]] [--run SOLVER]\n");
            return 2;
        }
    }
    if (sizes.size() == 1) b.NX = b.NY = b.NZ = sizes[0];
    if (sizes.size() == 3) b.NX = sizes[0], b.NY = sizes[1], b.NZ = sizes[2];
    rio::set_float_mode();

    // 1. Mesh.
    b.generate();
    std::printf("block %d x %d x %d: NUMNP %d, NUMEL %d\n", b.NX, b.NY, b.NZ, b.NUMNP, b.NUMEL);

    // Work in a scratch directory: the structure writes its database "fort.55" there.
    const std::filesystem::path home = std::filesystem::current_path();
    char tmpl[] = "/tmp/solver_bench_XXXXXX";
    if (!mkdtemp(tmpl)) return 2;
    const std::filesystem::path scratch = tmpl;
    std::filesystem::current_path(scratch);

    sol::Control ctl;
    ctl.NUMNP = b.NUMNP;
    ctl.NUMEL = b.NUMEL;
    sol::Units u;
    rio::open(u.IW, "BENCH.LST", rio::Status::Unknown, rio::Form::Formatted);
    std::vector<std::int32_t> maxa(b.NUMNP + 1);
    sol::MeshArrays mesh;
    mesh.NOD = core::Span2<std::int32_t>(b.NOD.data(), 8, b.NUMEL);
    mesh.NPE = core::Span1<std::int32_t>(b.NPE.data(), b.NUMEL);
    mesh.MTYP = core::Span1<std::int32_t>(b.MTYP.data(), b.NUMEL);
    mesh.MAXA = core::Span1<std::int32_t>(maxa.data(), b.NUMNP + 1);

    // 2. Structure: COLHT, ISP zeroed, ADRSK, database on disk.
    std::fflush(stdout);
    const auto t0 = Clock::now();
    const std::int64_t NWK = sol::COLHT(ctl, u, mesh);
    const double t_colht = seconds_since(t0);
    std::vector<std::int32_t> isp(static_cast<std::size_t>(NWK), 0);
    core::Span1<std::int32_t> ISP(isp.data(), NWK);
    sol::ADRSK(ctl, mesh, NWK, ISP);
    rio::close(55);
    const double t_structure = seconds_since(t0);

    // 3. One assembly of the saturated block (variant A, 2 x 2 x 2 points).
    double t_assemb = 0.0;
    {
        std::vector<double> x(b.NUMNP), y(b.NUMNP), z(b.NUMNP), q(b.NUMNP, 0.0), psi(b.NUMNP, 1.0);
        for (int k = 0; k <= b.NZ; ++k)
            for (int j = 0; j <= b.NY; ++j)
                for (int i = 0; i <= b.NX; ++i) {
                    const int n = b.node(i, j, k) - 1;
                    x[n] = i;
                    y[n] = j;
                    z[n] = k;
                }
        std::vector<double> tab = {0.1, 0.3};
        std::vector<double> sk(static_cast<std::size_t>(NWK)), sks(static_cast<std::size_t>(NWK)),
            grav(b.NUMNP), gravs(b.NUMNP), capv(b.NUMNP), hw(b.NUMNP, 1.0), hold(b.NUMNP, 1.0);
        std::vector<std::int32_t> kode(b.NUMNP, 0), eflag(b.NUMEL, 0);
        sol::Control c = ctl;
        c.NUMMAT = 1;
        c.NINTXY = c.NINTZ = 2;
        c.STORE = 1;
        sol::Materials mat;
        mat.CONS1 = mat.CONS2 = 1.0;
        mat.K1[1] = mat.K2[1] = mat.K3[1] = 1.0e-3;
        mat.POROSITY[1] = 0.3;
        mat.SS[1] = 1.0e-4;
        mat.NRK[1] = mat.NPSI[1] = mat.NCAP[1] = 2;
        core::Span2<double> T(tab.data(), 2, 1);
        mesh.tab = {T, T, T, T, T, T};
        mesh.X = core::Span1<double>(x.data(), b.NUMNP);
        mesh.Y = core::Span1<double>(y.data(), b.NUMNP);
        mesh.Z = core::Span1<double>(z.data(), b.NUMNP);
        mesh.Q = core::Span1<double>(q.data(), b.NUMNP);
        mesh.PSI = core::Span1<double>(psi.data(), b.NUMNP);
        mesh.KODE = core::Span1<std::int32_t>(kode.data(), b.NUMNP);
        sol::SystemArrays sys{core::Span1<double>(sk.data(), NWK), core::Span1<double>(sks.data(), NWK),
                             core::Span1<double>(grav.data(), b.NUMNP),
                             core::Span1<double>(gravs.data(), b.NUMNP),
                             core::Span1<double>(capv.data(), b.NUMNP),
                             core::Span1<double>(hw.data(), b.NUMNP),
                             core::Span1<double>(hold.data(), b.NUMNP), ISP};
        core::Span1<std::int32_t> EFLAG(eflag.data(), b.NUMEL);
        t_assemb = 1e30;
        for (int rep = 0; rep < 2; ++rep) {
            const auto ta = Clock::now();
            sol::ASSEMB(c, u, mat, mesh, sys, EFLAG, 2, 0.1, 0.1, 0);
            t_assemb = std::min(t_assemb, seconds_since(ta));
        }
    }

    // 4. A symmetric, diagonally dominant system on that structure: -1 off the diagonal,
    //    the two x-faces prescribed.
    std::vector<double> sk(static_cast<std::size_t>(NWK), -1.0);
    std::vector<std::int32_t> kode(b.NUMNP, 0);
    std::vector<double> psi0(b.NUMNP, 0.0), grav0(b.NUMNP, 0.0);
    for (int n = 1; n <= b.NUMNP; ++n) sk[maxa[n - 1] - 1] = (maxa[n] - maxa[n - 1] - 1) + 0.01;
    for (int k = 0; k <= b.NZ; ++k)
        for (int j = 0; j <= b.NY; ++j) {
            kode[b.node(0, j, k) - 1] = 1;
            kode[b.node(b.NX, j, k) - 1] = 1;
            psi0[b.node(0, j, k) - 1] = 110.0;
            psi0[b.node(b.NX, j, k) - 1] = 100.0;
        }
    const std::vector<double> sk0 = sk;

    // 5. One CG iteration: the difference of two limited solves, so set-up is left out.
    const int few = 5, many = 25;
    double best_iter = 1e30;
    for (int rep = 0; rep < 3; ++rep) {
        double t[2];
        int lim[2] = {few, many};
        for (int r = 0; r < 2; ++r) {
            sk = sk0;
            std::vector<double> psi = psi0, grav = grav0;
            t[r] = timed_solve(u, sk, grav, psi, isp, maxa, kode, b.NUMNP, lim[r]);
        }
        best_iter = std::min(best_iter, (t[1] - t[0]) / (many - few));
    }

    // 6. The bound: one read of every byte a CG iteration touches. The iteration reads SK,
    //    ISP, MAXA and the free-node list, and reads or writes five node vectors (DIAG, PDIR,
    //    RES, A times PDIR, PSI); each array is read once here, as memory allows.
    const int NF = static_cast<int>(std::count_if(kode.begin(), kode.end(), [](int k) { return k < 1; }));
    std::vector<std::int32_t> ifree(static_cast<std::size_t>(NF), 1);
    std::vector<std::vector<double>> vectors(5, std::vector<double>(b.NUMNP, 1.0));
    const double touched = 12.0 * NWK + 4.0 * (b.NUMNP + 1) + 4.0 * NF + 5 * 8.0 * b.NUMNP;
    double best_read = 1e30;
    std::uint64_t sink = 0;
    for (int rep = 0; rep < 5; ++rep) {
        const auto ts = Clock::now();
        std::uint64_t s = read_all(sk) + read_all(isp) + read_all(maxa) + read_all(ifree);
        for (const auto& v : vectors) s += read_all(v);
        sink += s;
        best_read = std::min(best_read, seconds_since(ts));
    }

    struct rusage ru {};
    getrusage(RUSAGE_SELF, &ru);
    std::printf("matrix entries NWK        %lld\n", static_cast<long long>(NWK));
    std::printf("COLHT                     %.3f s\n", t_colht);
    std::printf("COLHT + ADRSK + fort.55   %.3f s\n", t_structure);
    std::printf("one assembly              %.3f s  (%.2f us per element)\n", t_assemb,
                1e6 * t_assemb / b.NUMEL);
    std::printf("one CG iteration          %.4f s  (%.1f GB/s of the bytes it touches)\n",
                best_iter, touched / best_iter / 1e9);
    std::printf("read those bytes once     %.4f s  (%.0f MB, %.1f GB/s; CG iteration / read %.2f)\n",
                best_read, touched / 1e6, touched / best_read / 1e9, best_iter / best_read);
    std::printf("memory peak               %.0f MB\n", ru.ru_maxrss / 1024.0);
    if (sink == 42) std::printf(" \n");

    rio::close_all();
    std::filesystem::current_path(home);
    std::filesystem::remove_all(scratch);

    // 7. The model file for a whole run of the solver, and whole runs.
    if (!model_dir.empty()) write_model(b, NWK, model_dir, unsteady_model);
    if (!solver.empty()) {
        whole_run(b, NWK, solver, false);
        whole_run(b, NWK, solver, true);
    }
    return 0;
}
