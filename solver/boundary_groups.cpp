// Prescribed-head and prescribed-flux groups (groups M, N,O and R, S,T) and the driver's
// input phase that reads them with the change-event groups.
#include <array>
#include <algorithm>

#include "boundary_groups.hpp"
#include "change_events.hpp"
#include "recordio/recordio.hpp"

namespace sol {

namespace {

// Wrong keyword of a group record: the group's line, and the driver's error flag.
void keyword_test(const Units& u, InputState& in, const std::string& saved,
                  std::string_view expected, std::string_view group) {
    if (keyword_ok(in, saved, expected)) return;
    group_error_line(u, expected, group);
    in.read_error = 1;
}

// A count or node number outside its range: the group's line and the detail line.
void limit(const Units& u, InputState& in, std::string_view keyword, std::string_view group,
           std::string_view name, std::int64_t value, std::int64_t lo, std::int64_t hi) {
    group_error_line(u, keyword, group);
    report_limit(u, in, name, value, lo, hi);
}

}  // namespace

// The records of one group kind, in reading order:
// 1. per group a head (A5,10I5) with the keyword and the node count, then its node list
//    (10I7) when the count is above 0;
// 2. the table head (A5), of which only the keyword is read;
// 3. the point counts of all groups (10I7) in one statement, then per group with points its
//    (time, value) table (6F10.0), three pairs a line.
// One statement of n values in (10I7) reads ceil(n / 10) records, ten values each, so the
// lists are read one record at a time: every value is read, so the records stay in step
// whatever the counts, and only the values that fit the arrays are stored.
void read_boundary_groups(const Control& c, const Units& u, InputState& in,
                          const BoundaryGroupKind& k) {
    const int IR = u.IR;
    const std::int64_t slots = k.nodes.cols();   // node slots a group can hold
    const std::int64_t rows = k.T.ld();          // table points a group can hold

    // 1. Group heads and node lists.
    for (int g = 1; g <= k.groups; ++g) {
        const std::string saved = in.KEYWD;
        Index count = 0;
        rio::read(IR, "(A5,10I5)", {in.KEYWD, count});
        k.counts(g) = count;
        keyword_test(u, in, saved, k.group_keyword, k.group_letters);
        if (count <= 0) continue;
        if (count > k.max_nodes)
            limit(u, in, k.group_keyword, k.group_letters, k.count_name, count, 0, k.max_nodes);
        bool reported = false;
        std::array<Index, 10> line{};
        for (std::int64_t first = 1; first <= count; first += 10) {
            const std::int64_t n = std::min<std::int64_t>(10, count - first + 1);
            rio::read(IR, "(10I7)", {std::span<Index>(line.data(), n)});
            for (std::int64_t j = 0; j < n; ++j) {
                const std::int64_t slot = first + j;
                const Index node = line[j];
                // 0 is an empty slot and a negative number is passed over by the pass.
                if (node > c.NUMNP && !reported) {
                    limit(u, in, k.group_keyword, k.group_letters, "NODE", node, 0, c.NUMNP);
                    reported = true;
                }
                if (slot <= slots) k.nodes(g, slot) = node;
            }
        }
    }

    // 2. Table head.
    {
        const std::string saved = in.KEYWD;
        rio::read(IR, "(A5)", {in.KEYWD});
        keyword_test(u, in, saved, k.table_keyword, k.table_letters);
    }

    // 3. Point counts and tables.
    rio::read(IR, "(10I7)", {std::span<Index>(k.points.data(), k.groups)});
    std::array<double, 6> line{};
    for (int g = 1; g <= k.groups; ++g) {
        const Index points = k.points(g);
        double before = 0.0;        // the time of the point before, across the lines
        bool descended = false;     // one line for the first time below the one before
        if (points > k.max_points)
            limit(u, in, k.table_keyword, k.table_letters, k.points_name, points, 0, k.max_points);
        if (points < 1 && k.points_required && k.counts(g) > 0)
            limit(u, in, k.table_keyword, k.table_letters, k.points_name, points, 1, k.max_points);
        for (std::int64_t first = 1; first <= points; first += 3) {
            const std::int64_t n = std::min<std::int64_t>(3, points - first + 1);
            rio::read(IR, "(6F10.0)", {std::span<double>(line.data(), 2 * n)});
            if (first == 1 && n >= 2 && line[0] == line[2]) {
                group_error_line(u, k.table_keyword, k.table_letters);
                report_equal_first_times(u, in, k.table_keyword, g, line[0]);
            }
            for (std::int64_t j = 0; j < n; ++j) {
                const double t = line[2 * j];
                if (first + j > 1 && t < before && !descended) {
                    group_error_line(u, k.table_keyword, k.table_letters);
                    report_descending_time(u, in, k.table_keyword, g, first + j, t);
                    descended = true;
                }
                before = t;
            }
            for (std::int64_t j = 0; j < n && first + j <= rows; ++j) {
                k.T(first + j, g) = line[2 * j];
                k.V(first + j, g) = line[2 * j + 1];
            }
        }
    }
}

void RDHBOU(const Control& c, const Units& u, InputState& in, SolutionArrays& s) {
    read_boundary_groups(c, u, in,
                         {"HBOUN", "M  ", "HTIME", "N,O", "NHN", "NHTP", c.NHB, c.NHBN, c.NHBT,
                          true, s.NHN, s.IHBN, s.NHTP, s.THB, s.HHB});
}

void RDQBOU(const Control& c, const Units& u, InputState& in, SolutionArrays& s) {
    read_boundary_groups(c, u, in,
                         {"QBOUN", "R  ", "QTIME", "S,T", "NQN", "NQTP", c.NQB, c.NQBN, c.NQBT,
                          false, s.NQN, s.IQBN, s.NQTP, s.TQB, s.QQB});
}

void read_solution_groups(SolverRun& run, SolutionArrays& s) {
    const Control& c = run.ctl;
    InputState& in = run.input;
    // 1. One error flag for all the groups of the driver.
    in.read_error = 0;
    // 2. Head groups (M, N,O), flux groups (R, S,T).
    if (c.NHB > 0) RDHBOU(c, run.units, in, s);
    if (c.NQB > 0) RDQBOU(c, run.units, in, s);
    // 3. Change events (U) and material changes (V).
    if (c.NNEWC > 0) RDNEWC(c, run.units, in, run.mesh, s);
    if (c.NMATC > 0) RDMATC(c, run.units, in, s);
    // 4. Any error in these groups ends the run once all of them are read.
    if (in.read_error == 1) rio::stop(3333);
}

}  // namespace sol
