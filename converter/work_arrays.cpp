// Sizing and slicing of the converter's work arrays.
#include "work_arrays.hpp"

namespace cnv {

namespace {

// Words left spare at the end of each work array.
constexpr std::int64_t kSpare = 101;

}  // namespace

WorkSizes work_sizes(std::int32_t N, std::int32_t E, std::int32_t P, std::int32_t T) {
    const std::int64_t n = N, e = E, p = P, t = T;
    return {16 * n + 12 * e + t + kSpare, 5 * n + 3 * e + p * e + t + kSpare};
}

WorkArrays allocate_work(const WorkSizes& sizes) {
    WorkArrays w;
    w.sizes = sizes;
    // A size of 0 or below allocates an empty array (one word); a refusal ends the run as
    // error 41.
    w.BD = core::allocate_storage<double>(sizes.MTOTBD, core::Pages::Huge);
    w.IB = core::allocate_storage<Index>(sizes.MTOTIB, core::Pages::Huge);
    return w;
}

Slices cut_slices(WorkArrays& w, std::int32_t N, std::int32_t E, std::int32_t P, std::int32_t T) {
    Slices s;
    s.NUMNP = N;
    s.NUMEL = E;
    s.NPEMAX = P;
    s.NTOUT = T;
    core::SliceCursor<double> b(w.BD.get(), 0);
    s.X = b.take(N);
    s.Y = b.take(N);
    s.Z = b.take(N);
    s.PSI = b.take(N);
    s.VX = b.take(E);
    s.VY = b.take(E);
    s.VZ = b.take(E);
    s.NVX = b.take(N);
    s.NVY = b.take(N);
    s.NVZ = b.take(N);
    s.Q = b.take(N);
    s.PSIRST = b.take(N);
    s.QRST = b.take(N);
    s.TOUT = b.take(T);
    s.VXPRV = b.take(E);
    s.VYPRV = b.take(E);
    s.VZPRV = b.take(E);
    s.PSIPRV = b.take(N);
    s.QPRV = b.take(N);
    s.VXOUT = b.take(E);
    s.VYOUT = b.take(E);
    s.VZOUT = b.take(E);
    s.PSIOUT = b.take(N);
    s.QOUT = b.take(N);
    s.QINIT = b.take(N);
    s.THPRV = b.take(E);
    s.THOUT = b.take(E);
    s.TH = b.take(E);
    s.NTH = b.take(N);

    core::SliceCursor<Index> i(w.IB.get(), 0);
    s.NOD = i.take2(P, E);
    s.NCNT = i.take(N);
    s.KODE = i.take(N);
    s.MTYP = i.take(E);
    s.KODRST = i.take(N);
    (void)i.take(E);  // two slices of E and N words that no routine uses
    (void)i.take(N);
    s.NFLAG = i.take(N);
    s.EFLAG = i.take(E);
    s.DONE = i.take(T);
    return s;
}

}  // namespace cnv
