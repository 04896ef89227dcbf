// Format control: repeat counts, groups, reversion after the final parenthesis, the scale
// factor across repeats, items running out, and implied loops over several arrays.
#include "rio_test_util.hpp"

#include <vector>

#include "../../../recordio/src/internal.hpp"

namespace {

using rio::Item;
using rio::Strided;
using rio_test::written;

class FormatControl : public rio_test::InTempDir {};

TEST_F(FormatControl, RepeatedDescriptorRevertsToTheStart) {
    std::vector<std::int32_t> v(18);
    for (int i = 0; i < 18; ++i) v[static_cast<std::size_t>(i)] = i + 1;
    EXPECT_EQ(written("(16I5)", {std::span<std::int32_t>(v)}),
              "    1    2    3    4    5    6    7    8    9   10   11   12   13   14   15   16\r\n"
              "   17   18\r\n");
}

// (1X,3(I6,1P3E12.4)) continues with 3(I6,1P3E12.4) without the 1X, scale factor 1 kept.
TEST_F(FormatControl, ReversionToTheLastOuterGroupKeepsTheScaleFactor) {
    const std::int32_t n[4] = {1, 2, 3, 4};
    const double x[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const std::string expected =
        "      1  1.0000E+00  2.0000E+00  3.0000E+00     2  4.0000E+00  5.0000E+00  6.0000E+00"
        "     3  7.0000E+00  8.0000E+00  9.0000E+00\r\n"
        "     4  1.0000E+01  1.1000E+01  1.2000E+01\r\n";
    EXPECT_EQ(written("(1X,3(I6,1P3E12.4))", {Item::loop(4, n, Strided<const double>{x, 3, 3})}), expected);
    EXPECT_EQ(written("(1X,3(I6,1P,3E12.4))", {Item::loop(4, n, Strided<const double>{x, 3, 3})}), expected);
}

TEST_F(FormatControl, ReversionTakesTheGroupWithItsRepeatCount) {
    EXPECT_EQ(written("(I2,2(',',I3))", {1, 2, 3, 4, 5, 6}), " 1,  2,  3\r\n,  4,  5\r\n,  6,\r\n");
    EXPECT_EQ(written("(I2,2(',',I1),'|')", {1, 2, 3, 4}), " 1,2,3|\r\n,4,\r\n");
    // Without a group the whole format repeats.
    EXPECT_EQ(written("('N',I2)", {1, 2}), "N 1\r\nN 2\r\n");
}

TEST_F(FormatControl, NestedGroups) {
    EXPECT_EQ(written("(2(I1,2(I2)),I3)", {1, 2, 3, 4, 5, 6, 7}), "1 2 34 5 6  7\r\n");
    EXPECT_EQ(written("( I3 , 2 ( ':' , i2 ) )", {1, 2, 3}), "  1: 2: 3\r\n");  // blanks and lower case
}

// Processing stops at the next descriptor needing an item or the final parenthesis, after
// the literals and slashes before it.
TEST_F(FormatControl, ItemsRunningOut) {
    EXPECT_EQ(written("(I3,' A',I3,' B')", {1}), "  1 A\r\n");
    EXPECT_EQ(written("(I3,' A',I3,' B')", {1, 2}), "  1 A  2 B\r\n");
    EXPECT_EQ(written("(3(I2,'x'))", {1}), " 1x\r\n");
    EXPECT_EQ(written("(I2,'/'/)", {1}), " 1/\r\n\r\n");
}

TEST_F(FormatControl, ScaleFactor) {
    // Each statement starts with scale factor 0.
    EXPECT_EQ(written("(1PE12.4)", {0.5}), "  5.0000E-01\r\n");
    EXPECT_EQ(written("(E12.4)", {0.5}), "  0.5000E+00\r\n");
    // A factor set inside a group holds after it and on every repeat.
    EXPECT_EQ(written("(2(1PE10.3),E10.3)", {1.0, 2.0, 3.0}), " 1.000E+00 2.000E+00 3.000E+00\r\n");
    EXPECT_EQ(written("(1PE10.3,0PE10.3)", {1.0, 2.0}), " 1.000E+00 0.200E+01\r\n");
    EXPECT_EQ(written("(1PE10.3,4(',',1PE10.3))", {1.0, 2.0}), " 1.000E+00, 2.000E+00,\r\n");
}

// Implied loops take X(i), Y(i), Z(i) in turn without copying; Strided walks a column of a
// column-major array.
TEST_F(FormatControl, ImpliedLoops) {
    const double X[3] = {1, 2, 3}, Y[3] = {4, 5, 6}, Z[3] = {7, 8, 9};
    EXPECT_EQ(written("(3F4.0)", {Item::loop(3, X, Y, Z)}), "  1.  4.  7.\r\n  2.  5.  8.\r\n  3.  6.  9.\r\n");
    // NOD(1..3, m) for m = 1..2 of a 4 x 2 array, with the element number first.
    std::int32_t NOD[8] = {11, 12, 13, 14, 21, 22, 23, 24};
    std::int32_t M[2] = {1, 2};
    EXPECT_EQ(written("(I2,3I3)", {Item::loop(2, M, Strided<std::int32_t>{NOD, 3, 4})}),
              " 1 11 12 13\r\n 2 21 22 23\r\n");
    EXPECT_EQ(written("(4I3)", {Item::loop(0, M)}), "\r\n");  // a loop of no passes
    std::vector<float> f{1.5f, 2.5f};
    EXPECT_EQ(written("(2F4.1)", {std::span<float>(f)}), " 1.5 2.5\r\n");
}

TEST_F(FormatControl, FormatTextsParse) {
    rio::detail::Format f;
    std::string why;
    EXPECT_TRUE(rio::detail::parse_format("(A5,I7,I3,5E10.3,A1)", f, why)) << why;
    EXPECT_TRUE(rio::detail::parse_format("(1PE16.7,900(',',1PE16.7))", f, why)) << why;
    EXPECT_TRUE(rio::detail::parse_format("((10I6/),7I6)", f, why)) << why;
    const char* bad[] = {"I5", "(I5", "(I)", "(F10)", "(Q5)", "('abc)", "(I5))", "(0I5)"};
    for (const char* b : bad) EXPECT_FALSE(rio::detail::parse_format(b, f, why)) << b;
}

}  // namespace
