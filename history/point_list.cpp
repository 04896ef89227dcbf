// Point-list file of the history program: the limits record and the five list groups.
#include <algorithm>
#include <span>
#include <string>

#include "history.hpp"
#include "recordio/recordio.hpp"
#include "refusal.hpp"

namespace his {

namespace {

// One list group: the file it feeds, its capacity, whether it lists nodes or elements, and
// where its count and numbers go.
struct Group {
    const char* csv;
    const char* capacity_name;
    Index capacity;
    bool nodes;
    Span1<Index> list;
    Index* count;
};

// Refuses the point-list file: one line naming the file, the record and the limit, stop 2222.
[[noreturn]] void refuse(const std::string& file, std::int64_t record, const std::string& what) {
    pp::refuse("history", "point-list file " + file, record, what);
}

}  // namespace

Limits read_limits(int unit) {
    Limits l;
    rio::read(unit, "(6I5)", {l.MAXSTP, l.MAXH, l.MAXP, l.MAXQ, l.MAXV, l.MAXTH});
    // Each limit is at least its minimum; discharges get room for twice as many nodes.
    l.MAXSTP = std::max(l.MAXSTP, 100);
    l.MAXH = std::max(l.MAXH, 50);
    l.MAXP = std::max(l.MAXP, 50);
    l.MAXQ = std::max(l.MAXQ, 100);
    l.MAXV = std::max(l.MAXV, 50);
    l.MAXTH = std::max(l.MAXTH, 50);
    return l;
}

ListCounts read_lists(int unit, const std::string& file, const Counts& c, const Limits& lim,
                      HistoryArrays& a) {
    ListCounts n;
    Group groups[] = {
        {"HTIME.CSV", "MAXH", lim.MAXH, true, a.IHPT, &n.NHPT},
        {"PTIME.CSV", "MAXP", lim.MAXP, true, a.IPPT, &n.NPPT},
        {"QTIME.CSV", "MAXQ", lim.MAXQ, true, a.IQPT, &n.NQPT},
        {"VTIME.CSV", "MAXV", lim.MAXV, false, a.IVEL, &n.NVEL},
        {"THTIME.CSV", "MAXTH", lim.MAXTH, false, a.ITHEL, &n.NTHEL},
    };
    std::int64_t record = 1;  // the limits record
    for (Group& g : groups) {
        // 1. The count. A list longer than its capacity would be read past its slice.
        rio::read(unit, "(I5)", {*g.count});
        ++record;
        const Index count = *g.count;
        if (count > g.capacity) {
            refuse(file, record,
                   "count " + std::to_string(count) + " for " + g.csv + " above " +
                       g.capacity_name + " " + std::to_string(g.capacity));
        }
        if (count <= 0) continue;

        // 2. The numbers, ten a record.
        rio::read(unit, "(10I7)", {std::span<Index>(g.list.data(), count)});

        // 3. Every number above 0 must be a node (element) of the result file; 0 or below
        // keeps its column without values.
        const Index top = g.nodes ? c.NUMNP : c.NUMEL;
        for (Index j = 1; j <= count; ++j) {
            if (g.list(j) > top) {
                refuse(file, record + 1 + (j - 1) / 10,
                       std::string(g.nodes ? "node " : "element ") + std::to_string(g.list(j)) +
                           " for " + g.csv + " above " + (g.nodes ? "NUMNP " : "NUMEL ") +
                           std::to_string(top) + " of the result file");
            }
        }
        record += (count + 9) / 10;
    }
    return n;
}

}  // namespace his
