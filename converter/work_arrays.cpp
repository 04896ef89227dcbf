// Sizing and slicing of the converter's work arrays.
#include "work_arrays.hpp"

namespace cnv {

namespace {

// Words left spare at the end of each work array.
constexpr std::int64_t kSpare = 101;

// Hands out consecutive slices of one work array.
template <class T>
class Cursor {
public:
    explicit Cursor(T* base) : p_(base) {}
    Span1<T> take(std::int64_t n) {
        Span1<T> s(p_ + at_, n);
        at_ += n;
        return s;
    }
    void skip(std::int64_t n) { at_ += n; }
    T* here() const { return p_ + at_; }

private:
    T* p_;
    std::int64_t at_ = 0;
};

}  // namespace

WorkSizes work_sizes(std::int32_t N, std::int32_t E, std::int32_t P, std::int32_t T) {
    const std::int64_t n = N, e = E, p = P, t = T;
    return {16 * n + 12 * e + t + kSpare, 5 * n + 3 * e + p * e + t + kSpare};
}

WorkArrays allocate_work(const WorkSizes& sizes) {
    WorkArrays w;
    w.sizes = sizes;
    // A size of 0 or below allocates an empty array; std::bad_alloc ends the run as error 41.
    w.BD.reset(new double[sizes.MTOTBD > 0 ? sizes.MTOTBD : 0]);
    w.IB.reset(new std::int32_t[sizes.MTOTIB > 0 ? sizes.MTOTIB : 0]);
    return w;
}

Slices cut_slices(WorkArrays& w, std::int32_t N, std::int32_t E, std::int32_t P, std::int32_t T) {
    Slices s;
    s.NUMNP = N;
    s.NUMEL = E;
    s.NPEMAX = P;
    s.NTOUT = T;
    Cursor<double> b(w.BD.get());
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

    Cursor<std::int32_t> i(w.IB.get());
    s.NOD = Span2<std::int32_t>(i.here(), P, E);
    i.skip(static_cast<std::int64_t>(P) * E);
    s.NCNT = i.take(N);
    s.KODE = i.take(N);
    s.MTYP = i.take(E);
    s.KODRST = i.take(N);
    i.skip(E);  // two slices of E and N words that no routine uses
    i.skip(N);
    s.NFLAG = i.take(N);
    s.EFLAG = i.take(E);
    s.DONE = i.take(T);
    return s;
}

}  // namespace cnv
