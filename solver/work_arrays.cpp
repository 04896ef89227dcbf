// Slices of the work arrays BD and IB: their lengths, totals and the mesh-part layout.
#include "work_arrays.hpp"

namespace gw {

namespace {
// The seepage-list dimension and the fixed element-row width, as 64-bit values.
std::int64_t msep(const Control& c) { return c.MAXSEP >= 1 ? c.MAXSEP : 1; }
constexpr std::int64_t kNpemax = 8;
}  // namespace

// BD1 = 2 NM MXNRK + 4 NM MXNPSI + 7 NN + MSEP (slices B1..B14);
// IB1 = NPEMAX NE + 2 NE + 2 NN + 2 MSEP + 1 (slices I1..I7).
MeshTotals mesh_totals(const Control& c) {
    const std::int64_t NN = c.NUMNP, NE = c.NUMEL, NM = c.NUMMAT;
    MeshTotals t;
    t.BD1 = 2 * NM * c.MXNRK + 4 * NM * c.MXNPSI + 7 * NN + msep(c);
    t.IB1 = kNpemax * NE + 2 * NE + 2 * NN + 2 * msep(c) + 1;
    return t;
}

MeshArrays cut_mesh(WorkArrays& w, const Control& c) {
    const std::int64_t NN = c.NUMNP, NE = c.NUMEL, NM = c.NUMMAT;
    MeshArrays a;
    double* b = w.BD.data();
    auto take2 = [&b](std::int64_t ld, std::int64_t cols) {
        Span2<double> s(b, ld, cols);
        b += ld * cols;
        return s;
    };
    auto take1 = [&b](std::int64_t n) {
        Span1<double> s(b, n);
        b += n;
        return s;
    };
    a.tab.THKR = take2(c.MXNRK, NM);    // B1
    a.tab.RKR = take2(c.MXNRK, NM);     // B2
    a.tab.THPS = take2(c.MXNPSI, NM);   // B3
    a.tab.PSIT = take2(c.MXNPSI, NM);   // B4
    a.tab.THCA = take2(c.MXNPSI, NM);   // B5
    a.tab.CAP = take2(c.MXNPSI, NM);    // B6
    a.Q = take1(NN);                    // B7
    a.PSIINI = take1(NN);               // B8
    a.PSI = take1(NN);                  // B9
    a.QINIT = take1(NN);                // B10
    a.X = take1(NN);                    // B11
    a.Y = take1(NN);                    // B12
    a.Z = take1(NN);                    // B13
    a.SEPVAL = take1(msep(c));          // B14

    std::int32_t* i = w.IB.data();
    auto itake = [&i](std::int64_t n) {
        Span1<std::int32_t> s(i, n);
        i += n;
        return s;
    };
    a.MTYP = itake(NE);                                  // I1
    a.NOD = Span2<std::int32_t>(i, kNpemax, NE);         // I2
    i += kNpemax * NE;
    a.KODE = itake(NN);                                  // I3
    a.KSEEP = itake(msep(c));                            // I4
    a.IFSEEP = itake(msep(c));                           // I5
    a.MAXA = itake(NN + 1);                              // I6
    a.NPE = itake(NE);                                   // I7
    return a;
}

// BD total = BD1 + NWK + 4 NN + 6 NPEMAX + NPEMAX^2 + M + R + MXEVT + NE;
// IB total = IB1 + NWK + 2 NN + NE + N + E + (boundary, rain and event lists).
RunTotals run_totals(const Control& c, std::int64_t NWK) {
    const std::int64_t NN = c.NUMNP, NE = c.NUMEL;
    const MeshTotals m = mesh_totals(c);
    const bool in_memory = c.STORE == 1;

    // Saved conductivity matrix and the six node arrays kept in memory (B23..B29).
    const std::int64_t M = in_memory ? NWK + 6 * NN : 7;
    const std::int64_t R = 2 * dim(c.NRFACE) + dim(c.NRNODE) + 2 * dim(c.NRR) * dim(c.NRRPT) +
                           2 * dim(c.NEV) * dim(c.NEVPT) + 2 * dim(c.NHB) * dim(c.NHBT) +
                           2 * dim(c.NQB) * dim(c.NQBT) + dim(c.NQB) * dim(c.NQBN) +
                           dim(c.NNEWC) + dim(c.NMATC) + 3 * dim(c.MXNWCB) * dim(c.NNEWC) +
                           dim(c.MXNWCR) * dim(c.NNEWC);
    RunTotals t;
    t.BD = m.BD1 + NWK + 4 * NN + 6 * kNpemax + kNpemax * kNpemax + M + R + c.MXEVT + NE;

    // Node and element arrays kept in memory (I10, I42).
    const std::int64_t N = in_memory ? NN : 1;
    const std::int64_t E = in_memory ? NE : 1;
    t.IB = m.IB1 + NWK + 2 * NN + NE + N + E + dim(c.NRNODE) + 9 * dim(c.NRFACE) + dim(c.NRR) +
           dim(c.NEV) + 2 * dim(c.NHB) + dim(c.NHB) * dim(c.NHBN) + 2 * dim(c.NQB) +
           dim(c.NQB) * dim(c.NQBN) + 4 * dim(c.NNEWC) + 3 * dim(c.MXNWCH) * dim(c.NNEWC) +
           3 * dim(c.MXNWCQ) * dim(c.NNEWC) + 4 * dim(c.MXNWCB) * dim(c.NNEWC) +
           5 * dim(c.MXNWCR) * dim(c.NNEWC) + 2 * dim(c.NMATC) + 2 * dim(c.MXMATE) * dim(c.NMATC) +
           2 * dim(c.MXMATM) * dim(c.NMATC);
    return t;
}

}  // namespace gw
