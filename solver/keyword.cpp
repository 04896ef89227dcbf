// Keyword rule of the model's group records, group error lines and node ranges.
#include <algorithm>

#include "input.hpp"
#include "recordio/recordio.hpp"

namespace sol {

bool keyword_ok(InputState& in, const std::string& saved, std::string_view expected,
                KeywordRule rule) {
    std::string& kw = in.KEYWD;
    switch (rule) {
        case KeywordRule::Repeat:
            if (kw.find_first_not_of(' ') == std::string::npos) kw = saved;
            break;
        case KeywordRule::FirstFour:
            if (kw.substr(0, 4).find_first_not_of(' ') == std::string::npos) kw = saved;
            break;
        case KeywordRule::NoRepeat:
            break;
    }
    return kw == expected;
}

void check_keyword(const Units& u, InputState& in, const std::string& saved,
                   std::string_view expected, std::string_view error_format, KeywordRule rule) {
    if (!keyword_ok(in, saved, expected, rule)) rio::write(u.IW, error_format);
}

void group_error_line(const Units& u, std::string_view keyword, std::string_view group) {
    rio::write(u.IW, "(' ** ERROR ** ',A5,' DATA -- Group ',A3)", {keyword, group});
}

void check_keyword_group(const Units& u, InputState& in, const std::string& saved,
                         std::string_view expected, std::string_view group) {
    if (!keyword_ok(in, saved, expected, KeywordRule::Repeat)) {
        std::string g(group);
        g.resize(3, ' ');
        group_error_line(u, expected, g);
    }
}

Index clamp32(std::int64_t v) {
    return static_cast<Index>(std::clamp<std::int64_t>(v, kIndexMin, kIndexMax));
}

void report_limit(const Units& u, InputState& in, std::string_view name, std::int64_t value,
                  std::int64_t lo, std::int64_t hi) {
    std::string n(name);
    n.resize(8, ' ');
    rio::write(u.IW, "(' ** LIMIT ** ',A8,I10,' NOT IN',I10,' TO',I10)",
               {n, clamp32(value), clamp32(lo), clamp32(hi)});
    in.read_error = 1;
}

void report_equal_first_times(const Units& u, InputState& in, std::string_view table,
                              std::int64_t number, double time) {
    std::string n(table);
    n.resize(8, ' ');
    rio::write(u.IW, "(' ** LIMIT ** ',A8,I10,' FIRST TWO TIMES EQUAL',1PE13.5)",
               {n, clamp32(number), time});
    in.read_error = 1;
}

void report_descending_time(const Units& u, InputState& in, std::string_view table,
                            std::int64_t number, std::int64_t point, double time) {
    std::string n(table);
    n.resize(8, ' ');
    rio::write(u.IW, "(' ** LIMIT ** ',A8,I10,' TIME AT POINT',I5,' BELOW THE ONE BEFORE',1PE13.5)",
               {n, clamp32(number), clamp32(point), time});
    in.read_error = 1;
}

namespace {
std::int64_t floor_div(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}
std::int64_t ceil_div(std::int64_t a, std::int64_t b) { return -floor_div(-a, b); }
}  // namespace

NodeRange clip_range(std::int64_t N1, std::int64_t N2, std::int64_t INC, std::int64_t lo,
                     std::int64_t hi) {
    NodeRange r;
    // Integer division truncating toward zero, as the counted loop of the records does.
    r.count = (N2 - N1 + INC) / INC;
    if (r.count <= 0) {
        r.count = 0;
        return r;
    }
    std::int64_t kmin, kmax;
    if (INC > 0) {
        kmin = ceil_div(lo - N1, INC);
        kmax = floor_div(hi - N1, INC);
    } else {
        kmin = ceil_div(hi - N1, INC);
        kmax = floor_div(lo - N1, INC);
    }
    r.kmin = std::max<std::int64_t>(kmin, 0);
    r.kmax = std::min<std::int64_t>(kmax, r.count - 1);
    if (r.kmin > r.kmax) {
        r.kmin = 0;
        r.kmax = -1;
        r.has_bad = true;
        r.first_bad = N1;
    } else if (r.kmin > 0) {
        r.has_bad = true;
        r.first_bad = N1;
    } else if (r.kmax < r.count - 1) {
        r.has_bad = true;
        r.first_bad = N1 + (r.kmax + 1) * INC;
    }
    return r;
}

}  // namespace sol
