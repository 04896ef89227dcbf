// Input fields: integers and reals from fixed columns or list-directed values.
// Reals are converted by std::from_chars from a normalised decimal text, so the implied
// point, the scale factor and "D" exponents never cost a floating-point multiplication.
#include "internal.hpp"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

namespace rio::detail {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_blank(char c) { return c == ' ' || c == '\t'; }

// A real number read into sign, significant digits and a decimal exponent.
struct Decimal {
    bool neg = false;
    std::string digits;  // leading zeros removed; empty for zero
    long exp10 = 0;      // value = digits x 10^exp10
};

// Parses s. `blanks_ok`: fixed-column field (blanks ignored, empty is zero). `d`: digits of
// fraction when no point. `scale`: applies when there is no exponent. `strict`: a mantissa
// needs a digit even without an exponent (list-directed values). In every field an exponent
// needs a mantissa digit before it and a digit of its own ("1.5E", "1.5-", "E5" are refused).
bool parse_decimal(std::string_view s, bool blanks_ok, int d, int scale, bool strict, Decimal& out) {
    std::size_t i = 0;
    const std::size_t n = s.size();
    auto skip = [&] {
        if (blanks_ok)
            while (i < n && is_blank(s[i])) ++i;
    };
    skip();
    if (i < n && (s[i] == '+' || s[i] == '-')) {
        out.neg = s[i] == '-';
        ++i;
    }
    bool point = false;
    long frac_digits = 0;
    bool any_digit = false;
    for (;;) {
        skip();
        if (i >= n) break;
        const char c = s[i];
        if (is_digit(c)) {
            any_digit = true;
            if (!(c == '0' && out.digits.empty())) out.digits.push_back(c);
            if (point) ++frac_digits;
            ++i;
        } else if (c == '.' && !point) {
            point = true;
            ++i;
        } else {
            break;
        }
    }
    if (strict && !any_digit) return false;
    bool has_exp = false;
    long ex = 0;
    if (i < n) {
        char c = s[i];
        if (c == 'E' || c == 'e' || c == 'D' || c == 'd') {
            ++i;
            skip();
            has_exp = true;
        } else if (c == '+' || c == '-') {
            has_exp = true;
        } else {
            return false;
        }
        if (!any_digit) return false;
        bool eneg = false;
        if (i < n && (s[i] == '+' || s[i] == '-')) {
            eneg = s[i] == '-';
            ++i;
        }
        bool edig = false;
        for (;;) {
            skip();
            if (i >= n) break;
            if (!is_digit(s[i])) return false;
            if (ex < 100000) ex = ex * 10 + (s[i] - '0');
            edig = true;
            ++i;
        }
        if (!edig) return false;
        if (eneg) ex = -ex;
    }
    // Without a point the last d digits are the fraction (leading zeros change nothing).
    if (!point) frac_digits = out.digits.empty() ? 0 : d;
    out.exp10 = ex - frac_digits - (has_exp ? 0 : scale);
    return true;
}

template <class T>
bool to_value(const Decimal& dec, T& v) {
    if (dec.digits.empty()) {
        v = dec.neg ? -T(0) : T(0);
        return true;
    }
    // Beyond any representable magnitude: decide before from_chars sees a huge exponent.
    const long mag = dec.exp10 + static_cast<long>(dec.digits.size());  // value < 10^mag
    if (mag > 400) return false;
    if (mag < -400) {
        v = dec.neg ? -T(0) : T(0);
        return true;
    }
    char buf[96];
    std::string big;
    char* b = buf;
    const std::size_t need = dec.digits.size() + 16;
    if (need > sizeof buf) {
        big.resize(need);
        b = big.data();
    }
    char* p = b;
    if (dec.neg) *p++ = '-';
    for (char c : dec.digits) *p++ = c;
    *p++ = 'e';
    auto r = std::to_chars(p, b + need, dec.exp10);
    p = r.ptr;
    T out{};
    auto res = std::from_chars(b, p, out, std::chars_format::scientific);
    if (res.ec == std::errc::result_out_of_range) {
        if (mag > 0) return false;  // overflow
        v = dec.neg ? -T(0) : T(0);  // underflow
        return true;
    }
    if (res.ec != std::errc() || res.ptr != p) return false;
    v = out;
    return true;
}

// Plain list-directed real "[-]ddd[.ddd][e[+-]dd]" converted in place; false when the
// token needs the general path (a "D" exponent, a sign-only exponent, a leading "+").
template <class T>
bool fast_list_real(std::string_view tok, T& v, bool& ok) {
    const char* s = tok.data();
    const char* e = s + tok.size();
    const char* p = s;
    if (p < e && *p == '-') ++p;
    const char* m0 = p;
    while (p < e && is_digit(*p)) ++p;
    if (p < e && *p == '.') {
        ++p;
        while (p < e && is_digit(*p)) ++p;
    }
    if (p - m0 == 0 || (p - m0 == 1 && *m0 == '.')) return false;
    if (p < e) {
        if (*p != 'E' && *p != 'e') return false;
        ++p;
        if (p < e && (*p == '+' || *p == '-')) ++p;
        const char* e0 = p;
        while (p < e && is_digit(*p)) ++p;
        if (p == e0 || p != e) return false;
    }
    auto res = std::from_chars(s, e, v, std::chars_format::general);
    if (res.ec != std::errc() || res.ptr != e) return false;
    ok = true;
    return true;
}

}  // namespace

bool get_I(std::string_view field, std::int32_t& v) {
    std::int64_t acc = 0;
    bool neg = false, sign = false, digit = false;
    for (char c : field) {
        if (is_blank(c)) continue;
        if (c == '+' || c == '-') {
            if (sign || digit) return false;
            sign = true;
            neg = c == '-';
            continue;
        }
        if (!is_digit(c)) return false;
        digit = true;
        acc = acc * 10 + (c - '0');
        if (acc > 2147483648LL) return false;
    }
    if (neg) acc = -acc;
    if (acc > std::numeric_limits<std::int32_t>::max()) return false;
    v = static_cast<std::int32_t>(acc);
    return true;
}

bool get_real(std::string_view field, int d, int scale, double& v) {
    Decimal dec;
    if (!parse_decimal(field, true, d, scale, false, dec)) return false;
    return to_value(dec, v);
}

bool get_real4(std::string_view field, int d, int scale, float& v) {
    Decimal dec;
    if (!parse_decimal(field, true, d, scale, false, dec)) return false;
    return to_value(dec, v);
}

bool get_list_int(std::string_view tok, std::int32_t& v) {
    std::size_t i = 0;
    bool neg = false;
    if (i < tok.size() && (tok[i] == '+' || tok[i] == '-')) neg = tok[i++] == '-';
    if (i == tok.size()) return false;
    std::int64_t acc = 0;
    for (; i < tok.size(); ++i) {
        if (!is_digit(tok[i])) return false;
        acc = acc * 10 + (tok[i] - '0');
        if (acc > 2147483648LL) return false;
    }
    if (neg) acc = -acc;
    if (acc > std::numeric_limits<std::int32_t>::max()) return false;
    v = static_cast<std::int32_t>(acc);
    return true;
}

bool get_list_real(std::string_view tok, double& v) {
    bool ok = false;
    if (fast_list_real(tok, v, ok)) return ok;
    Decimal dec;
    if (!parse_decimal(tok, false, 0, 0, true, dec)) return false;
    return to_value(dec, v);
}

bool get_list_real4(std::string_view tok, float& v) {
    bool ok = false;
    if (fast_list_real(tok, v, ok)) return ok;
    Decimal dec;
    if (!parse_decimal(tok, false, 0, 0, true, dec)) return false;
    return to_value(dec, v);
}

}  // namespace rio::detail
