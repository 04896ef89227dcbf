// The point-list limits with their minimums and the work-array lengths they give.
#include <gtest/gtest.h>

#include <array>
#include <fstream>

#include "../support/scratch_dir.hpp"
#include "history.hpp"
#include "recordio/recordio.hpp"

namespace his {
namespace {

class Limits_ : public test_support::ScratchDirTest {
protected:
    Limits read(const std::string& record) {
        std::ofstream("PNT.DAT", std::ios::binary) << record << "\r\n";
        rio::open(kPointListUnit, "PNT.DAT", rio::Status::Old, rio::Form::Formatted);
        const Limits l = read_limits(kPointListUnit);
        rio::close(kPointListUnit);
        return l;
    }
};

void expect_limits(const Limits& l, std::array<std::int32_t, 6> want) {
    EXPECT_EQ((std::array<std::int32_t, 6>{l.MAXSTP, l.MAXH, l.MAXP, l.MAXQ, l.MAXV, l.MAXTH}), want);
}

TEST_F(Limits_, EachLimitIsRaisedToItsOwnMinimum) {
    expect_limits(read("    0   10  200    0   60    1"), {100, 50, 200, 100, 60, 50});
    expect_limits(read(""), {100, 50, 50, 100, 50, 50});  // a blank record
    expect_limits(read("99999999999999999999999999999999"), {99999, 99999, 99999, 99999, 99999, 99999});
}

TEST(WorkSizes, SmallModelWithBlankLimits) {
    const Sizes s = work_sizes({10, 4, 8}, {100, 50, 50, 100, 50, 50});
    EXPECT_EQ(s.MTOTBD, 40267);
    EXPECT_EQ(s.MTOTIB, 447);
}

// In 4-byte arithmetic these lengths wrap; they must stay exact.
TEST(WorkSizes, LargeLimitsDoNotWrap) {
    const Sizes s = work_sizes({1000000, 900000, 8}, {99999, 50, 50, 100, 99999, 50});
    EXPECT_EQ(s.MTOTBD, 5000000 + 3600000 + 99999LL * (50 + 50 + 100 + 3 * 99999 + 50 + 1) + 101);
    EXPECT_EQ(s.MTOTIB, 8LL * 900000 + 1000000 + 900000 + 50 + 50 + 100 + 99999 + 50 + 101);
}

}  // namespace
}  // namespace his
