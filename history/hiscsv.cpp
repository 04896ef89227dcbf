// HISCSV: one pass over the result file's step blocks, keeping the values of the listed nodes
// and elements for each complete step, then the CSV files.
#include <string>

#include "history.hpp"
#include "recordio/recordio.hpp"

namespace gw::his {

namespace {

constexpr std::int32_t kDropped = 0;

// Reads the rest of one step block (nodes, velocities, moisture contents) into the current-step
// arrays; false when the file ends inside it.
bool read_block_body(HistoryArrays& a, const Counts& c) {
    std::int32_t code = kDropped;
    return rio::read_or_end(kResultUnit, "*",
                            {rio::Item::loop(c.NUMNP, a.PSI.data(), a.Q.data(),
                                             rio::Strided<std::int32_t>{&code, 1, 0})}) &&
           rio::read_or_end(kResultUnit, "*",
                            {rio::Item::loop(c.NUMEL, a.VX.data(), a.VY.data(), a.VZ.data())}) &&
           rio::read_or_end(kResultUnit, "*", {a.TH.span()});
}

// Stores the values of step k for every list entry above 0.
void keep_step(HistoryArrays& a, const ListCounts& n, std::int64_t k) {
    for (std::int32_t j = 1; j <= n.NHPT; ++j) {
        if (const std::int32_t i = a.IHPT(j); i > 0) a.HHIS(j, k) = a.PSI(i) + a.Z(i);
    }
    for (std::int32_t j = 1; j <= n.NPPT; ++j) {
        if (const std::int32_t i = a.IPPT(j); i > 0) a.PHIS(j, k) = a.PSI(i);
    }
    for (std::int32_t j = 1; j <= n.NQPT; ++j) {
        if (const std::int32_t i = a.IQPT(j); i > 0) a.QHIS(j, k) = a.Q(i);
    }
    for (std::int32_t j = 1; j <= n.NVEL; ++j) {
        if (const std::int32_t e = a.IVEL(j); e > 0) {
            a.VHIS(j, 1 + 3 * (k - 1)) = a.VX(e);
            a.VHIS(j, 2 + 3 * (k - 1)) = a.VY(e);
            a.VHIS(j, 3 + 3 * (k - 1)) = a.VZ(e);
        }
    }
    for (std::int32_t j = 1; j <= n.NTHEL; ++j) {
        if (const std::int32_t e = a.ITHEL(j); e > 0) a.THHIS(j, k) = a.TH(e);
    }
}

}  // namespace

void HISCSV(HistoryArrays& a, const Counts& c, const Limits& lim, const std::string& pntfil,
            const std::string& resfil) {
    // 1. The five lists, checked against their capacities and the counts of the result file.
    const ListCounts n = read_lists(kPointListUnit, pntfil, c, lim, a);

    // 2. The model part: coordinates and the node and element records (codes and materials
    // are read and dropped).
    rio::read(kResultUnit, "*",
              {rio::Item::loop(c.NUMNP, a.X.data(), a.Y.data(), a.Z.data(), a.PSI.data(),
                               a.Q.data(), a.KODE.data())});
    rio::read(kResultUnit, "*",
              {rio::Item::loop(c.NUMEL, rio::Strided<std::int32_t>{a.NOD.data(), c.NPEMAX, c.NPEMAX},
                               a.MTYP.data())});

    // 3. The step blocks, until the file ends or MAXSTP steps are kept.
    std::int64_t NSTP = 0;
    bool full = false;
    for (;;) {
        std::int32_t NSTEP = 0;
        double TIME = 0.0;
        if (!rio::read_or_end(kResultUnit, "*", {NSTEP, TIME})) break;
        rio::write(rio::kConsoleOut, "*", {NSTEP, TIME});
        if (!read_block_body(a, c)) break;  // a block cut short gives no row
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

    // 5. Blocks beyond MAXSTP are not kept: count them (without echo, after the files are
    // safe) and tell the user how far to raise the limit.
    if (full) {
        std::int64_t dropped = 1;
        for (;;) {
            std::int32_t NSTEP = 0;
            double TIME = 0.0;
            if (!rio::read_or_end(kResultUnit, "*", {NSTEP, TIME}) || !read_block_body(a, c)) break;
            ++dropped;
        }
        rio::write(rio::kStdErr, "(A)",
                   {"history: result file " + resfil + ": " + std::to_string(dropped) +
                    (dropped == 1 ? " block" : " blocks") + " after the first " +
                    std::to_string(lim.MAXSTP) + " not kept; raise MAXSTP (point-list file " +
                    pntfil + ", record 1, columns 1-5)"});
    }
}

}  // namespace gw::his
