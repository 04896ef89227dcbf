// Prescribed-head and prescribed-flux groups with their time tables, the driver's input
// phase, and the event-time list built from every time table and change event.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "input.hpp"
#include "solver_run.hpp"

namespace sol {

// The arrays and texts of one group kind: head groups ("HBOUN", "HTIME") or flux groups
// ("QBOUN", "QTIME").
struct BoundaryGroupKind {
    std::string_view group_keyword, group_letters;   // group heads: "HBOUN", "M  "
    std::string_view table_keyword, table_letters;   // table head: "HTIME", "N,O"
    std::string_view count_name, points_name;        // "NHN", "NHTP"
    int groups;                                      // NHB
    int max_nodes;                                   // NHBN
    int max_points;                                  // NHBT
    bool points_required;                            // a group with nodes needs a table
    Span1<Index> counts;                             // NHN (groups)
    Span2<Index> nodes;                              // IHBN (groups, node slots)
    Span1<Index> points;                             // NHTP (groups)
    Span2<double> T, V;                              // THB, HHB (points, groups)
};

// Reads the group heads with their node lists, the table head, the point counts and the
// tables of `k.groups` groups from unit IR. A wrong keyword prints the group's error line;
// a count above its maximum, a node number above NUMNP, a table whose first two times are
// equal or with a time below the one before it, or (head groups) a group with nodes and no
// table point prints the group's line and a limit line. Each of these sets
// in.read_error; reading goes on, and values beyond the arrays are read but not stored.
void read_boundary_groups(const Control& c, const Units& u, InputState& in,
                          const BoundaryGroupKind& k);

// Groups M, N,O into NHN, IHBN, NHTP, THB, HHB.
void RDHBOU(const Control& c, const Units& u, InputState& in, SolutionArrays& s);
// Groups R, S,T into NQN, IQBN, NQTP, TQB, QQB.
void RDQBOU(const Control& c, const Units& u, InputState& in, SolutionArrays& s);

// Input phase of the driver: head groups when NHB > 0, flux groups when NQB > 0, then the
// change-event groups. They share one error flag (run.input.read_error, cleared first);
// stops 3333 when it is set after the last of them.
void read_solution_groups(SolverRun& run, SolutionArrays& s);

// The time tables of one kind: table t holds points(t) times in column t of T.
struct TimeTables {
    Span2<double> T;
    Span1<Index> points;
    int count = 0;  // number of tables (0: none)
};

// The six sources of event times, in the order they are scanned.
struct EventSources {
    std::span<const double> TNEWC, TMATC;  // change-event and material-change times
    TimeTables RAINR, EVAPO, HTIME, QTIME;
};

// The sources of a run: the first NNEWC and NMATC event times and the RAINR, EVAPO, HTIME
// and QTIME tables of the solution arrays.
EventSources event_sources(const Control& c, const SolutionArrays& s);

// Event times, ascending: every source time above 1.0E-4 that no earlier time of its window
// lies within 1.0E-4 of, sorted, then thinned so that each kept time lies at least 0.000999
// above the time before it in the sorted list. Windows: NEWC times take all; MATC times look
// at the NEWC entries; each RAINR, HTIME and QTIME table at the entries present when that
// table began; all EVAPO tables at the entries present when the first began. The list is as
// long as the times it holds, whatever the capacity MXEVT of the totals.
std::vector<double> EVTIME(const EventSources& src);

}  // namespace sol
