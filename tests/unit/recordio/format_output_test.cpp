// Formatted output fields: I, F, E with scale factors, A, X, literals and record ends.
#include "rio_test_util.hpp"

#include <limits>

namespace {

using rio_test::written;

class FormatOutput : public rio_test::InTempDir {};

struct Case {
    const char* format;
    double value;
    const char* expected;  // the record without its CR LF
};

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Fixed-point fields: the optional "0", rounding of the exact binary value with ties to even,
// asterisks when the field is too narrow, and non-finite values.
TEST_F(FormatOutput, FixedPointFields) {
    const Case cases[] = {
        {"(F10.5)", 0.5, "   0.50000"},
        {"(F4.2)", 0.5, "0.50"},
        {"(F3.2)", 0.5, ".50"},
        {"(F5.0)", 12.0, "  12."},
        {"(F6.2)", -0.5, " -0.50"},
        {"(F4.2)", -0.5, "-.50"},
        {"(F3.2)", -0.5, "***"},
        {"(F5.1)", -0.04, "  0.0"},  // rounds to zero: no sign
        {"(F6.2)", 0.125, "  0.12"},  // exact tie: even digit
        {"(F6.2)", 0.375, "  0.38"},
        {"(F6.2)", 2.675, "  2.67"},  // 2.675 is 2.67499999... in binary
        {"(F10.3)", 1.0e10, "**********"},
        {"(F12.3)", -123456.7894, " -123456.789"},
        {"(F23.0)", 12345678901234567890.0, "  12345678901234567168."},
        {"(F9.2)", kInf, " Infinity"},
        {"(F10.2)", -kInf, " -Infinity"},
        {"(F5.1)", kNaN, "  NaN"},
        {"(F4.1)", kInf, "****"},
        {"(1PF8.3)", 1.5, "  15.000"},  // a scale factor multiplies F output by 10^k
        {"(-1PF8.3)", 1.5, "   0.150"},
        {"(-2PF8.1)", 1251.0, "    12.5"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(written(c.format, {c.value}), std::string(c.expected) + "\r\n") << c.format << " " << c.value;
}

// Exponent fields with scale factor 0 and 1, three-digit exponents without the letter.
TEST_F(FormatOutput, ExponentFields) {
    const Case cases[] = {
        {"(E15.7)", 0.0, "  0.0000000E+00"},
        {"(E15.7)", -0.0, "  0.0000000E+00"},
        {"(E10.3)", 1.0e100, " 0.100+101"},
        {"(E10.3)", 1.0e-100, " 0.100E-99"},
        {"(E10.3)", 1.0e-101, " 0.100-100"},
        {"(E10.3)", 1.0e-99, " 0.100E-98"},
        {"(E15.7)", 12.345678, "  0.1234568E+02"},
        {"(E10.3)", -123.4, "-0.123E+03"},
        {"(E9.3)", -123.4, "-.123E+03"},
        {"(E8.3)", -123.4, "********"},
        {"(E10.2)", 0.125, "  0.12E+00"},
        {"(E10.2)", 0.375, "  0.38E+00"},
        {"(E10.3)", 0.9996, " 0.100E+01"},  // rounding carries into the exponent
        {"(1PE13.5)", 0.0125, "  1.25000E-02"},
        {"(1PE10.3)", -123.4, "-1.234E+02"},
        {"(1PE12.4)", 0.0, "  0.0000E+00"},
        {"(1PE12.4)", 9.99996, "  1.0000E+01"},
        {"(1PE12.4)", 1.0e-300, "  1.0000-300"},
        {"(1PE16.7)", 4.9406564584124654e-324, "   0.0000000E+00"},  // a denormal counts as zero
        {"(-1PE12.4)", 12.3456, "  0.0123E+03"},
        {"(2PE12.4)", 12.3456, "  12.346E+00"},
        {"(E12.4)", kNaN, "         NaN"},
        {"(1PE12.4)", -kInf, "   -Infinity"},
        {"(E8.1)", -kInf, "********"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(written(c.format, {c.value}), std::string(c.expected) + "\r\n") << c.format << " " << c.value;
}

// REAL*4 items are converted from their own binary value, not from a rounded decimal.
TEST_F(FormatOutput, SinglePrecisionItems) {
    EXPECT_EQ(written("(F12.9)", {0.1f}), " 0.100000001\r\n");
    EXPECT_EQ(written("(1PE14.6)", {1.0e-5f}), "  1.000000E-05\r\n");
}

TEST_F(FormatOutput, IntegerFields) {
    struct IntCase {
        const char* format;
        std::int32_t value;
        const char* expected;
    };
    const IntCase cases[] = {
        {"(I5)", 123456, "*****"},
        {"(I4)", -999, "-999"},
        {"(I4)", -1000, "****"},
        {"(I3)", 0, "  0"},
        {"(I1)", 7, "7"},
        {"(I12)", -2147483647 - 1, " -2147483648"},
    };
    for (const IntCase& c : cases)
        EXPECT_EQ(written(c.format, {c.value}), std::string(c.expected) + "\r\n") << c.format << " " << c.value;
}

TEST_F(FormatOutput, CharacterFields) {
    EXPECT_EQ(written("(A5)", {"abc"}), "  abc\r\n");
    EXPECT_EQ(written("(A2)", {"hello"}), "he\r\n");
    EXPECT_EQ(written("(A)", {"hello"}), "hello\r\n");
    EXPECT_EQ(written("(A,A3)", {"x ", "  "}), "x    \r\n");  // trailing blanks of data are kept
    // Shift_JIS bytes go through unchanged; a column is a byte.
    EXPECT_EQ(written("(A6)", {"\x83\x65\x83\x58"}), "  \x83\x65\x83\x58\r\n");
    // One string as an array of 4-character words: a title written (20A4) or (1X,2A4).
    const std::string title = "ABCDEFGH";
    EXPECT_EQ(written("(1X,2A4)", {rio::Item::words(title, 4)}), " ABCDEFGH\r\n");
    EXPECT_EQ(written("(A2)", {rio::Item::words(title, 4)}), "AB\r\nEF\r\n");
}

TEST_F(FormatOutput, LiteralsMovesAndRecordEnds) {
    EXPECT_EQ(written("(I2,3X,I2)", {1, 2}), " 1    2\r\n");
    EXPECT_EQ(written("(I2,3X)", {1}), " 1\r\n");  // a move at the end adds nothing
    EXPECT_EQ(written("('it''s',I2)", {5}), "it's 5\r\n");
    EXPECT_EQ(written("(\"say \"\"hi\"\"\")", {}), "say \"hi\"\r\n");
    EXPECT_EQ(written("(' TEXT  ')", {}), " TEXT  \r\n");
    EXPECT_EQ(written("(//' MTOTBD=',I10,'  MTOTIB=',I10)", {1000000, 1600000}),
              "\r\n\r\n MTOTBD=   1000000  MTOTIB=   1600000\r\n");
    EXPECT_EQ(written("(I3//)", {7}), "  7\r\n\r\n\r\n");
    EXPECT_EQ(written("(I3/I3)", {7, 8}), "  7\r\n  8\r\n");
    EXPECT_EQ(written("(//20X,'RECUL=',I5//)", {3}), "\r\n\r\n                    RECUL=    3\r\n\r\n\r\n");
    EXPECT_EQ(written("(I5)", {}), "\r\n");  // no items: the record in hand, empty
}

}  // namespace
