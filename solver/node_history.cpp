// Node histories: reading "NDLIST.DAT" and writing the records of "NDLIST.PST".
#include "node_history.hpp"

#include "recordio/recordio.hpp"

namespace sol {

namespace {
constexpr int kListUnit = 50;
constexpr int kHistoryUnit = 51;
}  // namespace

std::int64_t history_count(int NDFRST, int NDLAST, int NDSTEP) {
    // Truncating division, as the counted loop of the entry does.
    const std::int64_t n =
        (static_cast<std::int64_t>(NDLAST) - NDFRST + NDSTEP) / static_cast<std::int64_t>(NDSTEP);
    return n > 0 ? n : 0;
}

void read_node_list(const Control& ctl, const Units& u, NodeHistory& hist) {
    const int NDCNT = ctl.NDCNT;
    // 1. The entries live in fixed arrays of 200.
    if (NDCNT > NodeHistory::kMaxEntries) {
        rio::write(u.IW, "(' ** ERROR ** NDLIST.DAT -- NDCNT =',I10,' IS ABOVE',I4)",
                   {NDCNT, NodeHistory::kMaxEntries});
        rio::stop(2222);
    }
    // 2. One list-directed record per entry.
    rio::open(kListUnit, "NDLIST.DAT", rio::Status::Unknown, rio::Form::Formatted);
    for (int i = 1; i <= NDCNT; ++i) {
        rio::read(kListUnit, "*", {hist.NDFRST[i], hist.NDLAST[i], hist.NDSTEP[i]});
    }
    rio::close(kListUnit);

    // 3. Every listed node must be a node of the model (the increment divides the count).
    for (int i = 1; i <= NDCNT; ++i) {
        if (hist.NDSTEP[i] == 0) {
            rio::write(u.IW, "(' ** ERROR ** NDLIST.DAT -- ENTRY',I4,' HAS NDSTEP = 0')", {i});
            rio::stop(2222);
        }
        const std::int64_t n = history_count(hist.NDFRST[i], hist.NDLAST[i], hist.NDSTEP[i]);
        if (n == 0) continue;
        const std::int64_t first = hist.NDFRST[i];
        const std::int64_t last = first + (n - 1) * hist.NDSTEP[i];
        for (std::int64_t node : {first, last}) {
            if (node < 1 || node > ctl.NUMNP) {
                rio::write(u.IW,
                           "(' ** ERROR ** NDLIST.DAT -- ENTRY',I4,' LISTS NODE',I11,"
                           "' NOT IN 1 TO',I10)",
                           {i, static_cast<Index>(node), ctl.NUMNP});
                rio::stop(2222);
            }
        }
    }

    // 4. Header records: counts (element-row width as read), entry count, the entries.
    rio::open(kHistoryUnit, "NDLIST.PST", rio::Status::Unknown, rio::Form::Unformatted);
    rio::write_unf(kHistoryUnit, {ctl.NUMNP, ctl.NUMEL, ctl.NPEMAX_READ});
    rio::write_unf(kHistoryUnit, {NDCNT});
    for (int i = 1; i <= NDCNT; ++i) {
        rio::write_unf(kHistoryUnit, {hist.NDFRST[i], hist.NDLAST[i], hist.NDSTEP[i]});
    }
}

void write_history_step(const Control& ctl, const NodeHistory& hist, const Span1<double>& PSI,
                        const Span1<double>& Z, double TIME) {
    rio::write_unf(kHistoryUnit, {TIME});
    for (int i = 1; i <= ctl.NDCNT; ++i) {
        const std::int64_t n = history_count(hist.NDFRST[i], hist.NDLAST[i], hist.NDSTEP[i]);
        for (std::int64_t k = 0; k < n; ++k) {
            const Index node = static_cast<Index>(hist.NDFRST[i] + k * hist.NDSTEP[i]);
            const double head = PSI(node) + Z(node);
            rio::write_unf(kHistoryUnit, {node, PSI(node), head});
        }
    }
    rio::flush(kHistoryUnit);  // whole output steps on disk, as for the result file
}

}  // namespace sol
