// Unit table and unformatted records: default "fort.N" connections, open, rewind, close,
// the file ending after the records written since the last positioning, and record framing.
#include "rio_test_util.hpp"
#include "../../../recordio/src/internal.hpp"

#include <algorithm>
#include <concepts>
#include <span>
#include <string>
#include <type_traits>
#include <filesystem>
#include <vector>

namespace {

using rio::Form;
using rio::Status;
using rio_test::slurp;
using rio_test::spit;

class Units : public rio_test::InTempDir {};

std::string le32(std::int32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[static_cast<std::size_t>(i)] = static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xff);
    return s;
}

TEST_F(Units, UnformattedRecordFraming) {
    rio::open(2, "scratch.bin", Status::Unknown, Form::Unformatted);
    rio::write_unf(2, {1, 2});
    std::vector<std::int32_t> IB(11);
    for (int i = 0; i < 11; ++i) IB[static_cast<std::size_t>(i)] = 100 + i;
    rio::write_unf(2, {std::span<std::int32_t>(IB)});
    rio::write_unf(2, {2.5, 7});
    rio::close(2);
    const std::string bytes = slurp("scratch.bin");
    ASSERT_EQ(bytes.size(), 16u + 52u + 20u);
    EXPECT_EQ(bytes.substr(0, 16), le32(8) + le32(1) + le32(2) + le32(8));
    EXPECT_EQ(bytes.substr(16, 4), le32(44));
    EXPECT_EQ(bytes.substr(20, 4), le32(100));
    EXPECT_EQ(bytes.substr(64, 4), le32(44));
    EXPECT_EQ(bytes.substr(68, 4), le32(12));
    EXPECT_EQ(bytes.substr(84, 4), le32(12));
}

// A read stores only into what may change, and an implied loop holds at most kMaxMembers
// arrays: a transfer list that breaks either rule does not compile.
template <class... A>
concept ReadLoop = requires(A... a) { rio::Target::loop(1, a...); };
template <class... A>
concept WriteLoop = requires(A... a) { rio::Item::loop(1, a...); };
using D = double*;
using CD = const double*;
static_assert(std::is_constructible_v<rio::Target, double&>);
static_assert(!std::is_constructible_v<rio::Target, const double&>);
static_assert(!std::is_constructible_v<rio::Target, double>);         // a temporary
static_assert(!std::is_constructible_v<rio::Target, std::int64_t&>);  // a converted copy
static_assert(!std::is_constructible_v<rio::Target, const std::string&>);
static_assert(!std::is_constructible_v<rio::Target, std::span<const double>>);
static_assert(std::is_constructible_v<rio::Item, const double&>);
static_assert(ReadLoop<D, std::int32_t*, rio::Strided<double>>);
static_assert(!ReadLoop<D, const std::int32_t*>);
static_assert(!ReadLoop<rio::Strided<const double>>);
static_assert(WriteLoop<CD, CD, CD, CD, CD, CD> && ReadLoop<D, D, D, D, D, D>);
static_assert(!WriteLoop<CD, CD, CD, CD, CD, CD, CD> && !ReadLoop<D, D, D, D, D, D, D>);

TEST_F(Units, UnformattedReadBack) {
    const double X[3] = {1.5, -2.5, 3.5};
    const std::int32_t K[3] = {7, 8, 9};
    rio::open(3, "scratch.bin", Status::Unknown, Form::Unformatted);
    rio::write_unf(3, {rio::Item::loop(3, X, K)});
    rio::write_unf(3, {11, 12, 13});
    rio::write_unf(3, {21});
    rio::rewind(3);
    double x[3] = {};
    std::int32_t k[3] = {};
    rio::read_unf(3, {rio::Target::loop(3, x, k)});
    EXPECT_EQ(x[2], 3.5);
    EXPECT_EQ(k[1], 8);
    std::int32_t a = 0;
    rio::read_unf(3, {a});  // fewer items than the record: the rest is passed over
    EXPECT_EQ(a, 11);
    EXPECT_TRUE(rio::read_unf_or_end(3, {a}));
    EXPECT_EQ(a, 21);
    EXPECT_FALSE(rio::read_unf_or_end(3, {a}));
    // Large arrays go past the buffer in one piece.
    std::vector<double> big(300000), back(300000);
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<double>(i) * 0.5;
    rio::rewind(3);
    rio::write_unf(3, {std::span<double>(big)});
    rio::write_unf(3, {5});
    rio::rewind(3);
    rio::read_unf(3, {std::span<double>(back)});
    rio::read_unf(3, {a});
    EXPECT_EQ(back, big);
    EXPECT_EQ(a, 5);
    rio::close(3);
    EXPECT_EQ(std::filesystem::file_size("scratch.bin"), 8u + 2400000u + 12u);
}

// Records longer than one sub-record, shown with sub-records of 12 bytes: the bytes are those a
// Fortran run-time library writes with that sub-record length (the last three taken from one),
// and the chains read back whole, in part, and with values split between pieces.
TEST_F(Units, SubrecordChains) {
    struct Limit {
        explicit Limit(std::int64_t n) : old(rio::detail::subrecord_limit()) { rio::detail::subrecord_limit() = n; }
        ~Limit() { rio::detail::subrecord_limit() = old; }
        std::int64_t old;
    };
    const std::int32_t a[7] = {1, 2, 3, 4, 5, 6, 7};
    const std::string v = le32(1) + le32(2) + le32(3) + le32(4) + le32(5) + le32(6) + le32(7);
    const struct {
        int count;
        std::string bytes;
    } cases[] = {
        {2, le32(8) + v.substr(0, 8) + le32(8)},
        {3, le32(12) + v.substr(0, 12) + le32(12)},
        {4, le32(-12) + v.substr(0, 12) + le32(12) + le32(4) + v.substr(12, 4) + le32(-4)},
        {6, le32(-12) + v.substr(0, 12) + le32(12) + le32(12) + v.substr(12, 12) + le32(-12)},
        {7, le32(-12) + v.substr(0, 12) + le32(12) + le32(-12) + v.substr(12, 12) + le32(-12) + le32(4) +
                v.substr(24, 4) + le32(-4)},
    };
    {
        Limit small(12);
        for (const auto& c : cases) {
            rio::open(2, "chain.bin", Status::Replace, Form::Unformatted);
            rio::write_unf(2, {std::span<const std::int32_t>(a, static_cast<std::size_t>(c.count))});
            rio::close(2);
            EXPECT_EQ(slurp("chain.bin"), c.bytes) << c.count << " values";
        }
        // Three values of 8 bytes: the second is split between the first two pieces.
        rio::open(2, "chain.bin", Status::Replace, Form::Unformatted);
        rio::write_unf(2, {1.5, -2.25, 1.0e300});
        rio::write_unf(2, {a[6]});
        rio::close(2);
        EXPECT_EQ(std::filesystem::file_size("chain.bin"), 3 * 8u + 2 * 8u + 12u);
    }
    // Reading needs no sub-record length of its own: full size here.
    rio::open(2, "chain.bin", Status::Old, Form::Unformatted);
    double x[3] = {};
    std::int32_t k = 0;
    rio::read_unf(2, {std::span<double>(x)});
    rio::read_unf(2, {k});
    EXPECT_EQ(x[0], 1.5);
    EXPECT_EQ(x[1], -2.25);
    EXPECT_EQ(x[2], 1.0e300);
    EXPECT_EQ(k, 7);
    EXPECT_FALSE(rio::read_unf_or_end(2, {k}));
    rio::close(2);
    // Pieces of any size, as another writer may choose them, and a read that takes only the
    // first values of a chain goes on at the next record.
    spit("chain.bin", cases[4].bytes + le32(-5) + v.substr(0, 5) + le32(5) + le32(3) + v.substr(5, 3) + le32(-3) +
                          cases[0].bytes);
    rio::open(2, "chain.bin", Status::Old, Form::Unformatted);
    std::int32_t b[7] = {};
    rio::read_unf(2, {std::span<std::int32_t>(b)});
    EXPECT_EQ(std::vector<std::int32_t>(b, b + 7), std::vector<std::int32_t>(a, a + 7));
    std::int32_t first = 0, second = 0;
    rio::read_unf(2, {first});
    EXPECT_EQ(first, 1);
    rio::read_unf(2, {first, second});
    EXPECT_EQ(first * 10 + second, 12);
    EXPECT_FALSE(rio::read_unf_or_end(2, {first}));
    rio::close(2);
    // A chain asked for more than it holds (67); a trailing field that does not match its piece,
    // a chain cut off by the end of the file (39).
    const struct {
        std::string bytes;
        int count;
        int error;
    } bad[] = {
        {cases[2].bytes, 5, 67},
        {le32(-12) + v.substr(0, 12) + le32(-12) + le32(4) + v.substr(12, 4) + le32(-4), 4, 39},
        {le32(-12) + v.substr(0, 12) + le32(12) + le32(4) + v.substr(12, 4) + le32(4), 4, 39},
        {le32(-12) + v.substr(0, 12) + le32(12), 3, 39},
    };
    for (const auto& c : bad) {
        spit("bad.bin", c.bytes);
        rio::open(3, "bad.bin", Status::Old, Form::Unformatted);
        int status = 0;
        try {
            rio::read_unf(3, {std::span<std::int32_t>(b, static_cast<std::size_t>(c.count))});
        } catch (const rio::ProgramEnd& e) {
            status = e.status;
        }
        EXPECT_EQ(status, c.error) << c.count;
        rio::close(3);
    }
}

// The step-cut scratch pattern: rewind, write, rewind, read, many times over.
TEST_F(Units, RewindWriteRewindRead) {
    rio::open(4, "hold.bin", Status::Unknown, Form::Unformatted);
    for (int step = 1; step <= 50; ++step) {
        rio::rewind(4);
        rio::write_unf(4, {step, step * 2});
        rio::rewind(4);
        std::int32_t a = 0, b = 0;
        rio::read_unf(4, {a, b});
        ASSERT_EQ(a, step);
        ASSERT_EQ(b, 2 * step);
        EXPECT_FALSE(rio::read_unf_or_end(4, {a}));
    }
    rio::close(4);
    EXPECT_EQ(std::filesystem::file_size("hold.bin"), 16u);
}

TEST_F(Units, WritingAfterRewindEndsTheFile) {
    rio::open(1, "work.txt", Status::Unknown, Form::Formatted);
    for (int i = 1; i <= 5; ++i) rio::write(1, "(I2)", {i});
    rio::rewind(1);
    rio::write(1, "(I2)", {7});
    rio::write(1, "(I2)", {8});
    rio::close(1);
    EXPECT_EQ(slurp("work.txt"), " 7\r\n 8\r\n");
    // Reopening an existing file keeps it until the first write.
    rio::open(1, "work.txt", Status::Unknown, Form::Formatted);
    std::int32_t a = 0;
    rio::read(1, "(I2)", {a});
    rio::close(1);
    EXPECT_EQ(a, 7);
    EXPECT_EQ(slurp("work.txt"), " 7\r\n 8\r\n");
    // A write after reading replaces what followed the record read.
    spit("work.txt", " 1\r\n 2\r\n 3\r\n");
    rio::open(1, "work.txt", Status::Old, Form::Formatted);
    rio::read(1, "(I2)", {a});
    rio::write(1, "(I2)", {9});
    rio::close(1);
    EXPECT_EQ(slurp("work.txt"), " 1\r\n 9\r\n");
}

// Replace empties an older file at the open, even when nothing is written afterwards; the
// record number counts the records read since the open or the last rewind.
TEST_F(Units, ReplaceEmptiesAndRecordNumbersCount) {
    spit("out.txt", "OLD 1\r\nOLD 2\r\n");
    rio::open(1, "out.txt", Status::Replace, Form::Formatted);
    rio::close(1);
    EXPECT_EQ(slurp("out.txt"), "");
    rio::open(1, "new.txt", Status::Replace, Form::Formatted);
    rio::close(1);
    EXPECT_TRUE(std::filesystem::exists("new.txt"));

    spit("in.txt", " 1 2\r\n 3\r\n 4\r\n");
    rio::open(2, "in.txt", Status::Old, Form::Formatted);
    EXPECT_EQ(rio::record_number(2), 0);
    std::int32_t a = 0, b = 0, c = 0;
    rio::read(2, "*", {a, b, c});  // one statement over two records
    EXPECT_EQ(rio::record_number(2), 2);
    rio::rewind(2);
    EXPECT_EQ(rio::record_number(2), 0);
    rio::read(2, "(I2)", {a});
    EXPECT_EQ(rio::record_number(2), 1);
    rio::close(2);
}

// endfile empties a file opened on old content; flush puts the records in the file at once.
// Devices are not files that writing could cut: one may serve two units.
TEST_F(Units, EndfileAndFlush) {
    spit("old.txt", "OLD\r\nOLDER\r\n");
    rio::open(9, "old.txt", Status::Unknown, Form::Formatted);
    EXPECT_EQ(slurp("old.txt"), "OLD\r\nOLDER\r\n");
    rio::endfile(9);
    EXPECT_EQ(slurp("old.txt"), "");
    rio::write(9, "('NEW')");
    EXPECT_EQ(slurp("old.txt"), "");
    rio::flush(9);
    EXPECT_EQ(slurp("old.txt"), "NEW\r\n");
    rio::write(9, "('NEXT')");
    rio::endfile(9);  // after the records written
    rio::close(9);
    EXPECT_EQ(slurp("old.txt"), "NEW\r\nNEXT\r\n");
    rio::open(2, "/dev/null", Status::Unknown, Form::Unformatted);
    rio::open(4, "/dev/null", Status::Unknown, Form::Unformatted);
    rio::write_unf(4, {1});
}

// The solver's working copy: written on unit 1, rewound, read back record by record.
TEST_F(Units, ReadAfterWrite) {
    rio::open(1, "copy.txt", Status::Unknown, Form::Formatted);
    for (int i = 0; i < 20000; ++i) rio::write(1, "(A5,I7)", {"NODE ", i});
    std::int32_t n = -1;
    EXPECT_FALSE(rio::read_or_end(1, "(A5,I7)", {n}));  // positioned after the last record
    rio::rewind(1);
    std::string kw(5, ' ');
    for (int i = 0; i < 20000; ++i) {
        rio::read(1, "(A5,I7)", {kw, n});
        ASSERT_EQ(n, i);
    }
    EXPECT_EQ(kw, "NODE ");
    EXPECT_FALSE(rio::read_or_end(1, "(A5,I7)", {kw, n}));
}

// A file whose last line lacks its line feed (as an editor may leave it): a record written after
// that line is read starts a record of its own instead of running on from it.
TEST_F(Units, WritingAfterALastLineWithoutLineFeed) {
    for (const char* last : {"2", "2\r"}) {
        spit("tail.txt", std::string("1\n") + last);
        rio::open(8, "tail.txt", Status::Old, Form::Formatted);
        std::int32_t a = 0, b = 0;
        rio::read(8, "(I1)", {a});
        rio::read(8, "(I1)", {b});
        EXPECT_FALSE(rio::read_or_end(8, "(I1)", {b}));
        rio::write(8, "(I1)", {5});
        rio::rewind(8);
        std::int32_t v[3] = {0, 0, 0};
        rio::read(8, "(I1)", {v[0]});
        rio::read(8, "(I1)", {v[1]});
        rio::read(8, "(I1)", {v[2]});
        EXPECT_EQ(v[0] * 100 + v[1] * 10 + v[2], 125) << "[" << last << "]";
        rio::close(8);
    }
    EXPECT_EQ(slurp("tail.txt"), "1\n2\r\n5\r\n");
    // The same after a line too long to be held whole: the write follows the whole line.
    const std::string long_line(3u << 20, '7');
    for (const std::string& rest : {std::string("\n8\n"), std::string()}) {
        spit("long.txt", long_line + rest);
        rio::open(8, "long.txt", Status::Old, Form::Formatted);
        std::int32_t a = 0;
        rio::read(8, "(I1)", {a});
        rio::write(8, "(I1)", {5});
        rio::close(8);
        const std::string got = slurp("long.txt");
        const std::string end = rest.empty() ? "7\r\n5\r\n" : "7\n5\r\n";
        EXPECT_EQ(got.size(), long_line.size() + end.size() - 1);
        EXPECT_EQ(got.substr(got.size() - std::min(got.size(), end.size())), end);
    }
}

TEST_F(Units, DefaultConnections) {
    rio::write_unf(55, {1, 2, 3});
    rio::write(155, "(F6.2)", {1.5});
    EXPECT_EQ(rio::unit_name(55), "fort.55");
    rio::close_all();
    EXPECT_EQ(std::filesystem::file_size("fort.55"), 20u);
    EXPECT_EQ(slurp("fort.155"), "  1.50\r\n");
    // Read back by default name too.
    std::int32_t v[3] = {};
    rio::read_unf(55, {std::span<std::int32_t>(v)});
    EXPECT_EQ(v[2], 3);
    double x = 0;
    rio::read(155, "*", {x});
    EXPECT_EQ(x, 1.5);
}

TEST_F(Units, OpenCloseAndNames) {
    EXPECT_EQ(rio::unit_name(6), "stdout");
    EXPECT_EQ(rio::unit_name(5), "stdin");
    EXPECT_EQ(rio::unit_name(rio::kStdErr), "stderr");
    EXPECT_EQ(rio::unit_name(17), "");
    rio::open(6, "listing.txt   ", Status::Unknown, Form::Formatted);  // trailing blanks dropped
    EXPECT_EQ(rio::unit_name(6), "listing.txt");
    rio::write(6, "('HEAD')");
    rio::close(6);
    EXPECT_EQ(rio::unit_name(6), "stdout");  // the console again
    EXPECT_EQ(slurp("listing.txt"), "HEAD\r\n");
    // Opening a connected unit closes the old connection with its records written.
    rio::open(8, "a.txt", Status::Unknown, Form::Formatted);
    rio::write(8, "('A')");
    rio::open(8, "b.txt", Status::Unknown, Form::Formatted);
    rio::write(8, "('B')");
    rio::close(8);
    EXPECT_EQ(slurp("a.txt"), "A\r\n");
    EXPECT_EQ(slurp("b.txt"), "B\r\n");
    // An unknown file is created empty.
    rio::open(9, "new.txt", Status::Unknown, Form::Formatted);
    rio::close(9);
    EXPECT_TRUE(std::filesystem::exists("new.txt"));
    EXPECT_EQ(std::filesystem::file_size("new.txt"), 0u);
    rio::close(9);  // closing a free unit does nothing
    rio::rewind(77);
}

}  // namespace
