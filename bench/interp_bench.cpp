// Times the location of output-mesh points in a block of N x N x N hexahedra: through the
// grid of element boxes, at the origin and shifted far from it in x and y, and by the full scan
// of every element on a smaller block (whose nodes and weights must match the grid's).
// Usage: interp_bench [N] [points] [N for the full scan] [shift]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

struct Located {
    std::unique_ptr<cnv::OutputMesh> mesh = std::make_unique<cnv::OutputMesh>();
    std::unique_ptr<cnv::PointWeights> pts = std::make_unique<cnv::PointWeights>();
    std::int64_t unlocated = 0;
    double seconds = 0.0;
};

// Locates npt random points (the same for every call) in the block moved by `shift` in x and y.
Located locate(const Block& b, int npt, bool indexed, double shift) {
    std::mt19937 rng(11);
    const double n = std::cbrt(static_cast<double>(b.NUMEL));
    std::uniform_real_distribution<double> u(-0.05 * n, 1.05 * n);
    Located r;
    r.mesh->NPT = npt;
    for (int i = 1; i <= npt; ++i) {
        r.mesh->XP(i) = u(rng) + shift;
        r.mesh->YP(i) = u(rng) + shift;
        r.mesh->ZP(i) = u(rng);
    }
    std::vector<double> x = b.X, y = b.Y, z = b.Z;
    for (double& v : x) v += shift;
    for (double& v : y) v += shift;
    std::vector<std::int32_t> nod = b.NOD;
    const cnv::Span1<double> X(x.data(), b.NUMNP), Y(y.data(), b.NUMNP), Z(z.data(), b.NUMNP);
    const cnv::Span2<std::int32_t> NOD(nod.data(), 8, b.NUMEL);
    cnv::TETTAB();
    const auto t0 = std::chrono::steady_clock::now();
    r.unlocated = cnv::locate_points(*r.mesh, *r.pts, X, Y, Z, NOD, b.NUMEL, indexed);
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    return r;
}

// True when both located every point in the same tetrahedron with the same weights, bit for bit.
bool same(const Located& a, const Located& b) {
    for (int i = 1; i <= a.mesh->NPT; ++i)
        for (int m = 1; m <= 4; ++m)
            if (a.pts->NTET(i, m) != b.pts->NTET(i, m) ||
                std::memcmp(&a.pts->WTET(i, m), &b.pts->WTET(i, m), sizeof(double)) != 0)
                return false;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::atoi(argv[1]) : 100;
    const int npt = std::min(argc > 2 ? std::atoi(argv[2]) : 4444, 4444);
    const int nsmall = argc > 3 ? std::atoi(argv[3]) : 20;
    const double shift = argc > 4 ? std::atof(argv[4]) : 1.0e8;
    const Block big = make_block(n);
    const Located at_origin = locate(big, npt, true, 0.0);
    std::printf("block %d^3 (%d elements): %d points located through the grid in %.3f s "
                "(%lld outside)\n", n, big.NUMEL, npt, at_origin.seconds,
                static_cast<long long>(at_origin.unlocated));
    const Located shifted = locate(big, npt, true, shift);
    std::printf("the same block shifted by %g in x and y: %.3f s (%.2f times; %lld outside)\n",
                shift, shifted.seconds, shifted.seconds / at_origin.seconds,
                static_cast<long long>(shifted.unlocated));
    const Block small = make_block(nsmall);
    for (const double s : {0.0, shift}) {
        const Located grid = locate(small, npt, true, s);
        const Located scan = locate(small, npt, false, s);
        std::printf("block %d^3 (%d elements) shifted by %g: grid %.4f s, full scan %.3f s "
                    "(%lld / %lld outside), %s\n", nsmall, small.NUMEL, s, grid.seconds,
                    scan.seconds, static_cast<long long>(grid.unlocated),
                    static_cast<long long>(scan.unlocated),
                    same(grid, scan) ? "same nodes and weights" : "NODES OR WEIGHTS DIFFER");
    }
    return 0;
}
