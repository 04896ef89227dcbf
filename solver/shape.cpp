// Shape functions, Jacobians and integration rules of the hexahedron and the prism.
#include "shape.hpp"

namespace sol {

namespace {

// The tables must hold exactly the widened single-precision values.
static_assert(kXG[1][1] == 0.5773502588272095);
static_assert(kXG[2][2] == 0.7745966911315918);
static_assert(kXG[3][2] == 0.3399810492992401 && kXG[3][3] == 0.8611363172531128);
static_assert(kWG[2][0] == 0.5555555820465088 && kWG[2][1] == 0.8888888955116272);
static_assert(kWG[3][0] == 0.3478548526763916 && kWG[3][1] == 0.6521451473236084);
static_assert(kThird == 0.3333333432674408);

// Natural corners of the hexahedron's nodes: 1-4 on zeta = +1, 5-8 beneath them.
constexpr double kXi[8] = {1, -1, -1, 1, 1, -1, -1, 1};
constexpr double kEta[8] = {1, 1, -1, -1, 1, 1, -1, -1};
constexpr double kZeta[8] = {1, 1, 1, 1, -1, -1, -1, -1};

// Triangle rules, single-precision values widened to double.
constexpr double kT3a = double(0.666666667f), kT3b = double(0.166666667f);
constexpr double kT7w1 = double(0.225f);
constexpr double kT7a = double(0.0597158717f), kT7b = double(0.470142064f);
constexpr double kT7wa = double(0.132394152f);
constexpr double kT7c = double(0.797426985f), kT7d = double(0.101286507f);
constexpr double kT7wc = double(0.125939181f);
static_assert(kT3a == 0.6666666865348816 && kT3b == 0.1666666716337204);
static_assert(kT7w1 == 0.22499999403953552);
static_assert(kT7a == 0.0597158707678318 && kT7b == 0.47014206647872925);
static_assert(kT7wa == 0.13239414989948273);
static_assert(kT7c == 0.7974269986152649 && kT7d == 0.10128650814294815);
static_assert(kT7wc == 0.12593917548656464);

constexpr TrianglePoint kRule1[1] = {{kThird, kThird, kThird, 1.0}};
constexpr TrianglePoint kRule3[3] = {
    {kT3a, kT3b, kT3b, kThird},
    {kT3b, kT3a, kT3b, kThird},
    {kT3b, kT3b, kT3a, kThird},
};
constexpr TrianglePoint kRule7[7] = {
    {kThird, kThird, kThird, kT7w1},
    {kT7a, kT7b, kT7b, kT7wa},
    {kT7b, kT7a, kT7b, kT7wa},
    {kT7b, kT7b, kT7a, kT7wa},
    {kT7c, kT7d, kT7d, kT7wc},
    {kT7d, kT7c, kT7d, kT7wc},
    {kT7d, kT7d, kT7c, kT7wc},
};

// XJAC(a, b) = sum over the nodes of DSHP(a, i) x XYZE(b, i), then DETJ by cofactors of the
// first row.
void jacobian(int nnode, const Xyze& XYZE, ShapePoint& p) {
    for (int a = 0; a < 3; ++a) {
        for (int b = 0; b < 3; ++b) {
            double s = 0.0;
            for (int i = 0; i < nnode; ++i) s += p.DSHP[i][a] * XYZE[i][b];
            p.XJAC[a][b] = s;
        }
    }
    const Mat3& J = p.XJAC;
    p.DETJ = J[0][0] * (J[1][1] * J[2][2] - J[1][2] * J[2][1]) +
             J[0][1] * (J[1][2] * J[2][0] - J[1][0] * J[2][2]) +
             J[0][2] * (J[1][0] * J[2][1] - J[1][1] * J[2][0]);
}

// GDER(b, i) = sum over a of INV(b, a) x DSHP(a, i), INV = adjugate(XJAC) x (1 / DETJ).
void global_derivatives(int nnode, ShapePoint& p) {
    const Mat3& J = p.XJAC;
    const double rdet = 1.0 / p.DETJ;
    Mat3 inv;
    inv[0][0] = (J[1][1] * J[2][2] - J[1][2] * J[2][1]) * rdet;
    inv[0][1] = (J[0][2] * J[2][1] - J[0][1] * J[2][2]) * rdet;
    inv[0][2] = (J[0][1] * J[1][2] - J[0][2] * J[1][1]) * rdet;
    inv[1][0] = (J[1][2] * J[2][0] - J[1][0] * J[2][2]) * rdet;
    inv[1][1] = (J[0][0] * J[2][2] - J[0][2] * J[2][0]) * rdet;
    inv[1][2] = (J[0][2] * J[1][0] - J[0][0] * J[1][2]) * rdet;
    inv[2][0] = (J[1][0] * J[2][1] - J[1][1] * J[2][0]) * rdet;
    inv[2][1] = (J[0][1] * J[2][0] - J[0][0] * J[2][1]) * rdet;
    inv[2][2] = (J[0][0] * J[1][1] - J[0][1] * J[1][0]) * rdet;
    for (int i = 0; i < nnode; ++i) {
        for (int b = 0; b < 3; ++b) {
            p.GDER[i][b] = inv[b][0] * p.DSHP[i][0] + inv[b][1] * p.DSHP[i][1] +
                           inv[b][2] * p.DSHP[i][2];
        }
    }
}

}  // namespace

std::span<const TrianglePoint> triangle_rule(int NINTXY) {
    switch (NINTXY) {
        case 1: return kRule1;
        case 2: return kRule3;
        case 3:
        case 4: return kRule7;
        default: return {};
    }
}

void JACOB8(double xi, double eta, double zeta, const Xyze& XYZE, ShapePoint& p) {
    for (int i = 0; i < 8; ++i) {
        const double a = 1.0 + xi * kXi[i];
        const double b = 1.0 + eta * kEta[i];
        const double c = 1.0 + zeta * kZeta[i];
        p.SHP[i] = a * b * c * 0.125;
        p.DSHP[i][0] = 0.125 * kXi[i] * b * c;
        p.DSHP[i][1] = 0.125 * kEta[i] * a * c;
        p.DSHP[i][2] = 0.125 * kZeta[i] * a * b;
    }
    jacobian(8, XYZE, p);
}

void JACOB6(double L1, double L2, double L3, double zeta, const Xyze& XYZE, ShapePoint& p) {
    const double hp = (1.0 + zeta) / 2.0;
    const double hm = (1.0 - zeta) / 2.0;
    p.SHP = {L1 * hp, L2 * hp, L3 * hp, L1 * hm, L2 * hm, L3 * hm, 0.0, 0.0};
    // Rows d/dL1, d/dL2, d/dzeta with L3 counted as 1 - L1 - L2.
    p.DSHP[0] = {hp, 0.0, L1 / 2.0};
    p.DSHP[1] = {0.0, hp, L2 / 2.0};
    p.DSHP[2] = {-hp, -hp, L3 / 2.0};
    p.DSHP[3] = {hm, 0.0, -L1 / 2.0};
    p.DSHP[4] = {0.0, hm, -L2 / 2.0};
    p.DSHP[5] = {-hm, -hm, -L3 / 2.0};
    p.DSHP[6] = {0.0, 0.0, 0.0};
    p.DSHP[7] = {0.0, 0.0, 0.0};
    jacobian(6, XYZE, p);
}

void SHAPE8(const Xyze& XYZE, double xi, double eta, double zeta, ShapePoint& p) {
    JACOB8(xi, eta, zeta, XYZE, p);
    global_derivatives(8, p);
}

void SHAPE6(const Xyze& XYZE, double L1, double L2, double L3, double zeta, ShapePoint& p) {
    JACOB6(L1, L2, L3, zeta, XYZE, p);
    global_derivatives(6, p);
    p.GDER[6] = {0.0, 0.0, 0.0};
    p.GDER[7] = {0.0, 0.0, 0.0};
}

}  // namespace sol
