// 1-based views of model arrays cut out of the work arrays BD and IB, the cursor that cuts
// them, and the INTEGER*4 type of every integer the model stores.
#pragma once

#include <cassert>
#include <cstdint>
#include <limits>
#include <span>

namespace core {

// INTEGER*4: node and element numbers, codes, row pointers and every word of IB. A count or
// index the model stores in it is at most kIndexMax (2^31 - 1); positions in the work arrays
// and products of counts are reckoned in 64 bits and checked against it.
using Index = std::int32_t;
inline constexpr std::int64_t kIndexMax = std::numeric_limits<Index>::max();
inline constexpr std::int64_t kIndexMin = std::numeric_limits<Index>::min();

// One-dimensional array A(i), i = 1..n.
template <class T>
class Span1 {
public:
    Span1() = default;
    Span1(T* base, std::int64_t n) : p_(base), n_(n) {}
    T& operator()(std::int64_t i) const {
        assert(i >= 1 && i <= n_);
        return p_[i - 1];
    }
    std::int64_t size() const { return n_; }
    T* data() const { return p_; }
    std::span<T> span() const { return {p_, static_cast<std::size_t>(n_)}; }

private:
    T* p_ = nullptr;
    std::int64_t n_ = 0;
};

// Two-dimensional column-major array A(i, j), i = 1..ld, j = 1..cols.
template <class T>
class Span2 {
public:
    Span2() = default;
    Span2(T* base, std::int64_t ld, std::int64_t cols) : p_(base), ld_(ld), cols_(cols) {}
    T& operator()(std::int64_t i, std::int64_t j) const {
        assert(i >= 1 && i <= ld_ && j >= 1 && j <= cols_);
        return p_[(i - 1) + (j - 1) * ld_];
    }
    std::int64_t ld() const { return ld_; }
    std::int64_t cols() const { return cols_; }
    std::int64_t size() const { return ld_ * cols_; }
    T* data() const { return p_; }
    // Column j as a 1-based array of ld entries.
    Span1<T> column(std::int64_t j) const {
        assert(j >= 1 && j <= cols_);
        return Span1<T>(p_ + (j - 1) * ld_, ld_);
    }
    std::span<T> span() const { return {p_, static_cast<std::size_t>(ld_ * cols_)}; }

private:
    T* p_ = nullptr;
    std::int64_t ld_ = 0;
    std::int64_t cols_ = 0;
};

// Cuts consecutive slices out of one work array, from word `start` (0-based) on.
template <class T>
class SliceCursor {
public:
    SliceCursor(T* base, std::int64_t start) : p_(base), at_(start) {}
    Span1<T> take(std::int64_t n) {
        Span1<T> s(p_ + at_, n);
        at_ += n;
        return s;
    }
    Span2<T> take2(std::int64_t ld, std::int64_t cols) {
        Span2<T> s(p_ + at_, ld, cols);
        at_ += ld * cols;
        return s;
    }
    std::int64_t at() const { return at_; }

private:
    T* p_;
    std::int64_t at_;
};

}  // namespace core
