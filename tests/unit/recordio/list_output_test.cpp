// List-directed output: field forms by item type, the real form's fixed and exponent
// ranges, blanks before text, and records ended before column 80.
#include "rio_test_util.hpp"

#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace {

using rio_test::written;

class ListOutput : public rio_test::InTempDir {};

TEST_F(ListOutput, Real8Forms) {
    struct Case {
        double value;
        const char* expected;
    };
    const Case cases[] = {
        {1.0, "   1.00000000000000     "},
        {-123.456, "  -123.456000000000     "},
        {0.1, "  0.100000000000000     "},
        {1.0e-5, "  1.000000000000000E-005"},
        {0.0, "  0.000000000000000E+000"},
        {-0.0, "  0.000000000000000E+000"},
        {1.0 / 3.0, "  0.333333333333333     "},
        {2.0 / 3.0, "  0.666666666666667     "},
        {-2.0 / 3.0, " -0.666666666666667     "},
        {0.09999999999999999, "  0.100000000000000     "},  // rounds to 0.1 first
        {0.0999999999999, "  9.999999999990000E-002"},
        {999999999999999.4, "   999999999999999.     "},
        {999999999999999.6, "  1.000000000000000E+015"},
        {1.0e15, "  1.000000000000000E+015"},
        {-1.5e300, " -1.500000000000000E+300"},
        {1.0e-300, "  1.000000000000000E-300"},
        {4.9406564584124654e-324, "  0.000000000000000E+000"},  // a denormal counts as zero
        {123456789.125, "   123456789.125000     "},
        {std::numeric_limits<double>::quiet_NaN(), "                     NaN"},
        {std::numeric_limits<double>::infinity(), "                Infinity"},
        {-std::numeric_limits<double>::infinity(), "               -Infinity"},
    };
    for (const Case& c : cases) EXPECT_EQ(written("*", {c.value}), std::string(c.expected) + "\r\n") << c.value;
}

TEST_F(ListOutput, Real4AndIntegerForms) {
    struct Case {
        float value;
        const char* expected;
    };
    const Case cases[] = {
        {1.0f, "   1.000000    "},
        {2.5e-3f, "  2.5000000E-03"},  // the 7 rounded digits, then one "0"
        {0.1f, "  0.1000000    "},
        {-1234567.0f, "  -1234567.    "},
        {12345678.0f, "  1.2345680E+07"},
        {0.0f, "  0.0000000E+00"},
        {1.0e-40f, "  0.0000000E+00"},  // a denormal counts as zero
    };
    for (const Case& c : cases) EXPECT_EQ(written("*", {c.value}), std::string(c.expected) + "\r\n") << c.value;
    EXPECT_EQ(written("*", {8}), "           8\r\n");
    EXPECT_EQ(written("*", {-2147483647 - 1}), " -2147483648\r\n");
}

TEST_F(ListOutput, RecordsEndBeforeColumn80) {
    EXPECT_EQ(written("*", {1, 2, 3, 4, 5, 6, 7}),
              "           1           2           3           4           5           6\r\n"
              "           7\r\n");
    const double r[5] = {1, 2, 3, 4, 5};
    EXPECT_EQ(written("*", {std::span<const double>(r), 9}),
              "   1.00000000000000        2.00000000000000        3.00000000000000     \r\n"
              "   4.00000000000000        5.00000000000000                9\r\n");
    std::vector<float> f(6, 1.0f);
    EXPECT_EQ(written("*", {std::span<float>(f)}),
              "   1.000000       1.000000       1.000000       1.000000       1.000000    \r\n"
              "   1.000000    \r\n");
}

// A reader names the record of a value by list_record_of(): every value of a long statement
// of each kind lies in the record it names.
TEST_F(ListOutput, RecordOfEachValueAsTheReaderCountsIt) {
    auto check = [](std::int64_t (*record_of)(std::int64_t), const std::string& text, int n) {
        std::istringstream lines(text);
        std::string line;
        int k = 0;
        for (std::int64_t record = 0; std::getline(lines, line); ++record) {
            std::istringstream values(line);
            for (double v; values >> v; ++k) {
                EXPECT_EQ(v, k + 1);
                EXPECT_EQ(record_of(k), record) << "value " << k;
            }
        }
        EXPECT_EQ(k, n);
    };
    std::vector<std::int32_t> i(20);
    std::vector<double> d(20);
    std::vector<float> f(20);
    for (int k = 0; k < 20; ++k) i[k] = k + 1, d[k] = k + 1, f[k] = static_cast<float>(k + 1);
    check(rio::list_record_of<rio::Kind::Int4>, written("*", {std::span<std::int32_t>(i)}), 20);
    check(rio::list_record_of<rio::Kind::Real8>, written("*", {std::span<double>(d)}), 20);
    check(rio::list_record_of<rio::Kind::Real4>, written("*", {std::span<float>(f)}), 20);
}

TEST_F(ListOutput, TextItems) {
    EXPECT_EQ(written("*", {"READ TIME=", 1.5}), " READ TIME=   1.50000000000000     \r\n");
    EXPECT_EQ(written("*", {"AB", "CD"}), " ABCD\r\n");  // text after text: no blank
    EXPECT_EQ(written("*", {7, "AB", 8, "CD", "EF"}), "           7 AB           8 CDEF\r\n");
    // A text that would pass column 80 starts a new record, with its blank.
    EXPECT_EQ(written("*", {1.0, 2.0, 3.0, "0123456789"}),
              "   1.00000000000000        2.00000000000000        3.00000000000000     \r\n"
              " 0123456789\r\n");
    const std::string wide(90, 'w');
    EXPECT_EQ(written("*", {1, wide}), "           1\r\n " + wide + "\r\n");
    EXPECT_EQ(written("*", {}), "\r\n");
}

// Many statements in one call write what the statements one by one would: arrays give one
// element to each, scalars and texts go whole into each, and each statement keeps its own
// record breaks at column 80.
TEST_F(ListOutput, RowsAreSeparateStatements) {
    std::vector<std::int32_t> k = {1, -22, 333};
    std::vector<float> f = {0.5f, -1.0e-20f, 7.0e6f};
    std::vector<double> d = {1.0 / 3.0, 0.0, -2.5e300};
    const std::string wide(60, 'w');
    auto one_by_one = [&] {
        rio::open(41, "single.txt", rio::Status::Unknown, rio::Form::Formatted);
        for (std::size_t i = 0; i < k.size(); ++i) rio::write(41, "*", {k[i], ",", f[i], wide, d[i], 7});
        rio::close(41);
        return rio_test::slurp("single.txt");
    };
    rio::open(40, "rows.txt", rio::Status::Unknown, rio::Form::Formatted);
    rio::write_rows(40, 3, {std::span<std::int32_t>(k), ",", std::span<float>(f), wide, std::span<double>(d), 7});
    rio::write_rows(40, 0, {std::span<std::int32_t>(k)});
    rio::close(40);
    EXPECT_EQ(rio_test::slurp("rows.txt"), one_by_one());
    // One row: arrays of one element are the scalars themselves.
    rio::open(40, "one.txt", rio::Status::Unknown, rio::Form::Formatted);
    rio::write_rows(40, 1, {std::span<std::int32_t>(k.data(), 1), ",", std::span<float>(f.data(), 1)});
    rio::close(40);
    EXPECT_EQ(rio_test::slurp("one.txt"), written("*", {k[0], ",", f[0]}));
}

}  // namespace
