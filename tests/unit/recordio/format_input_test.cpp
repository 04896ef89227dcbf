// Formatted input: blanks in numeric fields, implied decimal point, exponent forms, commas
// ending fields, short records, character fields, record skips and the end of the file.
#include "rio_test_util.hpp"

#include <vector>

namespace {

using rio_test::input_file;

class FormatInput : public rio_test::InTempDir {};

TEST_F(FormatInput, IntegerFields) {
    struct Case {
        const char* record;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"     ", 0},  {"  1 2", 12},     {"-  12", -12},  {"+0012", 12},
        {"", 0},       {"   7\r", 7},      {"  -0 ", 0},    {"2147483647", 2147483647},
    };
    for (const Case& c : cases) {
        input_file(30, std::string(c.record) + "\n");
        std::int32_t v = -1;
        const char* fmt = std::string_view(c.record).size() > 5 ? "(I10)" : "(I5)";
        rio::read(30, fmt, {v});
        EXPECT_EQ(v, c.expected) << "[" << c.record << "]";
        rio::close(30);
    }
}

TEST_F(FormatInput, RealFields) {
    struct Case {
        const char* format;
        const char* record;
        double expected;
    };
    const Case cases[] = {
        {"(F10.3)", "12345", 12.345},       // no point: the last d digits are the fraction
        {"(E10.3)", "12345", 12.345},       //
        {"(F10.0)", "12345", 12345.0},      //
        {"(F11.3)", "  1 2 3 4 5", 12.345},  // blanks anywhere are ignored
        {"(F10.3)", "1.5", 1.5},            // a point overrides d
        {"(F10.0)", "1.5E2", 150.0},        //
        {"(F10.0)", "1.5D2", 150.0},        //
        {"(F10.0)", "1.5e+2", 150.0},       //
        {"(F10.0)", "1.5+2", 150.0},        // a sign alone starts the exponent
        {"(F10.0)", "1.5-2", 0.015},        //
        {"(F10.2)", "15E1", 1.5},           // implied point, then the exponent
        {"(F10.0)", "-.25", -0.25},         //
        {"(F10.0)", "          ", 0.0},     //
        {"(F10.0)", "1.0E-400", 0.0},       // below the smallest double
        {"(F23.0)", "0.123456789012345678", 0.123456789012345678},
        {"(E15.7)", "  0.1234568E+02", 12.34568},
        {"(E16.7)", "   1.2500000E+01", 12.5},
        {"(F10.0)", "0.1", 0.1},
    };
    for (const Case& c : cases) {
        input_file(30, std::string(c.record) + "\r\n");
        double v = -1;
        rio::read(30, c.format, {v});
        EXPECT_EQ(v, c.expected) << c.format << " [" << c.record << "]";
        rio::close(30);
    }
    input_file(30, "0.1\n");
    float f = 0;
    rio::read(30, "(F10.0)", {f});
    EXPECT_EQ(f, 0.1f);  // REAL*4 rounded once from the decimal text
}

// An exponent needs a mantissa digit before it and a digit of its own; a second sign is a stray
// character. A lone sign or point still reads as zero, like a blank field.
TEST_F(FormatInput, IncompleteExponentsAreConversionErrors) {
    for (const char* record : {"1.5E", "1.5D+", "1.5-", "1 -", "--1", "E5", ".E1", "+D2", "1.5E 3."}) {
        input_file(30, std::string(record) + "\n");
        double v = -1;
        int status = 0;
        try {
            rio::read(30, "(F10.2)", {v});
        } catch (const rio::ProgramEnd& e) {
            status = e.status;
        }
        EXPECT_EQ(status, 64) << "[" << record << "]";
        EXPECT_EQ(v, -1) << "[" << record << "]";
        rio::close(30);
    }
    for (const char* record : {"-", ".", "+."}) {
        input_file(30, std::string(record) + "\n");
        double v = -1;
        rio::read(30, "(F10.2)", {v});
        EXPECT_EQ(v, 0.0) << "[" << record << "]";
        rio::close(30);
    }
}

TEST_F(FormatInput, CommaEndsANumericField) {
    input_file(30, "1.5,2\n");
    double a = 0, b = 0;
    rio::read(30, "(2F10.0)", {a, b});
    EXPECT_EQ(a, 1.5);
    EXPECT_EQ(b, 2.0);
    rio::close(30);
    input_file(30, "1,22,333\n");
    std::int32_t i = 0, j = 0, k = 0;
    rio::read(30, "(3I5)", {i, j, k});
    EXPECT_EQ(i, 1);
    EXPECT_EQ(j, 22);
    EXPECT_EQ(k, 333);
}

TEST_F(FormatInput, ShortRecordsReadAsBlankPadded) {
    input_file(30, "abc\n");
    std::string kw(5, '?');
    std::int32_t n = -1;
    rio::read(30, "(A5,I7)", {kw, n});
    EXPECT_EQ(kw, "abc  ");
    EXPECT_EQ(n, 0);
}

TEST_F(FormatInput, CharacterFields) {
    input_file(30, "abcdefgh\nxyz\nNODE  12\n");
    std::string five(5, '?'), three(3, '?');
    rio::read(30, "(A5)", {three});  // w >= n: the rightmost n characters of the field
    EXPECT_EQ(three, "cde");
    rio::read(30, "(A2)", {five});  // w < n: the w characters, blank-padded
    EXPECT_EQ(five, "xy   ");
    std::string word(4, '?');
    std::int32_t n = 0;
    rio::read(30, "(A,I4)", {word, n});  // A takes the item's length
    EXPECT_EQ(word, "NODE");
    EXPECT_EQ(n, 12);
}

TEST_F(FormatInput, SkipsSlashesAndRecordBoundaries) {
    input_file(30, "ab123\n  1  2\n  3\n 10 20\n 30\n");
    std::int32_t a = 0, b = 0, c = 0;
    rio::read(30, "(2X,I3)", {a});
    EXPECT_EQ(a, 123);
    rio::read(30, "(I3/I3)", {a, b});  // the rest of "  1  2" is skipped by "/"
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 3);
    rio::read(30, "(I3)", {a});  // each statement starts a new record
    EXPECT_EQ(a, 10);
    rio::read(30, "(I3)", {c});
    EXPECT_EQ(c, 30);
}

TEST_F(FormatInput, SixteenPerRecordOverTwoRecords) {
    std::string text;
    for (int i = 1; i <= 16; ++i) text += "    " + std::to_string(i % 10);
    text += "\n   17   18\n   99\n";
    input_file(30, text);
    std::vector<std::int32_t> v(18, -1);
    rio::read(30, "(16I5)", {std::span<std::int32_t>(v)});
    EXPECT_EQ(v[0], 1);
    EXPECT_EQ(v[15], 6);
    EXPECT_EQ(v[16], 17);
    EXPECT_EQ(v[17], 18);
    std::int32_t next = 0;
    rio::read(30, "(I5)", {next});
    EXPECT_EQ(next, 99);
}

TEST_F(FormatInput, EndOfFile) {
    input_file(30, "");
    std::int32_t a = 7;
    EXPECT_FALSE(rio::read_or_end(30, "(I5)", {a}));
    EXPECT_EQ(a, 7);  // no item changes
    rio::close(30);
    // A record without a line feed at the end of the file is a record; a lone CR is dropped.
    input_file(30, "   11\r\n   22");
    std::int32_t b = 0;
    EXPECT_TRUE(rio::read_or_end(30, "(I5)", {a}));
    EXPECT_TRUE(rio::read_or_end(30, "(I5)", {b}));
    EXPECT_EQ(a, 11);
    EXPECT_EQ(b, 22);
    EXPECT_FALSE(rio::read_or_end(30, "(I5)", {a}));
    rio::close(30);
    // The file ends inside the statement: the items read keep their values.
    input_file(30, "    5\n");
    a = b = 0;
    EXPECT_FALSE(rio::read_or_end(30, "(I5/I5)", {a, b}));
    EXPECT_EQ(a, 5);
    EXPECT_EQ(b, 0);
}

TEST_F(FormatInput, LongRecords) {
    std::string rec(100000, 'x');
    rec[99999] = 'y';
    input_file(30, rec + "\n12\n");
    std::string last(1, ' ');
    rio::read(30, "(99999X,A1)", {last});
    EXPECT_EQ(last, "y");
    std::int32_t n = 0;
    rio::read(30, "(I2)", {n});
    EXPECT_EQ(n, 12);
}

}  // namespace
