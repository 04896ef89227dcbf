// The work-array views: cut one after another, 1-based and column-major, and bounds-checked in
// a build with assertions; and the floating-point mode the test programs start in.
#include "core/arrays.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

using core::Index;

// The tests run in the mode every program sets first: a result below the smallest normal
// number is flushed to zero, as in the programs.
TEST(FloatMode, TestsFlushDenormalsToZero) {
    volatile double smallest = std::numeric_limits<double>::min();
    volatile double half = smallest / 2.0;
    EXPECT_EQ(half, 0.0);
}

TEST(Arrays, SlicesFollowOneAnotherAsColumnMajorViews) {
    std::vector<Index> IB(1 + 1 + 3 * 4 + 1);
    core::SliceCursor<Index> cut(IB.data(), 1);
    const core::Span1<Index> A = cut.take(1);
    const core::Span2<Index> NOD = cut.take2(3, 4);
    const core::Span1<Index> B = cut.take(1);
    EXPECT_EQ(cut.at(), 15);
    A(1) = 1;
    NOD(2, 3) = 7;
    B(1) = 9;
    EXPECT_EQ(IB[1], 1);
    EXPECT_EQ(IB[2 + (2 - 1) + (3 - 1) * 3], 7);  // NOD(k, m) at (k - 1) + (m - 1) * 3
    EXPECT_EQ(IB[14], 9);
    EXPECT_EQ(NOD.column(3)(2), 7);
}

#ifndef NDEBUG
// The check build tests every access: an index outside a slice stops the run at once instead of
// writing into the slice beside it.
TEST(ArraysDeathTest, AccessOutsideASliceStops) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    std::vector<double> BD(4);
    core::SliceCursor<double> cut(BD.data(), 0);
    const core::Span1<double> X = cut.take(2);
    const core::Span2<double> T = cut.take2(1, 2);
    EXPECT_DEATH(X(3) = 1.0, "");
    EXPECT_DEATH(X(0) = 1.0, "");
    EXPECT_DEATH(T(2, 1) = 1.0, "");
    EXPECT_DEATH(T(1, 3) = 1.0, "");
    EXPECT_DEATH(T.column(3), "");
}
#endif

}  // namespace
