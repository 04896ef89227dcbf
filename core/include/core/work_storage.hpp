// Storage of the work arrays BD and IB of all three programs: zeroed, released with free().
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace core {

struct FreeDeleter {
    void operator()(void* p) const noexcept;
};

template <class T>
using WorkStorage = std::unique_ptr<T[], FreeDeleter>;

// Page size asked for a large array. 2 MB pages spare the post-processors most page faults of
// a large model; the solver's work arrays cost more system time in them (see the steady run of
// solver_bench --run), so the solver keeps the system's normal pages.
enum class Pages { Normal, Huge };

// `words` words of `size` bytes (one when `words` is 0 or below), zeroed: a word no input sets
// (a value that a damaged result file leaves empty, ",,", "r*", "/") keeps 0, whatever the heap
// held, so every run on the same input gives the same bytes. Fresh pages are not touched, so a
// generous MTOTBD or MTOTIB costs only the pages the model uses. With Pages::Huge a large array
// takes 2 MB pages, all but its two ends, where the system offers them. Throws std::bad_alloc
// (error 41 at the program's end) when refused.
void* allocate_zeroed(std::int64_t words, std::size_t size, Pages pages);

template <class T>
WorkStorage<T> allocate_storage(std::int64_t words, Pages pages) {
    return WorkStorage<T>(static_cast<T*>(allocate_zeroed(words, sizeof(T), pages)));
}

}  // namespace core
