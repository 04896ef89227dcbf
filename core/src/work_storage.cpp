// Zeroed storage of the work arrays, in 2 MB pages when asked for and the system offers them.
#include "core/work_storage.hpp"

#include <cstdint>
#include <cstdlib>
#include <new>
#include <sys/mman.h>

namespace core {

void FreeDeleter::operator()(void* p) const noexcept { std::free(p); }

namespace {

// A model of a million nodes takes its memory in a few hundred page faults instead of ~100,000
// where its arrays lie in 2 MB pages.
constexpr std::uintptr_t kHugePage = std::uintptr_t{1} << 21;

}  // namespace

void* allocate_zeroed(std::int64_t words, std::size_t size, Pages pages) {
    const std::uint64_t n = static_cast<std::uint64_t>(words > 0 ? words : 1);
    // calloc refuses a product that overflows, and leaves fresh pages of the system untouched
    // (they are zero already), so a large array costs no page until it is used.
    void* p = std::calloc(n, size);
    if (p == nullptr) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    if (pages != Pages::Huge) return p;
    const std::uintptr_t first = (reinterpret_cast<std::uintptr_t>(p) + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(p) + n * size) & ~(kHugePage - 1);
    if (end > first) (void)::madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
#else
    (void)pages;
#endif
    return p;
}

}  // namespace core
