// List-directed input: separators, repeat counts, empty values, slashes, text values and
// the end of the file.
#include "rio_test_util.hpp"

namespace {

using rio_test::input_file;

class ListInput : public rio_test::InTempDir {};

TEST_F(ListInput, SeparatorsAndRecords) {
    input_file(30, "1, 2 ,3\n  4\n\n   5,\n6 7 8\n9\n");
    std::int32_t a = 0, b = 0, c = 0, d = 0, e = 0, f = 0;
    rio::read(30, "*", {a, b, c, d, e, f});  // values go on over records and a blank one
    EXPECT_EQ(a, 1);
    EXPECT_EQ(c, 3);
    EXPECT_EQ(d, 4);
    EXPECT_EQ(e, 5);
    EXPECT_EQ(f, 6);  // a comma before a record end is only a separator
    rio::read(30, "*", {a});  // the rest of "6 7 8" went with the last statement
    EXPECT_EQ(a, 9);
    EXPECT_FALSE(rio::read_or_end(30, "*", {a}));
}

TEST_F(ListInput, RepeatCountsAndEmptyValues) {
    input_file(30, "3*0.5\n1,,3\n1 /\n,5\n2*,7\n2*1.5D+03\n");
    double x[3] = {9, 9, 9};
    rio::read(30, "*", {std::span<double>(x)});
    EXPECT_EQ(x[0], 0.5);
    EXPECT_EQ(x[1], 0.5);
    EXPECT_EQ(x[2], 0.5);
    std::int32_t a = -1, b = -1, c = -1;
    rio::read(30, "*", {a, b, c});
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, -1);  // unchanged
    EXPECT_EQ(c, 3);
    a = b = c = -1;
    rio::read(30, "*", {a, b, c});
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, -1);  // the slash ends the statement
    EXPECT_EQ(c, -1);
    a = b = -1;
    rio::read(30, "*", {a, b});
    EXPECT_EQ(a, -1);  // a leading comma: an empty first value
    EXPECT_EQ(b, 5);
    a = b = c = -1;
    rio::read(30, "*", {a, b, c});
    EXPECT_EQ(a, -1);  // "2*" is two empty values
    EXPECT_EQ(b, -1);
    EXPECT_EQ(c, 7);
    double y = 0, z = 0;
    rio::read(30, "*", {y, z});
    EXPECT_EQ(y, 1500.0);
    EXPECT_EQ(z, 1500.0);
}

TEST_F(ListInput, NumberForms) {
    input_file(30,
               "1.00000000000000 0.000000000000000E+000  -123.456000000000 1.0E-5 1.5d2 +7 -8 .5 5.\n"
               "  1.000000000000000E-005  4.940656458412470E-324\n");
    double v[5];
    std::int32_t i = 0, j = 0;
    float f[2];
    rio::read(30, "*", {std::span<double>(v), i, j, std::span<float>(f)});
    EXPECT_EQ(v[0], 1.0);
    EXPECT_EQ(v[1], 0.0);
    EXPECT_EQ(v[2], -123.456);
    EXPECT_EQ(v[3], 1.0e-5);
    EXPECT_EQ(v[4], 150.0);
    EXPECT_EQ(i, 7);
    EXPECT_EQ(j, -8);
    EXPECT_EQ(f[0], 0.5f);
    EXPECT_EQ(f[1], 5.0f);
    double w[2];
    rio::read(30, "*", {std::span<double>(w)});
    EXPECT_EQ(w[0], 1.0e-5);
    EXPECT_EQ(w[1], 4.9406564584124654e-324);
}

TEST_F(ListInput, TextValues) {
    input_file(30, "'it''s' \"say \"\"x\"\"\" plain,next/\n3*ab 'a b'\n");
    std::string a(6, '?'), b(8, '?'), c(3, '?'), d(6, '?'), e(2, '?');
    rio::read(30, "*", {a, b, c, d, e});
    EXPECT_EQ(a, "it's  ");
    EXPECT_EQ(b, "say \"x\" ");
    EXPECT_EQ(c, "pla");  // truncated to the item
    EXPECT_EQ(d, "next  ");
    EXPECT_EQ(e, "??");  // the slash left it unchanged
    std::string p(2, '?'), q(2, '?'), r(2, '?'), s(4, '?');
    rio::read(30, "*", {p, q, r, s});
    EXPECT_EQ(p, "ab");
    EXPECT_EQ(r, "ab");
    EXPECT_EQ(s, "a b ");
}

// Reading back what list-directed output wrote gives the 15-digit value.
TEST_F(ListInput, RoundTripOfResultRecords) {
    const double X[3] = {0.1, -2.0 / 3.0, 1.0e-300};
    rio::open(31, "res.txt", rio::Status::Unknown, rio::Form::Formatted);
    rio::write(31, "*", {"TIME=", 2.5});
    rio::write(31, "*", {std::span<const double>(X), 42});
    rio::rewind(31);
    std::string t(5, ' ');
    double time = 0, y[3];
    std::int32_t n = 0;
    rio::read(31, "*", {t, time});
    rio::read(31, "*", {std::span<double>(y), n});
    EXPECT_EQ(t, "TIME=");
    EXPECT_EQ(time, 2.5);
    EXPECT_EQ(y[0], 0.1);
    EXPECT_EQ(y[1], -0.666666666666667);
    EXPECT_EQ(y[2], 1.0e-300);
    EXPECT_EQ(n, 42);
}

TEST_F(ListInput, EndOfFileKeepsWhatWasRead) {
    input_file(30, "1\n");
    std::int32_t a = 0, b = -1;
    EXPECT_FALSE(rio::read_or_end(30, "*", {a, b}));
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, -1);
}

}  // namespace
