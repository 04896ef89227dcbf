// Darcy velocity at the centre and moisture content of every active element.
#include "assembly.hpp"

namespace sol {

namespace {

// Material of an element that gather_element leaves out for its node count alone (neither 6
// nor 8, at most the 8 slots, every node a node of the model), with NNODE and NODE set in w;
// else 0. Such an element has no shape function but does have a mean pressure head.
int other_count_element(const Control& ctl, const MeshArrays& mesh,
                        const Span1<Index>& EFLAG, int e, ElementWork& w) {
    const int m = mesh.MTYP(e);
    if (EFLAG(e) == 1 || m < 1 || m > ctl.NUMMAT) return 0;
    w.NNODE = mesh.NPE(e);
    if (w.NNODE == 8 || w.NNODE == 6 || w.NNODE > 8) return 0;
    for (int l = 1; l <= w.NNODE; ++l) {
        const Index n = mesh.NOD(l, e);
        if (n < 1 || n > ctl.NUMNP) return 0;
        w.NODE[l - 1] = n;
    }
    return m;
}

}  // namespace

void VELOC(const Control& ctl, const Units& u, const Materials& mat, const MeshArrays& mesh,
           const Span1<Index>& EFLAG, Span2<double>& VEL, Span1<double>& TH) {
    const MaterialTables& t = mesh.tab;
    ElementWork w;
    ShapePoint sp;
    for (int e = 1; e <= ctl.NUMEL; ++e) {
        int m = gather_element(ctl, mesh, EFLAG, e, w);
        const bool shaped = m != 0;
        if (!shaped) m = other_count_element(ctl, mesh, EFLAG, e, w);
        if (m == 0) continue;  // inactive elements keep their values
        const int NNODE = w.NNODE;

        // 1-2. Total heads of the element's nodes and the mean pressure head, each term
        //      divided before it is added.
        double HT[8];
        double hbar = 0.0;
        for (int l = 0; l < NNODE; ++l) {
            const int n = w.NODE[l];
            HT[l] = mesh.PSI(n) + mesh.Z(n);
            hbar += mesh.PSI(n) / NNODE;
        }

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

        // An element of another node count keeps its velocity: it has no shape function.
        if (!shaped) continue;

        // 4. Global derivatives at the centre.
        if (NNODE == 8)
            SHAPE8(w.XYZE, 0.0, 0.0, 0.0, sp);
        else
            SHAPE6(w.XYZE, kThird, kThird, kThird, 0.0, sp);

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

}  // namespace sol
