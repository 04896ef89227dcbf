// Slices of the work arrays BD and IB: their lengths, totals and layout.
#include "work_arrays.hpp"

#include <cassert>

namespace sol {

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
    SliceCursor<double> bd(w.BD.get(), 0);
    a.tab.THKR = bd.take2(c.MXNRK, NM);    // B1
    a.tab.RKR = bd.take2(c.MXNRK, NM);     // B2
    a.tab.THPS = bd.take2(c.MXNPSI, NM);   // B3
    a.tab.PSIT = bd.take2(c.MXNPSI, NM);   // B4
    a.tab.THCA = bd.take2(c.MXNPSI, NM);   // B5
    a.tab.CAP = bd.take2(c.MXNPSI, NM);    // B6
    a.Q = bd.take(NN);                     // B7
    a.PSIINI = bd.take(NN);                // B8
    a.PSI = bd.take(NN);                   // B9
    a.QINIT = bd.take(NN);                 // B10
    a.X = bd.take(NN);                     // B11
    a.Y = bd.take(NN);                     // B12
    a.Z = bd.take(NN);                     // B13
    a.SEPVAL = bd.take(msep(c));           // B14

    SliceCursor<Index> ib(w.IB.get(), 0);
    a.MTYP = ib.take(NE);                  // I1
    a.NOD = ib.take2(kNpemax, NE);         // I2
    a.KODE = ib.take(NN);                  // I3
    a.KSEEP = ib.take(msep(c));            // I4
    a.IFSEEP = ib.take(msep(c));           // I5
    a.MAXA = ib.take(NN + 1);              // I6
    a.NPE = ib.take(NE);                   // I7
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

Span1<Index> cut_isp(WorkArrays& w, const MeshTotals& mt, std::int64_t NWK) {
    return Span1<Index>(w.IB.get() + mt.IB1, NWK);
}

void cut_solution(WorkArrays& w, const Control& c, const MeshTotals& mt, std::int64_t NWK,
                  SolutionArrays& s) {
    const std::int64_t NN = c.NUMNP, NE = c.NUMEL;
    const bool mem = c.STORE == 1;
    const std::int64_t nrface = dim(c.NRFACE), nrnode = dim(c.NRNODE), nrr = dim(c.NRR),
                       nrrpt = dim(c.NRRPT), nev = dim(c.NEV), nevpt = dim(c.NEVPT),
                       nhb = dim(c.NHB), nhbn = dim(c.NHBN), nhbt = dim(c.NHBT),
                       nqb = dim(c.NQB), nqbn = dim(c.NQBN), nqbt = dim(c.NQBT),
                       nnewc = dim(c.NNEWC), mxnwch = dim(c.MXNWCH), mxnwcq = dim(c.MXNWCQ),
                       mxnwcb = dim(c.MXNWCB), mxnwcr = dim(c.MXNWCR), nmatc = dim(c.NMATC),
                       mxmate = dim(c.MXMATE), mxmatm = dim(c.MXMATM);

    SliceCursor<double> bd(w.BD.get(), mt.BD1);
    s.SK = bd.take(NWK);
    s.HW = bd.take(NN);
    s.GRAV = bd.take(NN);
    s.CAPV = bd.take(NN);
    bd.take(3 * 8);  // element work arrays (the element routines use local arrays)
    bd.take(3 * 8);
    bd.take(8 * 8);
    s.HOLD = bd.take(NN);
    s.SKS = bd.take(mem ? NWK : 1);
    s.GRAVS = bd.take(mem ? NN : 1);
    s.PREV = bd.take(mem ? NN : 1);
    s.PSI_S = bd.take(mem ? NN : 1);
    s.HOLD_S = bd.take(mem ? NN : 1);
    s.Q_S = bd.take(mem ? NN : 1);
    s.QINIT_S = bd.take(mem ? NN : 1);
    s.RFACE = bd.take2(nrface, 2);
    s.QRN = bd.take(nrnode);
    s.TRAIN = bd.take2(nrrpt, nrr);
    s.RRAIN = bd.take2(nrrpt, nrr);
    s.TEVAP = bd.take2(nevpt, nev);
    s.REVAP = bd.take2(nevpt, nev);
    s.THB = bd.take2(nhbt, nhb);
    s.HHB = bd.take2(nhbt, nhb);
    s.TQB = bd.take2(nqbt, nqb);
    s.QQB = bd.take2(nqbt, nqb);
    s.QGRP = bd.take2(nqb, nqbn);
    s.TNEWC = bd.take(nnewc);
    s.TMATC = bd.take(nmatc);
    s.NEWCB_V1 = bd.take2(mxnwcb, nnewc);
    s.NEWCB_V2 = bd.take2(mxnwcb, nnewc);
    s.NEWCR_V = bd.take2(mxnwcr, nnewc);
    bd.take(c.MXEVT);  // event-list room of the totals; the list is sized by its times
    s.TH = bd.take(NE);
    s.NEWCB_V3 = bd.take2(mxnwcb, nnewc);
    assert(bd.at() == run_totals(c, NWK).BD);  // the slices fill the BD total exactly

    SliceCursor<Index> ib(w.IB.get(), mt.IB1);
    s.ISP = ib.take(NWK);
    s.IFREE = ib.take(NN);
    s.KODE_S = ib.take(mem ? NN : 1);
    s.IRNODE = ib.take(nrnode);
    s.IRT = ib.take(nrface);
    s.IET = ib.take(nrface);
    s.IRFACE = ib.take2(nrface, 7);
    s.NRTP = ib.take(nrr);
    s.NETP = ib.take(nev);
    s.NHN = ib.take(nhb);
    s.IHBN = ib.take2(nhb, nhbn);
    s.NHTP = ib.take(nhb);
    s.NQN = ib.take(nqb);
    s.IQBN = ib.take2(nqb, nqbn);
    s.NQTP = ib.take(nqb);
    s.NEWCH_N = ib.take(nnewc);
    s.NEWCH_1 = ib.take2(mxnwch, nnewc);
    s.NEWCH_2 = ib.take2(mxnwch, nnewc);
    s.NEWCH_3 = ib.take2(mxnwch, nnewc);
    s.NEWCQ_N = ib.take(nnewc);
    s.NEWCQ_1 = ib.take2(mxnwcq, nnewc);
    s.NEWCQ_2 = ib.take2(mxnwcq, nnewc);
    s.NEWCQ_3 = ib.take2(mxnwcq, nnewc);
    s.NEWCB_N = ib.take(nnewc);
    s.NEWCB_1 = ib.take2(mxnwcb, nnewc);
    s.NEWCB_2 = ib.take2(mxnwcb, nnewc);
    s.NEWCB_3 = ib.take2(mxnwcb, nnewc);
    s.NEWCB_4 = ib.take2(mxnwcb, nnewc);
    s.MATCE_N = ib.take(nmatc);
    s.MATCE_1 = ib.take2(mxmate, nmatc);
    s.MATCE_2 = ib.take2(mxmate, nmatc);
    s.MATCM_N = ib.take(nmatc);
    s.MATCM_1 = ib.take2(mxmatm, nmatc);
    s.MATCM_2 = ib.take2(mxmatm, nmatc);
    s.MTYP_S = ib.take(mem ? NE : 1);
    s.NEWCR_N = ib.take(nnewc);
    s.NEWCR_1 = ib.take2(mxnwcr, nnewc);
    s.NEWCR_2 = ib.take2(mxnwcr, nnewc);
    s.NEWCR_3 = ib.take2(mxnwcr, nnewc);
    s.NEWCR_4 = ib.take2(mxnwcr, nnewc);
    s.NEWCR_5 = ib.take2(mxnwcr, nnewc);
    s.EFLAG = ib.take(NE);
    s.NFLAG = ib.take(NN);
    assert(ib.at() == run_totals(c, NWK).IB);  // and the IB total

    s.driver_work.assign(static_cast<std::size_t>(3 * NN + 3 * NE), 0.0);
    double* p = s.driver_work.data();
    s.RES = Span1<double>(p, NN);
    s.PDIR = Span1<double>(p + NN, NN);
    s.DIAG = Span1<double>(p + 2 * NN, NN);
    s.VEL = Span2<double>(p + 3 * NN, 3, NE);
}

}  // namespace sol
