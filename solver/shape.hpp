// Shape functions of the 8-node hexahedron and the 6-node prism, and their integration rules.
#pragma once

#include <array>
#include <span>

namespace sol {

// Element node coordinates XYZE(b, i) (b = x, y, z; i = node slot) stored as XYZE[i-1][b-1].
using Xyze = std::array<std::array<double, 3>, 8>;
using Mat3 = std::array<std::array<double, 3>, 3>;

// Results at one point of one element. Index layout follows the column-major (3, 8) arrays:
// DSHP(a, i) = DSHP[i-1][a-1] (a = natural direction), GDER(b, i) = GDER[i-1][b-1]
// (b = x, y, z), XJAC(a, b) = XJAC[a-1][b-1].
struct ShapePoint {
    std::array<double, 8> SHP{};
    std::array<std::array<double, 3>, 8> DSHP{};
    Mat3 XJAC{};
    double DETJ = 0.0;
    std::array<std::array<double, 3>, 8> GDER{};
};

// Hexahedron at (xi, eta, zeta): SHP, DSHP, XJAC and DETJ (no inverse).
void JACOB8(double xi, double eta, double zeta, const Xyze& XYZE, ShapePoint& p);
// Prism at area coordinates (L1, L2, L3) and zeta: SHP, DSHP, XJAC and DETJ. L3 is used as
// given, not as 1 - L1 - L2; SHP and DSHP of slots 7 and 8 are zero.
void JACOB6(double L1, double L2, double L3, double zeta, const Xyze& XYZE, ShapePoint& p);
// As JACOB8 / JACOB6, then the global derivatives GDER through the adjugate of XJAC times
// 1 / DETJ. DETJ is not tested: the element check keeps DETJ > 1.0E-8 at every point used.
void SHAPE8(const Xyze& XYZE, double xi, double eta, double zeta, ShapePoint& p);
void SHAPE6(const Xyze& XYZE, double L1, double L2, double L3, double zeta, ShapePoint& p);

// Gauss-Legendre rules of orders 1 to 4: XG(i, n) abscissa i of order n, WG(i, n) its weight.
// The values are single-precision literals widened to double and kept that way, so the
// element terms match the printed digits of the original tables.
inline constexpr double kXG[4][4] = {
    {0.0, 0.0, 0.0, 0.0},
    {double(-0.577350269f), double(0.577350269f), 0.0, 0.0},
    {double(-0.774596669f), 0.0, double(0.774596669f), 0.0},
    {double(-0.861136312f), double(-0.339981044f), double(0.339981044f), double(0.861136312f)},
};
inline constexpr double kWG[4][4] = {
    {2.0, 0.0, 0.0, 0.0},
    {1.0, 1.0, 0.0, 0.0},
    {double(0.555555556f), double(0.888888889f), double(0.555555556f), 0.0},
    {double(0.347854845f), double(0.652145155f), double(0.652145155f), double(0.347854845f)},
};
inline double XG(int i, int n) { return kXG[n - 1][i - 1]; }
inline double WG(int i, int n) { return kWG[n - 1][i - 1]; }

// One point of a triangle rule: area coordinates and weight (the weights of a rule add up
// to 1 and are multiplied by 0.5, the reference triangle's area, when used).
struct TrianglePoint {
    double L1, L2, L3, W;
};

// Triangle rule chosen by NINTXY: 1 -> 1 point, 2 -> 3 points, 3 or 4 -> 7 points; any
// other value has no points.
std::span<const TrianglePoint> triangle_rule(int NINTXY);

// Centroid of the prism's triangle (widened single-precision 1/3).
inline constexpr double kThird = double(0.333333333f);

}  // namespace sol
