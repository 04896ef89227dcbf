// Darcy velocity at the centre and moisture content of every active element.
#include "assembly.hpp"

namespace gw {

void VELOC(const Control& ctl, const Units& u, const Materials& mat, const MeshArrays& mesh,
           const Span1<std::int32_t>& EFLAG, Span2<double>& VEL, Span1<double>& TH) {
    const int NUMNP = ctl.NUMNP;
    const MaterialTables& t = mesh.tab;
    Xyze XYZE{};
    ShapePoint sp;
    for (int e = 1; e <= ctl.NUMEL; ++e) {
        if (EFLAG(e) == 1) continue;
        const int m = mesh.MTYP(e);
        // Removed elements (below 1) and numbers beyond the materials read keep their values.
        if (m < 1 || m > ctl.NUMMAT) continue;
        const int NNODE = mesh.NPE(e);
        if (NNODE != 8 && NNODE != 6) continue;

        // 1. Coordinates and total heads of the element's nodes.
        double HT[8];
        double hbar = 0.0;
        bool nodes_ok = true;
        for (int l = 1; l <= NNODE; ++l) {
            const std::int32_t n = mesh.NOD(l, e);
            if (n < 1 || n > NUMNP) {
                nodes_ok = false;
                break;
            }
            XYZE[l - 1] = {mesh.X(n), mesh.Y(n), mesh.Z(n)};
            HT[l - 1] = mesh.PSI(n) + mesh.Z(n);
            // 2. Mean pressure head, each term divided before it is added.
            hbar += mesh.PSI(n) / NNODE;
        }
        if (!nodes_ok) continue;

        // 3. Moisture content and relative conductivity at the mean head; a negative kr
        //    from the table would reverse the flow, so it is cut to 0.
        double kr = 1.0;
        if (hbar >= 0.0) {
            TH(e) = mat.POROSITY[m];
        } else {
            require_unsat_tables(u, mat, m);
            TH(e) = TABINT(t.PSIT, t.THPS, hbar, mat.NPSI[m], m);
            kr = TABINT(t.THKR, t.RKR, TH(e), mat.NRK[m], m);
            if (kr < 0.0) kr = 0.0;
        }

        // 4. Global derivatives at the centre.
        if (NNODE == 8)
            SHAPE8(XYZE, 0.0, 0.0, 0.0, sp);
        else
            SHAPE6(XYZE, kThird, kThird, kThird, 0.0, sp);

        // 5. Gradient of the total head.
        double g[3];
        for (int b = 0; b < 3; ++b) {
            double s = 0.0;
            for (int l = 0; l < NNODE; ++l) s += sp.GDER[l][b] * HT[l];
            g[b] = s;
        }

        // 6-7. Darcy velocity -(kr CONE) g.
        const Mat3 CONE = material_tensor(mat, m);
        for (int a = 0; a < 3; ++a) {
            const double k0 = kr * CONE[a][0], k1 = kr * CONE[a][1], k2 = kr * CONE[a][2];
            VEL(a + 1, e) = -(k0 * g[0] + k1 * g[1] + k2 * g[2]);
        }
    }
}

}  // namespace gw
