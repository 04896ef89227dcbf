// The history program: limits and lists of the point-list file, the work arrays cut from
// them, the extraction of the step blocks and the five CSV history files.
#pragma once

#include <cstdint>
#include <string>

#include "core/arrays.hpp"
#include "core/work_storage.hpp"

namespace his {

using core::Index;
using core::SliceCursor;
using core::Span1;
using core::Span2;

// The point-list file's unit (the result file is on unit 5, pp::kResultUnit).
inline constexpr int kPointListUnit = 7;

// Limits record of the point-list file, after the minimums.
struct Limits {
    Index MAXSTP = 0, MAXH = 0, MAXP = 0, MAXQ = 0, MAXV = 0, MAXTH = 0;
};

// Counts of the result-file header.
struct Counts {
    Index NUMNP = 0, NUMEL = 0, NPEMAX = 0;
};

// Reads the limits record (6I5) from `unit` and raises each limit to its minimum.
// End of the file: error 24; letters in a field: error 64.
Limits read_limits(int unit);

// Lengths of the two work arrays, in 64-bit words so large limits cannot wrap.
struct Sizes {
    std::int64_t MTOTBD = 0, MTOTIB = 0;
};
Sizes work_sizes(const Counts& c, const Limits& lim);

// The work arrays, zeroed, and the slices cut from them. The history arrays hold one
// column per kept step: HHIS(j, k); VHIS holds the three components of entry j at step k in
// VHIS(j, c + 3 (k - 1)), c = 1, 2, 3 for VX, VY, VZ.
struct HistoryArrays {
    Sizes sizes;
    core::WorkStorage<double> BD;
    core::WorkStorage<Index> IB;

    Span1<double> X, Y, Z, PSI, Q;   // NUMNP
    Span2<double> PHIS, QHIS, HHIS;  // (MAXP | MAXQ | MAXH, MAXSTP)
    Span1<double> TMHIS;             // MAXSTP
    Span1<double> VX, VY, VZ;        // NUMEL
    Span2<double> VHIS;              // (MAXV, 3 MAXSTP)
    Span1<double> TH;                // NUMEL
    Span2<double> THHIS;             // (MAXTH, MAXSTP)

    Span2<Index> NOD;                     // (NPEMAX, NUMEL)
    Span1<Index> IHPT, IQPT, IPPT, IVEL;  // MAXH, MAXQ, MAXP, MAXV
    Span1<Index> KODE, MTYP;              // NUMNP, NUMEL: read and dropped
    Span1<Index> ITHEL;                   // MAXTH
};

// Allocates BD and IB, zeroed (a refused allocation is error 41), and cuts the slices in order.
void allocate(HistoryArrays& a, const Counts& c, const Limits& lim);

// Counts of the five lists, as read.
struct ListCounts {
    Index NHPT = 0, NPPT = 0, NQPT = 0, NVEL = 0, NTHEL = 0;
};

// Reads the five list groups from the point-list file on `unit` (positioned after its limits
// record). A count above its capacity, or a number above NUMNP (node lists) or
// NUMEL (element lists), is refused with one line on standard error naming the file, the
// record and the limit, and stop 2222.
ListCounts read_lists(int unit, const std::string& file, const Counts& c, const Limits& lim,
                      HistoryArrays& a);

// HISCSV: reads the lists (then closes the point-list file), the model part and every step
// block of the result file (unit 5, after its counts), keeps up to MAXSTP steps and writes the
// CSV files of the lists given. Blocks beyond MAXSTP are counted and reported in one line on
// standard error ("at least" when the count stopped at a value it could not read).
void HISCSV(HistoryArrays& a, const Counts& c, const Limits& lim, const std::string& pntfil);

// Error 30 on its unit when a CSV file that write_csv_files() would write is a file connected
// to another unit (the point-list or the result file, under whatever name or link).
void refuse_input_csv_files(const ListCounts& n);

// Writes "HTIME.CSV", "PTIME.CSV", "QTIME.CSV", "VTIME.CSV", "THTIME.CSV" for the lists whose
// count is above 0 (units 10, 11, 12, 12, 12), each opened, written and closed in turn.
void write_csv_files(const HistoryArrays& a, const ListCounts& n, std::int64_t NSTP);

// HISMAIN: the dialogue, the sizes, the extraction.
void HISMAIN();

}  // namespace his
