// Readers of the model file: header records, keyword rule and the groups D to KB.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>
#include <array>

#include "model.hpp"
#include "work_arrays.hpp"

namespace sol {

// ---------------------------------------------------------------------------------------
// Keyword records
// ---------------------------------------------------------------------------------------
// How a keyword record is tested once columns 1-5 are in the keyword buffer.
enum class KeywordRule {
    Repeat,     // five blanks repeat the previous keyword, then compare all five columns
    NoRepeat,   // compare all five columns as read (UNSAT block heads)
    FirstFour,  // blank columns 1-4 repeat the previous keyword, then compare (PROP records)
};

// Applies the substitution of `rule` to in.KEYWD (previous keyword `saved`) and compares it
// with `expected`. Returns true when the keyword is the expected one.
bool keyword_ok(InputState& in, const std::string& saved, std::string_view expected,
                KeywordRule rule = KeywordRule::Repeat);

// keyword_ok, printing the group's fixed error line `error_format` (a format of one
// literal) on a mismatch. The record's values stand either way.
void check_keyword(const Units& u, InputState& in, const std::string& saved,
                   std::string_view expected, std::string_view error_format,
                   KeywordRule rule = KeywordRule::Repeat);

// keyword_ok, printing the general line " ** ERROR ** <keyword> DATA -- Group <group>" on a
// mismatch; `group` is padded to three characters.
void check_keyword_group(const Units& u, InputState& in, const std::string& saved,
                         std::string_view expected, std::string_view group);

// The general error line of a group, printed without a keyword test.
void group_error_line(const Units& u, std::string_view keyword, std::string_view group);

// A 64-bit count or length as the nearest INTEGER*4, for printing: such values only arise from
// products and sums of counts, and a wrapped value would look like a plausible length.
Index clamp32(std::int64_t v);

// The detail line of a value outside its range (' ** LIMIT ** ',A8,I10,' NOT IN',I10,' TO',I10);
// sets the reading-phase error flag. The caller prints the group's error line first.
void report_limit(const Units& u, InputState& in, std::string_view name, std::int64_t value,
                  std::int64_t lo, std::int64_t hi);

// The detail line of time table `number` of kind `table` (HTIME, QTIME, RAINR, EVAPO) whose
// first two times are both `time` (' ** LIMIT ** ',A8,I10,' FIRST TWO TIMES EQUAL',1PE13.5):
// the look-up extends the first interval below the table and would divide by its length 0.
// Sets the reading-phase error flag. The caller prints the group's error line first.
void report_equal_first_times(const Units& u, InputState& in, std::string_view table,
                              std::int64_t number, double time);

// The detail line of time table `number` of kind `table` whose time at `point` lies below the
// time before it (' ** LIMIT ** ',A8,I10,' TIME AT POINT',I5,' BELOW THE ONE BEFORE',1PE13.5):
// the look-up would never reach the points from there on. Equal later times make a step in
// the table and are not reported. Sets the reading-phase error flag. The caller prints the
// group's error line first.
void report_descending_time(const Units& u, InputState& in, std::string_view table,
                            std::int64_t number, std::int64_t point, double time);

// ---------------------------------------------------------------------------------------
// Node ranges (first, last, increment)
// ---------------------------------------------------------------------------------------
// The counted loop n = N1, N1 + INC, ... of (N2 - N1 + INC) / INC passes (INC not 0), split
// into the passes k = kmin..kmax whose node lies in lo..hi and the first node outside them.
struct NodeRange {
    std::int64_t count = 0;       // passes of the loop (0 when the quotient is 0 or less)
    std::int64_t kmin = 0;        // first pass inside lo..hi
    std::int64_t kmax = -1;       // last pass inside lo..hi (kmax < kmin: none)
    std::int64_t first_bad = 0;   // first node of the loop outside lo..hi
    bool has_bad = false;
};
NodeRange clip_range(std::int64_t N1, std::int64_t N2, std::int64_t INC, std::int64_t lo,
                     std::int64_t hi);

// ---------------------------------------------------------------------------------------
// Header records and work-array checks
// ---------------------------------------------------------------------------------------
// Reads the title, control, boundary-count, option, NEWC, MATC and table-length records and
// derives the dimension values; reads "NDLIST.DAT" and writes the "NDLIST.PST" header when
// NDCNT > 0. Stops 2222 on counts the run cannot hold.
void read_header_records(Control& ctl, const Units& u, Materials& mat, NodeHistory& hist);

// ---------------------------------------------------------------------------------------
// Groups D to KB
// ---------------------------------------------------------------------------------------
// Group D: element records into NOD, NPE, MTYP (generation of skipped elements); prints the
// element table. Switches u.IR to the element file while reading it.
void RDELEM(const Control& ctl, Units& u, InputState& in, MeshArrays& mesh);

// Groups E and EA (only when MAXSEP > 0): the seepage-face list KSEEP, IFSEEP, SEPVAL.
void RDSEEP(const Control& ctl, const Units& u, InputState& in, MeshArrays& mesh);

// Group F: the TIME record into ctl.DT .. ctl.NPOST.
void RDTIME(Control& ctl, const Units& u, InputState& in);

// Groups G, H, I,J: unit constants, properties, rotated conductivities and the tables;
// prints them. MTYP tells which materials the elements use.
void RDPROP(const Control& ctl, const Units& u, InputState& in, Materials& mat,
            MaterialTables& tab, const Span1<Index>& MTYP);

// Capacity table of material m from its pressure-head table (NPSI points): CAP and THCA.
// Returns the points k whose successor has the same pressure head; those intervals get CAP 0.
std::vector<int> capacity_table(MaterialTables& tab, int m, int NPSI);

// The first pair of points (point, point + 1) of a look-up column x of n values that the
// look-up cannot use: a value below the one before it or, with `first_two_equal`, equal
// first two values (`equal` then true). Point 0: the column is in order.
struct TableOrderFault {
    int point = 0;
    bool equal = false;
};
TableOrderFault table_order_fault(const double* x, int n, bool first_two_equal);

// Rotated conductivity tensor CONDT = A^T diag(K1, K2, K3) A from the angles in degrees
// between principal axis i and the x, y, z axes (ANG[i][j]).
void rotate_conductivity(const double ANG[3][3], double K1, double K2, double K3,
                         std::array<std::array<double, 3>, 3>& CONDT);

// Groups K, KA, KB: node records with generation, code and initial-value ranges; PSIINI;
// prints the node table. Returns 1 on a node-number error (group K left at once), else 0.
int NPIN(const Control& ctl, Units& u, InputState& in, MeshArrays& mesh);

}  // namespace sol
