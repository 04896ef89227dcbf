// Times the location of output-mesh points in a block of N x N x N hexahedra: through the
// grid of element boxes, and by the full scan of every element on a smaller block.
// Usage: interp_bench [N] [points] [N for the full scan]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

#include "point_location.hpp"
#include "writers.hpp"

namespace {

struct Block {
    std::vector<double> X, Y, Z;
    std::vector<std::int32_t> NOD;
    std::int32_t NUMNP = 0, NUMEL = 0;
};

// Unit hexahedra in the solver's node order (nodes 1-4 on the upper face), interior nodes
// shifted a little so that the elements are not all alike.
Block make_block(int n) {
    Block b;
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> jitter(-0.2, 0.2);
    auto id = [n](int i, int j, int k) { return 1 + i + (n + 1) * (j + (n + 1) * k); };
    for (int k = 0; k <= n; ++k)
        for (int j = 0; j <= n; ++j)
            for (int i = 0; i <= n; ++i) {
                const bool inner = i > 0 && i < n && j > 0 && j < n && k > 0 && k < n;
                b.X.push_back(i + (inner ? jitter(rng) : 0.0));
                b.Y.push_back(j + (inner ? jitter(rng) : 0.0));
                b.Z.push_back(k + (inner ? jitter(rng) : 0.0));
            }
    for (int k = 0; k < n; ++k)
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i) {
                const int e[8] = {id(i + 1, j + 1, k + 1), id(i, j + 1, k + 1), id(i, j, k + 1),
                                  id(i + 1, j, k + 1),     id(i + 1, j + 1, k), id(i, j + 1, k),
                                  id(i, j, k),             id(i + 1, j, k)};
                b.NOD.insert(b.NOD.end(), e, e + 8);
            }
    b.NUMNP = static_cast<std::int32_t>(b.X.size());
    b.NUMEL = n * n * n;
    return b;
}

double locate(const Block& b, int npt, bool indexed, std::int64_t& unlocated) {
    std::mt19937 rng(11);
    const double n = std::cbrt(static_cast<double>(b.NUMEL));
    std::uniform_real_distribution<double> u(-0.05 * n, 1.05 * n);
    auto mesh = std::make_unique<cnv::OutputMesh>();
    auto pts = std::make_unique<cnv::PointWeights>();
    mesh->NPT = npt;
    for (int i = 1; i <= npt; ++i) mesh->XP(i) = u(rng), mesh->YP(i) = u(rng), mesh->ZP(i) = u(rng);
    std::vector<double> x = b.X, y = b.Y, z = b.Z;
    std::vector<std::int32_t> nod = b.NOD;
    const cnv::Span1<double> X(x.data(), b.NUMNP), Y(y.data(), b.NUMNP), Z(z.data(), b.NUMNP);
    const cnv::Span2<std::int32_t> NOD(nod.data(), 8, b.NUMEL);
    cnv::TETTAB();
    const auto t0 = std::chrono::steady_clock::now();
    unlocated = cnv::locate_points(*mesh, *pts, X, Y, Z, NOD, b.NUMEL, indexed);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::atoi(argv[1]) : 100;
    const int npt = std::min(argc > 2 ? std::atoi(argv[2]) : 4444, 4444);
    const int nsmall = argc > 3 ? std::atoi(argv[3]) : 20;
    std::int64_t unloc = 0;
    const Block big = make_block(n);
    const double t = locate(big, npt, true, unloc);
    std::printf("block %d^3 (%d elements): %d points located through the grid in %.3f s "
                "(%lld outside)\n", n, big.NUMEL, npt, t, static_cast<long long>(unloc));
    const Block small = make_block(nsmall);
    std::int64_t u1 = 0, u2 = 0;
    const double tg = locate(small, npt, true, u1);
    const double tf = locate(small, npt, false, u2);
    std::printf("block %d^3 (%d elements): grid %.4f s, full scan %.3f s (%lld / %lld outside)\n",
                nsmall, small.NUMEL, tg, tf, static_cast<long long>(u1),
                static_cast<long long>(u2));
    return 0;
}
