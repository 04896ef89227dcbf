// Element check: node numbers, material numbers and Jacobian determinants of the mesh.
#include "element_check.hpp"

#include <cstdint>

#include "recordio/recordio.hpp"

namespace sol {

namespace {

// Absolute threshold in full double precision: an element this small or flat is rejected
// whatever its shape.
constexpr double kMinDet = 1.0E-8;

// Number of Gauss points of a direction; a value outside 1..4 has no rule.
int gauss_points(int n) { return (n >= 1 && n <= 4) ? n : 0; }

void element_line(const Units& u, int m, const char* text) {
    rio::write(u.IW, "*", {"ERROR ELEMENT =", m, text});
}

}  // namespace

int CHKJ8(int NINTXY, int NINTZ, const Xyze& XYZE) {
    const int nxy = gauss_points(NINTXY);
    const int nz = gauss_points(NINTZ);
    int mark = 0;
    ShapePoint p;
    // Every point is evaluated, even after the element is marked.
    for (int i = 1; i <= nxy; ++i)
        for (int j = 1; j <= nxy; ++j)
            for (int k = 1; k <= nz; ++k) {
                JACOB8(XG(i, nxy), XG(j, nxy), XG(k, nz), XYZE, p);
                if (p.DETJ <= kMinDet) mark = 1;
            }
    // The centre, where the velocity is taken: not a point of the even rules, and an element
    // folded there can pass at all of them. An order without a rule tests no point at all.
    if (nxy > 0 && nz > 0) {
        JACOB8(0.0, 0.0, 0.0, XYZE, p);
        if (p.DETJ <= kMinDet) mark = 1;
    }
    return mark;
}

int CHKJ6(int NINTXY, int NINTZ, const Xyze& XYZE) {
    const int nz = gauss_points(NINTZ);
    int mark = 0;
    ShapePoint p;
    for (const TrianglePoint& t : triangle_rule(NINTXY))
        for (int k = 1; k <= nz; ++k) {
            JACOB6(t.L1, t.L2, t.L3, XG(k, nz), XYZE, p);
            if (p.DETJ <= kMinDet) mark = 1;
        }
    // The centroid, where the velocity is taken, tested like the rule's points.
    if (!triangle_rule(NINTXY).empty() && nz > 0) {
        JACOB6(kThird, kThird, kThird, 0.0, XYZE, p);
        if (p.DETJ <= kMinDet) mark = 1;
    }
    return mark;
}

int CHKELM(const Control& ctl, const Units& u, const MeshArrays& mesh) {
    const int NUMNP = ctl.NUMNP;
    int flag = 0;
    for (int m = 1; m <= ctl.NUMEL; ++m) {
        const int NNODE = mesh.NPE(m);
        if (NNODE > 8) {
            // More slots than an element has: one node-number line, no further node tests.
            element_line(u, m, " : NODE NUMBER ERROR ");
            flag = 1;
        } else if (NNODE > 0) {
            // 1. Node numbers outside 1..NUMNP, one line per slot.
            bool outside = false;
            for (int i = 1; i <= NNODE; ++i) {
                const Index n = mesh.NOD(i, m);
                if (n > NUMNP || n < 1) {
                    element_line(u, m, " : NODE NUMBER ERROR ");
                    flag = 1;
                    outside = true;
                }
            }
            // 2. Repeated node numbers: every ordered pair, so one repeat prints two lines.
            for (int i = 1; i <= NNODE; ++i)
                for (int j = 1; j <= NNODE; ++j)
                    if (j != i && mesh.NOD(i, m) == mesh.NOD(j, m)) {
                        element_line(u, m, " : NODE NUMBER ERROR ");
                        flag = 1;
                    }
            // 3. Determinants, only when every node has coordinates.
            if (!outside && (NNODE == 8 || NNODE == 6)) {
                Xyze XYZE{};
                for (int i = 1; i <= NNODE; ++i) {
                    const Index n = mesh.NOD(i, m);
                    XYZE[i - 1] = {mesh.X(n), mesh.Y(n), mesh.Z(n)};
                }
                const int mark = NNODE == 8 ? CHKJ8(ctl.NINTXY, ctl.NINTZ, XYZE)
                                            : CHKJ6(ctl.NINTXY, ctl.NINTZ, XYZE);
                if (mark != 0) {
                    element_line(u, m, " : AREA IS NEGATIVE ");
                    flag = 1;
                }
            }
        }
        // 4. A material number beyond the materials read has no properties.
        if (mesh.MTYP(m) > ctl.NUMMAT) {
            element_line(u, m, " : MATERIAL NUMBER ERROR");
            flag = 1;
        }
    }
    return flag;
}

}  // namespace sol
