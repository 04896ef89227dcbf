// The five CSV history files: a header line of node or element numbers, then one row per
// kept step, 900 numbers a line at most.
#include <algorithm>
#include <array>
#include <span>
#include <string>
#include <vector>

#include "history.hpp"
#include "recordio/recordio.hpp"

namespace his {

namespace {

constexpr std::string_view kHeaderLayout = "(900(',',I8))";
constexpr std::string_view kRowLayout = "(1PE16.7,900(',',1PE16.7))";
constexpr std::int64_t kPerLine = 900;

// The row layout when some cells hold no value (list entries of 0 or below): the same lines
// as kRowLayout, each such cell written as a literal comma and 16 blanks, which takes no item,
// so the column stays empty and the line keeps its width.
std::string row_layout_with_blanks(const std::vector<bool>& stored) {
    std::string f = "(1PE16.7";
    const std::int64_t n = static_cast<std::int64_t>(stored.size());
    for (std::int64_t c = 0; c < n;) {
        // One run of cells of the same kind on one line.
        std::int64_t end = c + 1;
        const std::int64_t line_end = (c / kPerLine + 1) * kPerLine;
        while (end < n && end < line_end && stored[static_cast<std::size_t>(end)] ==
                                                stored[static_cast<std::size_t>(c)]) {
            ++end;
        }
        f += ',';
        f += std::to_string(end - c);
        f += stored[static_cast<std::size_t>(c)] ? "(',',E16.7)" : "(',                ')";
        c = end;
        if (c < n && c % kPerLine == 0) f += ",/";
    }
    // The closing comma, as kRowLayout writes it on a line of fewer than 900 numbers.
    if (n % kPerLine != 0) f += ",','";
    return f + ")";
}

// One CSV file on `unit`: the header of `numbers`, each written `per_entry` times, and NSTP
// rows of the time and value(j, c, k) for entry j, component c of step k.
template <class Value>
void write_file(int unit, const char* name, Span1<Index> numbers, Index count,
                int per_entry, const Span1<double>& TMHIS, std::int64_t NSTP, Value value) {
    std::vector<Index> header;
    std::vector<bool> stored;
    for (Index j = 1; j <= count; ++j) {
        for (int c = 0; c < per_entry; ++c) {
            header.push_back(numbers(j));
            stored.push_back(numbers(j) > 0);
        }
    }
    const bool all_stored = std::find(stored.begin(), stored.end(), false) == stored.end();
    const std::string layout = all_stored ? std::string(kRowLayout) : row_layout_with_blanks(stored);

    rio::open(unit, name, rio::Status::Unknown, rio::Form::Formatted);
    rio::write(unit, kHeaderLayout, {std::span<const Index>(header)});
    std::vector<double> row;
    for (std::int64_t k = 1; k <= NSTP; ++k) {
        row.clear();
        for (Index j = 1; j <= count; ++j) {
            if (numbers(j) <= 0) continue;
            for (int c = 1; c <= per_entry; ++c) row.push_back(value(j, c, k));
        }
        rio::write(unit, layout, {TMHIS(k), std::span<const double>(row)});
    }
    rio::close(unit);
}

}  // namespace

namespace {

// The five files, their units and whether their list is given.
struct CsvFile {
    int unit;
    const char* name;
    Index count;
};
std::array<CsvFile, 5> csv_files(const ListCounts& n) {
    return {{{10, "HTIME.CSV", n.NHPT},
             {11, "PTIME.CSV", n.NPPT},
             {12, "QTIME.CSV", n.NQPT},
             {12, "VTIME.CSV", n.NVEL},
             {12, "THTIME.CSV", n.NTHEL}}};
}

}  // namespace

void refuse_input_csv_files(const ListCounts& n) {
    for (const CsvFile& f : csv_files(n))
        if (f.count > 0) rio::refuse_connected(f.unit, f.name);
}

void write_csv_files(const HistoryArrays& a, const ListCounts& n, std::int64_t NSTP) {
    const auto files = csv_files(n);
    // File i of the table, for a list of numbers each giving `per_entry` columns.
    auto write = [&](int i, const Span1<Index>& numbers, int per_entry, auto value) {
        const CsvFile& f = files[static_cast<std::size_t>(i)];
        if (f.count > 0) write_file(f.unit, f.name, numbers, f.count, per_entry, a.TMHIS, NSTP, value);
    };
    write(0, a.IHPT, 1, [&](std::int64_t j, int, std::int64_t k) { return a.HHIS(j, k); });
    write(1, a.IPPT, 1, [&](std::int64_t j, int, std::int64_t k) { return a.PHIS(j, k); });
    write(2, a.IQPT, 1, [&](std::int64_t j, int, std::int64_t k) { return a.QHIS(j, k); });
    write(3, a.IVEL, 3,
          [&](std::int64_t j, int c, std::int64_t k) { return a.VHIS(j, c + 3 * (k - 1)); });
    write(4, a.ITHEL, 1, [&](std::int64_t j, int, std::int64_t k) { return a.THHIS(j, k); });
}

}  // namespace his
