// Work arrays of the history program: their lengths from the counts and limits, and the
// slices cut from them.
#include <cassert>

#include "history.hpp"

namespace his {

namespace {

// 101 spare words close each array.
constexpr std::int64_t kSpare = 101;

}  // namespace

Sizes work_sizes(const Counts& c, const Limits& l) {
    const std::int64_t N = c.NUMNP, E = c.NUMEL, S = l.MAXSTP;
    Sizes s;
    s.MTOTBD = 5 * N + 4 * E +
               S * (std::int64_t{l.MAXH} + l.MAXP + l.MAXQ + 3 * std::int64_t{l.MAXV} + l.MAXTH + 1) +
               kSpare;
    s.MTOTIB = std::int64_t{c.NPEMAX} * E + N + E + l.MAXH + l.MAXP + l.MAXQ + l.MAXV + l.MAXTH +
               kSpare;
    return s;
}

void allocate(HistoryArrays& a, const Counts& c, const Limits& l) {
    a.sizes = work_sizes(c, l);
    // Zeroed; a refusal ends the run as error 41.
    a.BD = core::allocate_storage<double>(a.sizes.MTOTBD, core::Pages::Huge);
    a.IB = core::allocate_storage<Index>(a.sizes.MTOTIB, core::Pages::Huge);
    const std::int64_t N = c.NUMNP, E = c.NUMEL, S = l.MAXSTP;

    SliceCursor<double> bd(a.BD.get(), 0);
    a.X = bd.take(N);
    a.Y = bd.take(N);
    a.Z = bd.take(N);
    a.PSI = bd.take(N);
    a.Q = bd.take(N);
    a.PHIS = bd.take2(l.MAXP, S);
    a.QHIS = bd.take2(l.MAXQ, S);
    a.HHIS = bd.take2(l.MAXH, S);
    a.TMHIS = bd.take(S);
    a.VX = bd.take(E);
    a.VY = bd.take(E);
    a.VZ = bd.take(E);
    a.VHIS = bd.take2(l.MAXV, 3 * S);
    a.TH = bd.take(E);
    a.THHIS = bd.take2(l.MAXTH, S);
    assert(bd.at() + kSpare == a.sizes.MTOTBD);

    SliceCursor<Index> ib(a.IB.get(), 0);
    a.NOD = ib.take2(c.NPEMAX, E);
    a.IHPT = ib.take(l.MAXH);
    a.IQPT = ib.take(l.MAXQ);
    a.IPPT = ib.take(l.MAXP);
    a.IVEL = ib.take(l.MAXV);
    a.KODE = ib.take(N);
    a.MTYP = ib.take(E);
    a.ITHEL = ib.take(l.MAXTH);
    assert(ib.at() + kSpare == a.sizes.MTOTIB);
}

}  // namespace his
