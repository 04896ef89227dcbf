// Location of the output-mesh points in the tetrahedra of the 3-D model, and the heads there.
#include "point_location.hpp"

#include <algorithm>
#include <cmath>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "recordio/recordio.hpp"
#include "writers.hpp"

namespace cnv {

namespace {

// Local node numbers of the tetrahedra an element is split into: columns 1-3 a prism,
// columns 4-9 a hexahedron; ITET[r][m] is local node m+1 of column r+1.
std::array<std::array<std::int32_t, 4>, 9> ITET{};

// Column of the split table that holds tetrahedron k (1-based) of an element of NPE nodes.
int tet_column(int k, int NPE) { return NPE == 6 ? k - 1 : k + 2; }

}  // namespace

void TETTAB() {
    ITET = {{{1, 2, 3, 4}, {3, 5, 6, 4}, {2, 5, 3, 4},                     // prism
             {1, 2, 4, 5}, {4, 6, 8, 5}, {2, 6, 4, 5},                     // hexahedron
             {2, 3, 4, 6}, {4, 7, 8, 6}, {3, 7, 4, 6}}};
}

double TETVOL(const TetVerts& VTET) {
    const auto& p1 = VTET[0];
    double a[3], b[3], c[3];
    for (int d = 0; d < 3; ++d) {
        a[d] = VTET[1][d] - p1[d];
        b[d] = VTET[2][d] - p1[d];
        c[d] = VTET[3][d] - p1[d];
    }
    const double cx = b[1] * c[2] - b[2] * c[1];
    const double cy = b[2] * c[0] - b[0] * c[2];
    const double cz = b[0] * c[1] - b[1] * c[0];
    const double triple = a[0] * cx + a[1] * cy + a[2] * cz;
    return -triple / 6.0;
}

double TETGAT(TetVerts& VTET, const double* XE, const double* YE, const double* ZE, int k,
              int NPE) {
    const auto& col = ITET[tet_column(k, NPE)];
    for (int m = 0; m < 4; ++m) {
        const int c = col[m] - 1;
        VTET[m] = {XE[c], YE[c], ZE[c]};
    }
    return TETVOL(VTET);
}

double TETSUB(double XI, double YI, double ZI, TetVerts& VTET, const double* XE,
              const double* YE, const double* ZE, int k, int NPE, int J) {
    TetVerts t;
    TETGAT(t, XE, YE, ZE, k, NPE);
    // Each row order keeps the orientation of (T1, T2, T3, T4).
    switch (J) {
        case 1: VTET = {t[0], t[1], t[2], {}}; break;
        case 2: VTET = {t[0], t[3], t[1], {}}; break;
        case 3: VTET = {t[1], t[3], t[2], {}}; break;
        default: VTET = {t[0], t[2], t[3], {}}; break;
    }
    VTET[3] = {XI, YI, ZI};
    return TETVOL(VTET);
}

namespace {

// The model the points are located in.
struct LocModel {
    const Span1<double>& X;
    const Span1<double>& Y;
    const Span1<double>& Z;
    const Span2<std::int32_t>& NOD;
    std::int32_t NUMEL;
};

// One element's corner coordinates, gathered for the tetrahedron tests.
struct ElementCorners {
    int NPE = 0;
    double XE[8], YE[8], ZE[8];
    std::int32_t node[8];
};

// Gathers element e; false when one of its first NPE slots names no node.
bool gather(const LocModel& m, std::int32_t e, ElementCorners& g) {
    g.NPE = (m.NOD.ld() < 8 || m.NOD(8, e) == 0) ? 6 : 8;
    for (int c = 0; c < g.NPE; ++c) {
        const std::int32_t n = m.NOD(c + 1, e);
        if (n < 1 || n > m.X.size()) return false;
        g.node[c] = n;
        g.XE[c] = m.X(n);
        g.YE[c] = m.Y(n);
        g.ZE[c] = m.Z(n);
    }
    return true;
}

// The tetrahedron tests of one element: true, with the point's nodes and weights set, when
// one of its tetrahedra of positive volume holds the point.
bool try_element(const ElementCorners& g, double x, double y, double z, std::int32_t ntet[4],
                 double wtet[4]) {
    const int ntets = g.NPE == 6 ? 3 : 6;
    TetVerts v;
    for (int k = 1; k <= ntets; ++k) {
        const double V = TETGAT(v, g.XE, g.YE, g.ZE, k, g.NPE);
        if (!(V > 0.0)) continue;  // a flat tetrahedron would give weights 0/0
        const double V1 = TETSUB(x, y, z, v, g.XE, g.YE, g.ZE, k, g.NPE, 1);
        const double V2 = TETSUB(x, y, z, v, g.XE, g.YE, g.ZE, k, g.NPE, 2);
        const double V3 = TETSUB(x, y, z, v, g.XE, g.YE, g.ZE, k, g.NPE, 3);
        const double V4 = TETSUB(x, y, z, v, g.XE, g.YE, g.ZE, k, g.NPE, 4);
        if (V1 >= 0.0 && V2 >= 0.0 && V3 >= 0.0 && V4 >= 0.0) {
            const auto& col = ITET[tet_column(k, g.NPE)];
            for (int mm = 0; mm < 4; ++mm) ntet[mm] = g.node[col[mm] - 1];
            // Each vertex weighs the sub-volume in which the point replaces it.
            wtet[0] = V3 / V;
            wtet[1] = V4 / V;
            wtet[2] = V2 / V;
            wtet[3] = V1 / V;
            return true;
        }
    }
    return false;
}

// Uniform grid over the elements' bounding boxes. Each cell lists, in element order, every
// element whose box (widened by a tolerance) reaches into it, so a point's cell holds every
// element whose tetrahedron test could accept it.
class ElementGrid {
public:
    explicit ElementGrid(const LocModel& m) {
        const std::int32_t ne = m.NUMEL;
        std::vector<double> box(static_cast<std::size_t>(ne) * 6);
        std::vector<char> ok(ne, 0);
        double lo[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, hi[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
        double mag = 0.0;
        ElementCorners g;
        for (std::int32_t e = 1; e <= ne; ++e) {
            if (!gather(m, e, g)) continue;
            ok[e - 1] = 1;
            double* b = &box[static_cast<std::size_t>(e - 1) * 6];
            const double* c[3] = {g.XE, g.YE, g.ZE};
            for (int d = 0; d < 3; ++d) {
                b[d] = *std::min_element(c[d], c[d] + g.NPE);
                b[d + 3] = *std::max_element(c[d], c[d] + g.NPE);
                lo[d] = std::min(lo[d], b[d]);
                hi[d] = std::max(hi[d], b[d + 3]);
                mag = std::max({mag, std::fabs(b[d]), std::fabs(b[d + 3])});
            }
        }
        if (!(lo[0] <= hi[0])) return;  // no element with valid nodes
        // Rounding can make a sub-volume of a point just outside a face come out as 0.0:
        // widen every box far beyond that (relative 1e-7 of the coordinates' size).
        double ext = 0.0;
        for (int d = 0; d < 3; ++d) ext = std::max(ext, hi[d] - lo[d]);
        tol_ = 1.0e-7 * (mag + ext) + 1.0e-300;
        // About one cell per element, cells of equal edge where the mesh has extent.
        double h = ext / std::cbrt(static_cast<double>(ne));
        if (!(h > 0.0)) h = 1.0;
        std::int64_t cells = 1;
        for (int d = 0; d < 3; ++d) {
            origin_[d] = lo[d] - tol_;
            const double span = hi[d] - lo[d] + 2.0 * tol_;
            n_[d] = static_cast<std::int32_t>(std::clamp(std::ceil(span / h), 1.0, 2048.0));
            step_[d] = span / n_[d];
            cells *= n_[d];
        }
        start_.assign(static_cast<std::size_t>(cells) + 1, 0);
        // Two passes over the boxes: count per cell, then fill in element order.
        for (int pass = 0; pass < 2; ++pass) {
            for (std::int32_t e = 1; e <= ne; ++e) {
                if (!ok[e - 1]) continue;
                const double* b = &box[static_cast<std::size_t>(e - 1) * 6];
                std::int32_t a[3], z[3];
                for (int d = 0; d < 3; ++d) {
                    a[d] = cell_of(d, b[d] - tol_);
                    z[d] = cell_of(d, b[d + 3] + tol_);
                }
                for (std::int32_t k = a[2]; k <= z[2]; ++k)
                    for (std::int32_t j = a[1]; j <= z[1]; ++j)
                        for (std::int32_t i = a[0]; i <= z[0]; ++i) {
                            const std::int64_t c = index(i, j, k);
                            if (pass == 0)
                                ++start_[c + 1];
                            else
                                list_[fill_[c]++] = e;
                        }
            }
            if (pass == 0) {
                for (std::size_t c = 1; c < start_.size(); ++c) start_[c] += start_[c - 1];
                list_.resize(static_cast<std::size_t>(start_.back()));
                fill_.assign(start_.begin(), start_.end() - 1);
            }
        }
    }

    // Elements, in element order, that may hold the point; empty outside the grid.
    std::span<const std::int32_t> candidates(double x, double y, double z) const {
        if (start_.empty()) return {};
        const double p[3] = {x, y, z};
        std::int32_t c[3];
        for (int d = 0; d < 3; ++d) {
            if (!(p[d] >= origin_[d] && p[d] <= origin_[d] + step_[d] * n_[d])) return {};
            c[d] = cell_of(d, p[d]);
        }
        const std::int64_t k = index(c[0], c[1], c[2]);
        return {list_.data() + start_[k], static_cast<std::size_t>(start_[k + 1] - start_[k])};
    }

private:
    std::int32_t cell_of(int d, double v) const {
        const double f = std::floor((v - origin_[d]) / step_[d]);
        return static_cast<std::int32_t>(std::clamp(f, 0.0, static_cast<double>(n_[d] - 1)));
    }
    std::int64_t index(std::int32_t i, std::int32_t j, std::int32_t k) const {
        return (static_cast<std::int64_t>(k) * n_[1] + j) * n_[0] + i;
    }

    double tol_ = 0.0;
    double origin_[3] = {}, step_[3] = {1, 1, 1};
    std::int32_t n_[3] = {1, 1, 1};
    std::vector<std::int64_t> start_, fill_;
    std::vector<std::int32_t> list_;
};

}  // namespace

std::int64_t locate_points(const OutputMesh& mesh, PointWeights& pts, const Span1<double>& X,
                           const Span1<double>& Y, const Span1<double>& Z,
                           const Span2<std::int32_t>& NOD, std::int32_t NUMEL, bool indexed) {
    const LocModel m{X, Y, Z, NOD, NUMEL};
    std::int64_t unlocated = 0;
    if (mesh.NPT <= 0) return 0;
    ElementCorners g;
    std::int32_t ntet[4];
    double wtet[4];
    auto locate_in = [&](std::int32_t i, std::int32_t e) {
        if (!gather(m, e, g) || !try_element(g, mesh.XP(i), mesh.YP(i), mesh.ZP(i), ntet, wtet))
            return false;
        for (int k = 0; k < 4; ++k) {
            pts.NTET(i, k + 1) = ntet[k];
            pts.WTET(i, k + 1) = wtet[k];
        }
        return true;
    };
    std::unique_ptr<ElementGrid> grid;
    if (indexed) grid = std::make_unique<ElementGrid>(m);
    for (std::int32_t i = 1; i <= mesh.NPT; ++i) {
        bool found = false;
        if (grid) {
            for (std::int32_t e : grid->candidates(mesh.XP(i), mesh.YP(i), mesh.ZP(i)))
                if ((found = locate_in(i, e))) break;
        } else {
            for (std::int32_t e = 1; e <= NUMEL && !found; ++e) found = locate_in(i, e);
        }
        if (!found) ++unlocated;
    }
    return unlocated;
}

void point_heads(OutputMesh& mesh, const PointWeights& pts, const Span1<double>& P,
                 const Span1<double>& Z, std::int32_t i) {
    double h = 0.0;
    if (pts.NTET(i, 1) > 0) {  // an unlocated point has no nodes to read
        const std::int32_t n1 = pts.NTET(i, 1);
        h = (P(n1) + Z(n1)) * pts.WTET(i, 1);
        for (int k = 2; k <= 4; ++k) {
            const std::int32_t n = pts.NTET(i, k);
            h = h + (P(n) + Z(n)) * pts.WTET(i, k);
        }
    }
    mesh.HP(i) = h;
    mesh.PP(i) = h - mesh.ZP(i);
}

void LOCPTS(const OutputMesh& mesh, PointWeights& pts, const RealView& X, const RealView& Y,
            const RealView& Z, const NodView& NOD, I32 NUMEL, I32 /*NPEMAX*/) {
    const std::int64_t unlocated = locate_points(mesh, pts, X, Y, Z, NOD, NUMEL, true);
    if (unlocated > 0) {
        // Their heads are written as 0.0; say how many so that a reader can tell.
        const std::string line = "converter: " + std::to_string(unlocated) + " of " +
                                 std::to_string(mesh.NPT) + " output points lie in no element";
        rio::write(rio::kStdErr, "(A)", {line});
    }
}

void INTERP(OutputMesh& mesh, const PointWeights& pts, const RealView& P, const RealView& Z,
            double TIME, I32 NSTEP, I32 MFORM, WriterCounters& cnt) {
    if (mesh.NCELL == 0) {
        rio::write(kOutUnit, "*", {"TIME,", TIME});
        rio::write(kOutUnit, "*",
                   {"        X,             Y,             Z,", "             H,             P"});
        for (std::int32_t i = 1; i <= mesh.NPT; ++i) {
            point_heads(mesh, pts, P, Z, i);
            rio::write(kOutUnit, "(E14.5,',',E14.5,',',E14.5,',',E14.5,',',E14.5)",
                       {mesh.XP(i), mesh.YP(i), mesh.ZP(i), mesh.HP(i), mesh.PP(i)});
        }
        return;
    }
    for (std::int32_t i = 1; i <= mesh.NPT; ++i) point_heads(mesh, pts, P, Z, i);
    if (mesh.NCELL > 0) write_mesh_zone(MFORM, mesh, cnt, TIME, NSTEP);
}

}  // namespace cnv
