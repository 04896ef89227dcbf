// HISCSV: one pass over the result file's step blocks, keeping the values of the listed nodes
// and elements for each complete step, then the CSV files.
#include <string>

#include "first_menu.hpp"
#include "history.hpp"
#include "recordio/recordio.hpp"
#include "result_file.hpp"

namespace his {

namespace {

// Reads one step block into the current-step arrays (node codes dropped); false when the file
// ends before or inside it, and, with `unreadable` given, quietly at a value it cannot read.
bool read_block(HistoryArrays& a, const Counts& c, bool echo, double& TIME,
                bool* unreadable = nullptr) {
    Index NSTEP = 0;
    if (!pp::read_step_head(pp::kResultUnit, NSTEP, TIME, unreadable)) return false;
    if (echo) rio::write(rio::kConsoleOut, "*", {NSTEP, TIME});
    return pp::read_step_values(pp::kResultUnit, true, c.NUMNP, c.NUMEL, a.PSI, a.Q, {}, a.VX,
                                a.VY, a.VZ, a.TH, unreadable);
}

// Stores the values of step k for every list entry above 0.
void keep_step(HistoryArrays& a, const ListCounts& n, std::int64_t k) {
    for (Index j = 1; j <= n.NHPT; ++j) {
        if (const Index i = a.IHPT(j); i > 0) a.HHIS(j, k) = a.PSI(i) + a.Z(i);
    }
    for (Index j = 1; j <= n.NPPT; ++j) {
        if (const Index i = a.IPPT(j); i > 0) a.PHIS(j, k) = a.PSI(i);
    }
    for (Index j = 1; j <= n.NQPT; ++j) {
        if (const Index i = a.IQPT(j); i > 0) a.QHIS(j, k) = a.Q(i);
    }
    for (Index j = 1; j <= n.NVEL; ++j) {
        if (const Index e = a.IVEL(j); e > 0) {
            a.VHIS(j, 1 + 3 * (k - 1)) = a.VX(e);
            a.VHIS(j, 2 + 3 * (k - 1)) = a.VY(e);
            a.VHIS(j, 3 + 3 * (k - 1)) = a.VZ(e);
        }
    }
    for (Index j = 1; j <= n.NTHEL; ++j) {
        if (const Index e = a.ITHEL(j); e > 0) a.THHIS(j, k) = a.TH(e);
    }
}

}  // namespace

void HISCSV(HistoryArrays& a, const Counts& c, const Limits& lim, const std::string& pntfil) {
    // 1. The five lists, checked against their capacities and the counts of the result file;
    // then no CSV file to be written may be the point-list or the result file (under another
    // name or a link): writing it would destroy the input before anything is kept.
    const ListCounts n = read_lists(kPointListUnit, pntfil, c, lim, a);
    refuse_input_csv_files(n);
    rio::close(kPointListUnit);

    // 2. The model part; node codes and element materials are read and dropped, and the
    // element node numbers are kept unchecked (nothing here indexes with them).
    pp::read_model_part("history", pp::kResultUnit, c.NUMNP, c.NUMEL, c.NPEMAX, a.X, a.Y, a.Z,
                        a.PSI, a.Q, a.KODE, a.NOD, a.MTYP, pp::Connectivity::Unused);

    // 3. The step blocks, until the file ends (a block cut short gives no row) or a block
    // is complete with MAXSTP steps already kept.
    std::int64_t NSTP = 0;
    bool full = false;
    double TIME = 0.0;
    while (read_block(a, c, true, TIME)) {
        if (NSTP == lim.MAXSTP) {
            full = true;
            break;
        }
        ++NSTP;
        a.TMHIS(NSTP) = TIME;
        keep_step(a, n, NSTP);
    }

    // 4. The files of the lists given.
    write_csv_files(a, n, NSTP);

    // 5. Blocks beyond MAXSTP are not kept: count them (without echo, once the files are
    // written) and tell the user which limit to raise. The count stops quietly at the first
    // value it cannot read (the rest of a block a killed solver left cut inside a number): the
    // files are complete, and the count is then a lower bound.
    if (full) {
        std::int64_t dropped = 1;
        bool unreadable = false;
        while (read_block(a, c, false, TIME, &unreadable)) ++dropped;
        rio::write(rio::kStdErr, "(A)",
                   {"history: result file " + rio::unit_name(pp::kResultUnit) + ": " +
                    (unreadable ? "at least " : "") + std::to_string(dropped) +
                    (dropped == 1 ? " block" : " blocks") +
                    " after the first " + std::to_string(lim.MAXSTP) +
                    " not kept; raise MAXSTP (point-list file " + pntfil +
                    ", record 1, columns 1-5)"});
    }
}

}  // namespace his
