// Sizing and slicing of the converter's work arrays.
#include "work_arrays.hpp"

#include <cstdlib>
#include <new>
#include <sys/mman.h>

namespace cnv {

namespace {

// Words left spare at the end of each work array.
constexpr std::int64_t kSpare = 101;

}  // namespace

WorkSizes work_sizes(std::int32_t N, std::int32_t E, std::int32_t P, std::int32_t T) {
    const std::int64_t n = N, e = E, p = P, t = T;
    return {16 * n + 12 * e + t + kSpare, 5 * n + 3 * e + p * e + t + kSpare};
}

void FreeDeleter::operator()(void* p) const noexcept { std::free(p); }

namespace {

// Large work arrays sit on 2 MB boundaries in 2 MB pages where the system offers them: a model
// of a million nodes then takes its memory in a few hundred page faults instead of ~100,000.
constexpr std::size_t kHugePage = std::size_t{1} << 21;

// `words` words of `size` bytes; std::bad_alloc (error 41) when the system refuses them.
void* allocate_words(std::int64_t words, std::size_t size) {
    const std::size_t bytes = static_cast<std::size_t>(words > 0 ? words : 1) * size;
    if (bytes < kHugePage) {
        if (void* p = std::malloc(bytes)) return p;
        throw std::bad_alloc();
    }
    const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* p = std::aligned_alloc(kHugePage, rounded);
    if (p == nullptr) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    (void)::madvise(p, rounded, MADV_HUGEPAGE);
#endif
    return p;
}

}  // namespace

WorkArrays allocate_work(const WorkSizes& sizes) {
    WorkArrays w;
    w.sizes = sizes;
    // A size of 0 or below allocates an empty array; a refusal ends the run as error 41.
    w.BD.reset(static_cast<double*>(allocate_words(sizes.MTOTBD, sizeof(double))));
    w.IB.reset(static_cast<std::int32_t*>(allocate_words(sizes.MTOTIB, sizeof(std::int32_t))));
    return w;
}

Slices cut_slices(WorkArrays& w, std::int32_t N, std::int32_t E, std::int32_t P, std::int32_t T) {
    Slices s;
    s.NUMNP = N;
    s.NUMEL = E;
    s.NPEMAX = P;
    s.NTOUT = T;
    gw::SliceCursor<double> b(w.BD.get(), 0);
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

    gw::SliceCursor<std::int32_t> i(w.IB.get(), 0);
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
