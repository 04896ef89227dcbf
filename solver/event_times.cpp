// Event times: every time at which the boundary data change, for the steps to land on.
#include <algorithm>
#include <cmath>
#include <set>

#include "boundary_groups.hpp"

namespace sol {

namespace {

// Smallest event time, and the duplicate window: single-precision 1.0E-4 widened.
constexpr double kEventMin = double(1.0E-4f);
// Closest spacing of two kept event times: single-precision 0.000999 widened.
constexpr double kEventGap = double(0.000999f);

// The times collected so far, with the sorted set of those a candidate is compared with.
// A candidate is checked against the window only, and joins it when the caller commits, so
// the times of one table are never compared with each other.
class Collection {
public:
    // Appends t unless it is too small or some time of the window lies within 1.0E-4 of it.
    void offer(double t, bool check) {
        if (!(t > kEventMin)) return;
        if (check && near_window(t)) return;
        list_.push_back(t);
    }
    // The times appended since the last commit join the window.
    void commit() {
        window_.insert(list_.begin() + committed_, list_.end());
        committed_ = list_.size();
    }
    std::vector<double>& list() { return list_; }

private:
    bool near_window(double t) const {
        // The first window time at or above t - 1.0E-4, and the one before it in case the
        // subtraction rounded; the exact test decides.
        auto it = window_.lower_bound(t - kEventMin);
        if (it != window_.begin()) --it;
        for (; it != window_.end() && *it <= t + 2 * kEventMin; ++it)
            if (std::abs(t - *it) <= kEventMin) return true;
        return false;
    }

    std::vector<double> list_;
    std::set<double> window_;
    std::size_t committed_ = 0;
};

void offer_table(Collection& col, const TimeTables& tab, int t) {
    const std::int64_t n = std::min<std::int64_t>(tab.points(t), tab.T.ld());
    for (std::int64_t k = 1; k <= n; ++k) col.offer(tab.T(k, t), true);
}

// Each table of the kind is compared with the times present when it began.
void offer_tables(Collection& col, const TimeTables& tab) {
    for (int t = 1; t <= tab.count; ++t) {
        offer_table(col, tab, t);
        col.commit();
    }
}

}  // namespace

EventSources event_sources(const Control& c, const SolutionArrays& s) {
    auto first = [](const Span1<double>& a, int n) {
        return std::span<const double>(a.data(), static_cast<std::size_t>(
                                                     std::clamp<std::int64_t>(n, 0, a.size())));
    };
    EventSources src;
    src.TNEWC = first(s.TNEWC, c.NNEWC);
    src.TMATC = first(s.TMATC, c.NMATC);
    src.RAINR = {s.TRAIN, s.NRTP, c.NRR};
    src.EVAPO = {s.TEVAP, s.NETP, c.NEV};
    src.HTIME = {s.THB, s.NHTP, c.NHB};
    src.QTIME = {s.TQB, s.NQTP, c.NQB};
    return src;
}

std::vector<double> EVTIME(const EventSources& src) {
    Collection col;
    // 1. Collection, in scan order. NEWC times are all taken; MATC times are compared with
    // the NEWC times only.
    for (double t : src.TNEWC) col.offer(t, false);
    col.commit();
    for (double t : src.TMATC) col.offer(t, true);
    col.commit();
    offer_tables(col, src.RAINR);
    // All evaporation tables are compared with the times present before the first of them.
    for (int t = 1; t <= src.EVAPO.count; ++t) offer_table(col, src.EVAPO, t);
    col.commit();
    offer_tables(col, src.HTIME);
    offer_tables(col, src.QTIME);

    std::vector<double>& list = col.list();
    if (list.size() < 2) return std::move(list);
    // 2. Ascending order (an exchange sort gives the same list: equal times are equal).
    std::sort(list.begin(), list.end());
    // 3. Thinning: a time stays when it lies at least 0.000999 above its neighbour below in
    // the sorted list; the smallest always stays.
    std::vector<double> kept;
    kept.reserve(list.size());
    kept.push_back(list[0]);
    for (std::size_t n = 1; n < list.size(); ++n)
        if (std::abs(list[n] - list[n - 1]) >= kEventGap) kept.push_back(list[n]);
    return kept;
}

}  // namespace sol
