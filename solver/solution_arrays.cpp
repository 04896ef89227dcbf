// Slices of the solution part of BD and IB, in the order of the run totals.
#include "solution_arrays.hpp"

namespace gw {

namespace {

// Hands out consecutive slices of one work array.
template <class T>
class Cursor {
public:
    Cursor(std::vector<T>& a, std::int64_t start) : a_(a), at_(start) {}
    Span1<T> take(std::int64_t n) {
        Span1<T> s(a_.data() + at_, n);
        at_ += n;
        return s;
    }
    Span2<T> take2(std::int64_t ld, std::int64_t cols) {
        Span2<T> s(a_.data() + at_, ld, cols);
        at_ += ld * cols;
        return s;
    }

private:
    std::vector<T>& a_;
    std::int64_t at_;
};

}  // namespace

Span1<std::int32_t> cut_isp(WorkArrays& w, const MeshTotals& mt, std::int64_t NWK) {
    return Span1<std::int32_t>(w.IB.data() + mt.IB1, NWK);
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

    Cursor<double> bd(w.BD, mt.BD1);
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
    s.TEVENT = bd.take(c.MXEVT);
    s.TH = bd.take(NE);
    s.NEWCB_V3 = bd.take2(mxnwcb, nnewc);

    Cursor<std::int32_t> ib(w.IB, mt.IB1);
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

    s.driver_work.assign(static_cast<std::size_t>(3 * NN + 3 * NE), 0.0);
    double* p = s.driver_work.data();
    s.RES = Span1<double>(p, NN);
    s.PDIR = Span1<double>(p + NN, NN);
    s.DIAG = Span1<double>(p + 2 * NN, NN);
    s.VEL = Span2<double>(p + 3 * NN, 3, NE);
}

}  // namespace gw
