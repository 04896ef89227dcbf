// Header records of the model file: title, counts, switches and table lengths.
#include <algorithm>

#include "input.hpp"
#include "node_history.hpp"
#include "recordio/recordio.hpp"
#include "result_file.hpp"

namespace sol {

namespace {

// A header count the work arrays cannot be cut for: the detail line, then the header's stop.
// A count with only a lower bound (kIndexMax above) names that bound alone.
[[noreturn]] void header_limit(const Units& u, std::string_view name, int value, int lo, int hi) {
    if (hi == kIndexMax) {
        std::string n(name);
        n.resize(8, ' ');
        rio::write(u.IW, "(' ** LIMIT ** ',A8,I10,' IS BELOW',I10)", {n, value, lo});
    } else {
        InputState scratch;
        report_limit(u, scratch, name, value, lo, hi);
    }
    rio::stop(2222);
}

// Counts that would make slices negative or overlap, and integration orders without a rule
// (an order below 1 is only harmless when no element matrix is ever formed).
void check_counts(const Control& c, const Units& u) {
    if (c.NUMNP < 1) header_limit(u, "NUMNP", c.NUMNP, 1, kIndexMax);
    if (c.NUMEL < 1) header_limit(u, "NUMEL", c.NUMEL, 1, kIndexMax);
    if (c.NUMMAT < 0) header_limit(u, "NUMMAT", c.NUMMAT, 0, kMaxMat);
    const Index lowest = c.MESHCK > 0 ? kIndexMin : 1;
    if (c.NINTXY > 4 || c.NINTXY < lowest) header_limit(u, "NINTXY", c.NINTXY, 1, 4);
    if (c.NINTZ > 4 || c.NINTZ < lowest) header_limit(u, "NINTZ", c.NINTZ, 1, 4);
}

}  // namespace

void read_header_records(Control& c, const Units& u, Materials& mat, NodeHistory& hist) {
    const int IR = u.IR;

    // 1. Title and control record; the scratch switch at once.
    rio::read(IR, "(20A4)", {rio::Target::words(c.TITLE, 4)});
    rio::read(IR, "(2I7,I6,11I5,I2,I3)",
              {c.NUMNP, c.NUMEL, c.NUMMAT, c.IHEAD, c.ITMAX, c.ITSCH, c.MAXSEP, c.NPEMAX_READ,
               c.NINTXY, c.NINTZ, c.NCUL, c.KIND, c.ITMAX0, c.ITCGF, c.ISCR, c.MESHCK});
    c.NPEMAX = c.NPEMAX_READ;
    if (c.ISCR == 0) c.STORE = 1;
    if (c.ISCR == 1) c.STORE = 0;

    // 2. Boundary counts and options.
    rio::read(IR, "(16I5)", {c.NHB, c.NHBN, c.NHBT, c.NQB, c.NQBN, c.NQBT});
    rio::read(IR, "(6I5,F10.0)", {c.NRFACE, c.NRNODE, c.NRRPT, c.NRR, c.NEVPT, c.NEV, c.PSIRN});
    rio::read(IR, "(2I7,I1,7I5,F10.0,I5)",
              {c.NKODE, c.NINIT, c.IBTIME, c.SEPFIL, c.LISTIN, c.IELVAR, c.IEVOFF, c.IHBFIX,
               c.NDCNT, c.ITHSW, c.OMEGA, c.IDBASE});

    // 3. Node histories, while the element-row width is still the value read.
    if (c.NDCNT > 0) read_node_list(c, u, hist);

    // 4. Change-event counts.
    rio::read(IR, "(16I5)", {c.NNEWC, c.MXNWCH, c.MXNWCQ, c.MXNWCB, c.MXNWCR});
    rio::read(IR, "(16I5)", {c.NMATC, c.MXMATE, c.MXMATM});

    // 5. The material block holds 99 materials.
    if (c.NUMMAT > kMaxMat) rio::stop(2222);
    check_counts(c, u);

    // 6. Derived values.
    c.MXEVT = dim(c.NRRPT) + dim(c.NEVPT) + dim(c.NHBT) + dim(c.NQBT) + dim(c.NNEWC) +
              dim(c.NMATC);
    c.NPEMAX = 8;
    const std::int64_t itmaxcg = std::int64_t(c.ITCGF == 0 ? 5 : c.ITCGF) * c.NUMNP;
    c.ITMAXCG = clamp32(itmaxcg);
    c.MSEP = c.MAXSEP >= 1 ? c.MAXSEP : 1;

    // 7. Table lengths, eight pairs a line; one line even without materials.
    rio::read(IR, "(16I5)", {rio::Target::loop(c.NUMMAT, &mat.NRK[1], &mat.NPSI[1])});
    c.MXNRK = mat.NRK[1];
    c.MXNPSI = mat.NPSI[1];
    for (int m = 1; m <= c.NUMMAT; ++m) {
        if (mat.NRK[m] < 0) header_limit(u, "NRK", mat.NRK[m], 0, kIndexMax);
        if (mat.NPSI[m] < 0) header_limit(u, "NPSI", mat.NPSI[m], 0, kIndexMax);
        c.MXNRK = std::max(c.MXNRK, mat.NRK[m]);
        c.MXNPSI = std::max(c.MXNPSI, mat.NPSI[m]);
    }
}

}  // namespace sol
