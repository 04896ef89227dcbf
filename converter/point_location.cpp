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

// Coordinates up to 2^300 keep every product of three coordinate differences finite.
constexpr double kSaneCoordinate = 0x1p300;
bool sane(double v) { return std::fabs(v) <= kSaneCoordinate; }  // false for NaN and infinities

// Unit roundoff of the volume arithmetic.
constexpr double kRoundoff = 0x1p-53;

// How far beyond its bounding box an element's tetrahedron tests can accept a point, from the
// rounding of the volumes alone. Each sub-volume is a 3 x 3 determinant of coordinate
// differences whose computed value is off by at most 8 roundings of its permanent (1.5 u x
// 6 W^3 (1 + s) for a box of largest width W and a point s widths outside it), plus what
// flush-to-zero drops (below 2^-1000 (1 + W)^2 (1 + s)). A point accepted by a tetrahedron of
// true volume V* has barycentric weights no lower than -(that error) / V*, summing to 1, so it
// lies within s W of the box with s <= r / (1 - r), r = 4 x error / V*. The rounding errors
// scale with the element's size, not with its distance from the origin, so a mesh far from
// the origin is widened as little as one at it.
// `lo` and `hi` are the corners of the element's bounding box.
// Returns < 0 for an element no point can be accepted in (no tetrahedron of positive computed
// volume) and +inf where no widening can be vouched for (coordinates beyond 2^300 or not
// finite, or a tetrahedron so flat that rounding may decide its sign).
double reach(const ElementCorners& g, const double lo[3], const double hi[3]) {
    const int ntets = g.NPE == 6 ? 3 : 6;
    TetVerts v;
    double Vmin = HUGE_VAL;
    for (int k = 1; k <= ntets; ++k) {
        const double V = TETGAT(v, g.XE, g.YE, g.ZE, k, g.NPE);
        if (V > 0.0) Vmin = std::min(Vmin, V);
    }
    if (Vmin == HUGE_VAL) return -1.0;
    double W = 0.0;
    for (int d = 0; d < 3; ++d) {
        if (!sane(lo[d]) || !sane(hi[d])) return HUGE_VAL;
        W = std::max(W, hi[d] - lo[d]);
    }
    const double W3 = W * W * W;
    const double flushed = 0x1p-1000 * (1.0 + W) * (1.0 + W);
    const double Vlo = Vmin - (16.0 * kRoundoff * W3 + flushed);  // the true volume's floor
    if (!(Vlo > 0.0)) return HUGE_VAL;
    const double r = (64.0 * kRoundoff * W3 + 8.0 * flushed) / Vlo;
    if (!(r <= 0.25)) return HUGE_VAL;
    return 2.0 * r * W;  // >= s W, since s <= 4 r / 3 for r <= 1/4
}

// Uniform grid over the element boxes. Each cell lists, in element order, every element whose
// box, widened by its reach, comes into the cell, so a point's cell holds every element of the
// grid whose tetrahedron test could accept it. Elements whose reach cannot be vouched for are
// tried for every point instead, and elements that hold no point are left out.
class ElementGrid {
public:
    explicit ElementGrid(const LocModel& m) {
        // 1. The widened box of every element of the grid.
        struct Box {
            std::int32_t e;
            double lo[3], hi[3];
        };
        std::vector<Box> boxes;
        boxes.reserve(static_cast<std::size_t>(std::max(m.NUMEL, 0)));
        ElementCorners g;
        for (std::int32_t e = 1; e <= m.NUMEL; ++e) {
            if (!gather(m, e, g)) continue;
            Box b{e, {}, {}};
            const double* c[3] = {g.XE, g.YE, g.ZE};
            for (int d = 0; d < 3; ++d) {
                const auto [lo, hi] = std::minmax_element(c[d], c[d] + g.NPE);
                b.lo[d] = *lo;
                b.hi[d] = *hi;
            }
            const double w = reach(g, b.lo, b.hi);
            if (w < 0.0) continue;
            if (w == HUGE_VAL) {
                everywhere_.push_back(e);
                continue;
            }
            for (int d = 0; d < 3; ++d) {
                // One step outward: rounding to the nearest double moves a value by at most half
                // a step, so the widened box never falls short of the exact one.
                b.lo[d] = std::nextafter(b.lo[d] - w, -HUGE_VAL);
                b.hi[d] = std::nextafter(b.hi[d] + w, HUGE_VAL);
            }
            boxes.push_back(b);
        }
        if (boxes.empty()) return;

        // 2. The grid's extent; cells of equal edge, about one per three elements (a box then
        //    comes into a few cells, and a cell lists a few dozen elements), coarser where the
        //    boxes would list too many elements (boxes much larger than the cells).
        double ext = 0.0;
        for (int d = 0; d < 3; ++d) {
            origin_[d] = HUGE_VAL;
            top_[d] = -HUGE_VAL;
            for (const Box& b : boxes) {
                origin_[d] = std::min(origin_[d], b.lo[d]);
                top_[d] = std::max(top_[d], b.hi[d]);
            }
            ext = std::max(ext, top_[d] - origin_[d]);
        }
        const std::int64_t nb = static_cast<std::int64_t>(boxes.size());
        const std::int64_t most = 32 * nb + (std::int64_t{1} << 20);
        double h = 1.5 * ext / std::cbrt(static_cast<double>(nb));
        std::int64_t total = 0;
        for (;;) {
            std::int64_t cells = 1;
            for (int d = 0; d < 3; ++d) {
                const double span = top_[d] - origin_[d];
                n_[d] = span > 0.0 && h > 0.0
                            ? static_cast<std::int32_t>(std::clamp(std::ceil(span / h), 1.0, 1048576.0))
                            : 1;
                step_[d] = span / n_[d];
                cells *= n_[d];
            }
            total = 0;
            for (const Box& b : boxes) {
                std::int64_t k = 1;
                for (int d = 0; d < 3; ++d) k *= cell_of(d, b.hi[d]) - cell_of(d, b.lo[d]) + 1;
                if ((total += k) > most) break;
            }
            if (total <= most || cells == 1) break;
            h *= 2.0;
        }

        // 3. Two passes over the boxes: count per cell, then fill in element order.
        start_.assign(static_cast<std::size_t>(n_[0]) * n_[1] * n_[2] + 1, 0);
        list_.resize(static_cast<std::size_t>(total));
        std::vector<std::int64_t> fill;  // next free place of each cell in the second pass
        for (int pass = 0; pass < 2; ++pass) {
            for (const Box& b : boxes) {
                std::int32_t a[3], z[3];
                for (int d = 0; d < 3; ++d) {
                    a[d] = cell_of(d, b.lo[d]);
                    z[d] = cell_of(d, b.hi[d]);
                }
                for (std::int32_t k = a[2]; k <= z[2]; ++k)
                    for (std::int32_t j = a[1]; j <= z[1]; ++j)
                        for (std::int32_t i = a[0]; i <= z[0]; ++i) {
                            const std::int64_t c = index(i, j, k);
                            if (pass == 0)
                                ++start_[c + 1];
                            else
                                list_[fill[c]++] = b.e;
                        }
            }
            if (pass == 0) {
                for (std::size_t c = 1; c < start_.size(); ++c) start_[c] += start_[c - 1];
                fill.assign(start_.begin(), start_.end() - 1);
            }
        }
    }

    // Elements of the grid, in element order, that may hold the point (a point of sane
    // coordinates); none outside the grid.
    std::span<const std::int32_t> candidates(double x, double y, double z) const {
        if (start_.empty()) return {};
        const double p[3] = {x, y, z};
        std::int32_t c[3];
        for (int d = 0; d < 3; ++d) {
            if (!(p[d] >= origin_[d] && p[d] <= top_[d])) return {};
            c[d] = cell_of(d, p[d]);
        }
        const std::int64_t k = index(c[0], c[1], c[2]);
        return {list_.data() + start_[k], static_cast<std::size_t>(start_[k + 1] - start_[k])};
    }

    // Elements tried for every point, in element order.
    std::span<const std::int32_t> everywhere() const { return everywhere_; }

private:
    // Cell of a finite coordinate; monotone in v, so a point inside a box is in one of its cells.
    std::int32_t cell_of(int d, double v) const {
        if (n_[d] == 1) return 0;
        const double f = std::floor((v - origin_[d]) / step_[d]);
        return static_cast<std::int32_t>(std::clamp(f, 0.0, static_cast<double>(n_[d] - 1)));
    }
    std::int64_t index(std::int32_t i, std::int32_t j, std::int32_t k) const {
        return (static_cast<std::int64_t>(k) * n_[1] + j) * n_[0] + i;
    }

    double origin_[3] = {}, top_[3] = {}, step_[3] = {1, 1, 1};
    std::int32_t n_[3] = {1, 1, 1};
    std::vector<std::int64_t> start_;
    std::vector<std::int32_t> list_;
    std::vector<std::int32_t> everywhere_;
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
        const double x = mesh.XP(i), y = mesh.YP(i), z = mesh.ZP(i);
        bool found = false;
        if (grid && sane(x) && sane(y) && sane(z)) {
            // The cell's elements and those tried everywhere, merged in element order.
            const auto a = grid->candidates(x, y, z);
            const auto b = grid->everywhere();
            std::size_t ia = 0, ib = 0;
            while (!found && (ia < a.size() || ib < b.size())) {
                const bool from_a = ib == b.size() || (ia < a.size() && a[ia] < b[ib]);
                found = locate_in(i, from_a ? a[ia++] : b[ib++]);
            }
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
            const RealView& Z, const NodView& NOD, Index NUMEL, Index /*NPEMAX*/) {
    const std::int64_t unlocated = locate_points(mesh, pts, X, Y, Z, NOD, NUMEL, true);
    if (unlocated > 0) {
        // Their heads are written as 0.0; say how many so that a reader can tell.
        const std::string line = "converter: " + std::to_string(unlocated) + " of " +
                                 std::to_string(mesh.NPT) + " output points lie in no element";
        rio::write(rio::kStdErr, "(A)", {line});
    }
}

void INTERP(OutputMesh& mesh, const PointWeights& pts, const RealView& P, const RealView& Z,
            double TIME, Index NSTEP, Index MFORM, WriterCounters& cnt) {
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
