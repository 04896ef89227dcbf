// A small model held in its own vectors for the element, assembly and velocity tests.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <set>
#include <type_traits>
#include <vector>

#include "assembly.hpp"

namespace sol::test_model {

// A model held in its own vectors: nodes, elements of material 1, two materials with
// unsaturated tables, the matrix structure (diagonal first, then ascending columns) and the
// arrays of the global system, with the views the routines take.
struct Model {
    Control ctl;
    Units u;
    Materials mat;
    std::vector<double> x, y, z, q, psi;
    std::vector<double> thkr, rkr, thps, psit, thca, cap;
    std::vector<std::int32_t> nod, npe, mtyp, kode, maxa, isp, eflag;
    std::vector<double> sk, sks, grav, gravs, capv, hw, hold;
    MeshArrays mesh;
    SystemArrays sys;
    Span1<std::int32_t> EFLAG;

    Model(const std::vector<std::array<double, 3>>& nodes,
          const std::vector<std::vector<std::int32_t>>& elements) {
        ctl.NUMNP = static_cast<int>(nodes.size());
        ctl.NUMEL = static_cast<int>(elements.size());
        ctl.NUMMAT = 2;
        ctl.NINTXY = 2;
        ctl.NINTZ = 2;
        ctl.STORE = 1;
        ctl.ITSCH = 2;
        ctl.MXNRK = ctl.MXNPSI = 3;
        u.IW = 16;
        mat.CONS1 = 1.0;
        mat.CONS2 = 1.0;
        for (int m = 1; m <= 2; ++m) {
            mat.K1[m] = mat.K2[m] = mat.K3[m] = 1.0;
            mat.POROSITY[m] = 0.4;
            mat.SS[m] = 1.0E-3;
            mat.NRK[m] = mat.NPSI[m] = mat.NCAP[m] = 3;
        }
        // Pressure head -100, -10, 0 at moisture 0.1, 0.2, 0.4; kr 0.01, 0.1, 1 there.
        thps = {0.1, 0.2, 0.4, 0.1, 0.2, 0.4};
        psit = {-100.0, -10.0, 0.0, -100.0, -10.0, 0.0};
        thkr = {0.1, 0.2, 0.4, 0.1, 0.2, 0.4};
        rkr = {0.01, 0.1, 1.0, 0.01, 0.1, 1.0};
        thca = {0.15, 0.3, 0.4, 0.15, 0.3, 0.4};
        cap = {0.1 / 90.0, 0.02, 0.0, 0.1 / 90.0, 0.02, 0.0};
        for (const auto& p : nodes) {
            x.push_back(p[0]);
            y.push_back(p[1]);
            z.push_back(p[2]);
        }
        const std::size_t N = nodes.size(), E = elements.size();
        q.assign(N, 0.0);
        psi.assign(N, 0.0);
        kode.assign(N, 0);
        nod.assign(8 * E, 0);
        for (std::size_t j = 0; j < E; ++j) {
            for (std::size_t l = 0; l < elements[j].size(); ++l) nod[8 * j + l] = elements[j][l];
            npe.push_back(static_cast<std::int32_t>(elements[j].size()));
        }
        mtyp.assign(E, 1);
        eflag.assign(E, 0);
        // Rows: the node itself, then every node sharing an element with it, ascending.
        maxa.push_back(1);
        for (std::size_t n = 1; n <= N; ++n) {
            std::set<std::int32_t> others;
            for (const auto& e : elements)
                if (std::find(e.begin(), e.end(), static_cast<std::int32_t>(n)) != e.end())
                    for (std::int32_t k : e)
                        if (k != static_cast<std::int32_t>(n)) others.insert(k);
            isp.push_back(static_cast<std::int32_t>(n));
            isp.insert(isp.end(), others.begin(), others.end());
            maxa.push_back(static_cast<std::int32_t>(isp.size() + 1));
        }
        const std::size_t NWK = isp.size();
        sk.assign(NWK, 0.0);
        sks.assign(NWK, 0.0);
        grav.assign(N, 0.0);
        gravs.assign(N, 0.0);
        capv.assign(N, 0.0);
        hw.assign(N, 0.0);
        hold.assign(N, 0.0);
        views();
    }

    void views() {
        const int N = ctl.NUMNP, E = ctl.NUMEL;
        auto s1 = [](auto& v) { return Span1<std::remove_reference_t<decltype(v[0])>>(v.data(), static_cast<std::int64_t>(v.size())); };
        auto s2 = [&](std::vector<double>& v) { return Span2<double>(v.data(), 3, ctl.NUMMAT); };
        mesh.tab = {s2(thkr), s2(rkr), s2(thps), s2(psit), s2(thca), s2(cap)};
        mesh.Q = s1(q);
        mesh.PSI = s1(psi);
        mesh.X = s1(x);
        mesh.Y = s1(y);
        mesh.Z = s1(z);
        mesh.MTYP = s1(mtyp);
        mesh.NOD = Span2<std::int32_t>(nod.data(), 8, E);
        mesh.KODE = s1(kode);
        mesh.MAXA = Span1<std::int32_t>(maxa.data(), N + 1);
        mesh.NPE = s1(npe);
        sys.SK = s1(sk);
        sys.SKS = s1(sks);
        sys.GRAV = s1(grav);
        sys.GRAVS = s1(gravs);
        sys.CAPV = s1(capv);
        sys.HW = s1(hw);
        sys.HOLD = s1(hold);
        sys.ISP = s1(isp);
        EFLAG = s1(eflag);
    }

    // Entry (i, j) of a matrix stored in the rows of the structure (0 when not stored).
    double at(const std::vector<double>& a, int i, int j) const {
        for (int k = maxa[i - 1]; k < maxa[i]; ++k)
            if (isp[k - 1] == j) return a[k - 1];
        return 0.0;
    }

    // (K h + G)(i) from the saved conductivity system.
    double residual(int i, const std::vector<double>& h) const {
        double r = gravs[i - 1];
        for (int k = maxa[i - 1]; k < maxa[i]; ++k) r += sks[k - 1] * h[isp[k - 1] - 1];
        return r;
    }

    void assemble(int NSTEP, double DT, double DTOLD, int ITER) {
        ASSEMB(ctl, u, mat, mesh, sys, EFLAG, NSTEP, DT, DTOLD, ITER);
    }
};

// The unit cube numbered with its upper face first.
inline std::vector<std::array<double, 3>> cube() {
    return {{1, 1, 1}, {0, 1, 1}, {0, 0, 1}, {1, 0, 1}, {1, 1, 0}, {0, 1, 0}, {0, 0, 0}, {1, 0, 0}};
}
inline const std::vector<std::int32_t> kHex{1, 2, 3, 4, 5, 6, 7, 8};

}  // namespace sol::test_model
