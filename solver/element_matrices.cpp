// Element conductivity matrices, gravity terms and lumped capacities of the pressure-head
// equation, and the table look-up of the unsaturated soil properties.
#include <algorithm>
#include <cmath>

#include "assembly.hpp"
#include "recordio/recordio.hpp"

namespace sol {

double TABINT(const Span2<double>& XT, const Span2<double>& YT, double x, int N, int m) {
    if (N < 1) return 0.0;
    if (N < 2 || x >= XT(N, m)) return YT(N, m);
    // Smallest k >= 2 with x <= XT(k); below XT(1) the first interval is extended.
    int k = 2;
    while (k < N && !(x <= XT(k, m))) ++k;
    return YT(k - 1, m) + (x - XT(k - 1, m)) * (YT(k, m) - YT(k - 1, m)) / (XT(k, m) - XT(k - 1, m));
}

void require_unsat_tables(const Units& u, const Materials& mat, int m) {
    if (mat.NPSI[m] >= 1 && mat.NRK[m] >= 1) return;
    rio::write(u.IW, "(' ** ERROR ** UNSAT DATA -- Group I,J ')");
    rio::write(u.IW, "(' ** ERROR ** EMPTY TABLE OF MATERIAL',I3)", {m});
    rio::stop(3333);
}

Mat3 material_tensor(const Materials& mat, int m) {
    if (mat.IROT[m] != 0) return mat.CONDT[m];
    return Mat3{{{mat.K1[m], 0.0, 0.0}, {0.0, mat.K2[m], 0.0}, {0.0, 0.0, mat.K3[m]}}};
}

namespace {

// Relative conductivity kr and specific moisture capacity cw at pressure head h.
// Saturated (h >= 0): kr = 1, cw = 0. Otherwise both are looked up at the moisture content
// of the head, not at the head itself.
struct Props {
    double kr, cw;
};
Props properties(const ElementContext& c, int m, double h) {
    if (h >= 0.0) return {1.0, 0.0};
    require_unsat_tables(c.u, c.mat, m);
    const MaterialTables& t = c.mesh.tab;
    const double th = TABINT(t.PSIT, t.THPS, h, c.mat.NPSI[m], m);
    return {TABINT(t.THKR, t.RKR, th, c.mat.NRK[m], m), TABINT(t.THCA, t.CAP, th, c.mat.NCAP[m], m)};
}

// Calls f(P) at every integration point of the element after SHAPE8 or SHAPE6 has filled
// w.sp there; P = rule weight x DETJ. Hexahedron: xi outer, eta, zeta inner. Prism:
// triangle point outer, zeta inner. A count outside 1..4 has no rule and gives no point.
template <class F>
void for_each_point(const Control& ctl, ElementWork& w, F&& f) {
    const int nxy = (ctl.NINTXY >= 1 && ctl.NINTXY <= 4) ? ctl.NINTXY : 0;
    const int nz = (ctl.NINTZ >= 1 && ctl.NINTZ <= 4) ? ctl.NINTZ : 0;
    if (w.NNODE == 8) {
        for (int i = 1; i <= nxy; ++i)
            for (int j = 1; j <= nxy; ++j)
                for (int k = 1; k <= nz; ++k) {
                    SHAPE8(w.XYZE, XG(i, nxy), XG(j, nxy), XG(k, nz), w.sp);
                    f(WG(i, nxy) * WG(j, nxy) * WG(k, nz) * w.sp.DETJ);
                }
    } else {
        for (const TrianglePoint& t : triangle_rule(nxy))
            for (int k = 1; k <= nz; ++k) {
                SHAPE6(w.XYZE, t.L1, t.L2, t.L3, XG(k, nz), w.sp);
                f(0.5 * t.W * WG(k, nz) * w.sp.DETJ);
            }
    }
}

// Gravity term and conductivity matrix of one point with KE = kr x CONE. The weight is
// folded into the derivatives: GDER is scaled by sqrt(P) once, so each product of two
// derivatives carries P, and the gravity product takes the root once more. Exact only
// because P > 0, which the element check guarantees.
void add_conductivity(const ElementContext& c, ElementWork& w, double P, double kr) {
    Mat3 KE;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) KE[i][j] = kr * w.CONE[i][j];
    const double RP = std::sqrt(P);
    auto& G = w.sp.GDER;
    for (int l = 0; l < w.NNODE; ++l)
        for (int b = 0; b < 3; ++b) G[l][b] *= RP;
    for (int l = 0; l < w.NNODE; ++l)
        c.sys.GRAV(w.NODE[l]) += (G[l][0] * KE[0][2] + G[l][1] * KE[1][2] + G[l][2] * KE[2][2]) * RP;
    // Gt(j, b) = GDER(j, b), node slots past NNODE zero, so that the terms of one row are
    // summed for all eight columns together, each column's sum in the stated order.
    double Gt[3][8] = {};
    for (int l = 0; l < w.NNODE; ++l)
        for (int j = 0; j < 3; ++j) Gt[j][l] = G[l][j];
    for (int a = 0; a < w.NNODE; ++a) {
        // GK(i, j) = GDER(i, a) KE(i, j): the left factor of every term of row a.
        double s[8] = {};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) {
                const double gk = G[a][i] * KE[i][j];
                for (int b = 0; b < 8; ++b) s[b] += gk * Gt[j][b];
            }
        for (int b = 0; b < w.NNODE; ++b) w.SE[a][b] += s[b];
    }
}

// Variant A: properties at each point from the interpolated head. Once a point with a
// negative head is met, SATSW stays 0 for the rest of the element. The hexahedron raises kr
// to 1.0E-20; the prism uses kr as it comes.
void variant_a(const ElementContext& c, ElementWork& w, int m, bool kr_floor) {
    const double por_stc = c.mat.POROSITY[m] * w.STC;
    for_each_point(c.ctl, w, [&](double P) {
        double hp = 0.0;
        for (int l = 0; l < w.NNODE; ++l) hp += w.sp.SHP[l] * c.sys.HW(w.NODE[l]);
        Props pr = properties(c, m, hp);
        if (hp < 0.0) {
            w.SATSW = 0.0;
            pr.cw = std::max(pr.cw, 0.0);
            if (kr_floor) pr.kr = std::max(pr.kr, 1.0E-20);
        }
        for (int l = 0; l < w.NNODE; ++l)
            c.sys.CAPV(w.NODE[l]) += P * w.sp.SHP[l] * (pr.cw + por_stc * w.SATSW);
        add_conductivity(c, w, P, pr.kr);
    });
}

// Variant B: properties at the element's nodes, interpolated to each point; the storage
// term of a node depends on its own head. The node values are the same at every point, so
// they are looked up once per element.
void variant_b(const ElementContext& c, ElementWork& w, int m) {
    std::array<double, 8> krn{}, cwn{}, SATN{};
    for (int l = 0; l < w.NNODE; ++l) {
        const double h = c.sys.HW(w.NODE[l]);
        const Props pr = properties(c, m, h);
        krn[l] = pr.kr;
        cwn[l] = pr.cw;
        SATN[l] = h >= 0.0 ? 1.0 : 0.0;
    }
    const double por = c.mat.POROSITY[m];
    for_each_point(c.ctl, w, [&](double P) {
        double kr = 0.0, cw = 0.0;
        for (int l = 0; l < w.NNODE; ++l) kr += w.sp.SHP[l] * krn[l];
        for (int l = 0; l < w.NNODE; ++l) cw += w.sp.SHP[l] * cwn[l];
        for (int l = 0; l < w.NNODE; ++l)
            c.sys.CAPV(w.NODE[l]) += P * w.sp.SHP[l] * (SATN[l] * por * w.STC + cw);
        add_conductivity(c, w, P, kr);
    });
}

// Position of column col in row r: the diagonal first, then a binary search of the row's
// ascending off-diagonal columns; a row out of order (a database of another mesh) falls
// back to the first match in storage order. 0 when the column is not in the row.
std::int64_t find_column(const Span1<Index>& MAXA, const Span1<Index>& ISP,
                         Index r, Index col) {
    const std::int64_t first = MAXA(r);
    const std::int64_t last = std::int64_t(MAXA(r + 1)) - 1;
    if (first > last) return 0;
    if (ISP(first) == col) return first;
    const Index* base = ISP.data();
    const Index* lo = base + first;         // position first + 1, 0-based first
    const Index* hi = base + last;          // one past position last
    const Index* p = std::lower_bound(lo, hi, col);
    if (p != hi && *p == col) return (p - base) + 1;
    for (std::int64_t k = first + 1; k <= last; ++k)
        if (ISP(k) == col) return k;
    return 0;
}

}  // namespace

void ELEM8A(const ElementContext& c, ElementWork& w, int m) { variant_a(c, w, m, true); }
void ELEM6A(const ElementContext& c, ElementWork& w, int m) { variant_a(c, w, m, false); }
void ELEM8B(const ElementContext& c, ElementWork& w, int m) { variant_b(c, w, m); }
void ELEM6B(const ElementContext& c, ElementWork& w, int m) { variant_b(c, w, m); }

void ADDSK(const ElementContext& c, const ElementWork& w) {
    const int NUMNP = c.ctl.NUMNP;
    const Span1<Index>& MAXA = c.mesh.MAXA;
    for (int a = 0; a < w.NNODE; ++a) {
        const Index r = w.NODE[a];
        if (r < 1 || r > NUMNP) continue;
        for (int b = 0; b < w.NNODE; ++b) {
            const Index col = w.NODE[b];
            if (col < 1 || col > NUMNP) continue;
            const std::int64_t k = find_column(MAXA, c.sys.ISP, r, col);
            if (k == 0) {
                if (c.ctl.IDBASE != 0) {
                    rio::write(rio::kConsoleOut, "*", {"--- PCG-MATRIX ADDRESS DATA BASE DIFFERENT "});
                    rio::stop(1111);
                }
                continue;
            }
            c.sys.SK(k) += w.SE[a][b];
        }
    }
}

void ELSET(const ElementContext& c, ElementWork& w, int m) {
    w.CONE = material_tensor(c.mat, m);
    for (auto& row : w.SE) row.fill(0.0);
    const bool a = c.ctl.IELVAR == 0;
    if (w.NNODE == 8) {
        a ? ELEM8A(c, w, m) : ELEM8B(c, w, m);
    } else if (w.NNODE == 6) {
        a ? ELEM6A(c, w, m) : ELEM6B(c, w, m);
    } else {
        return;
    }
    ADDSK(c, w);
}

}  // namespace sol
