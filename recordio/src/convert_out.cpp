// Output fields: integers, fixed-point and exponent reals, and the list-directed real form.
// Decimal digits come from std::to_chars with a precision, which rounds the exact binary
// value to the nearest decimal, ties to the even digit.
#include "internal.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

namespace rio::detail {

namespace {

void stars(char* out, int w) { std::memset(out, '*', static_cast<std::size_t>(w)); }

// Right-justifies s (n bytes) in w columns; false when it does not fit.
bool right(char* out, int w, const char* s, int n) {
    if (n > w) return false;
    std::memset(out, ' ', static_cast<std::size_t>(w - n));
    std::memcpy(out + (w - n), s, static_cast<std::size_t>(n));
    return true;
}

using U128 = unsigned __int128;

constexpr std::uint64_t kPow10[20] = {1ull,
                                      10ull,
                                      100ull,
                                      1000ull,
                                      10000ull,
                                      100000ull,
                                      1000000ull,
                                      10000000ull,
                                      100000000ull,
                                      1000000000ull,
                                      10000000000ull,
                                      100000000000ull,
                                      1000000000000ull,
                                      10000000000000ull,
                                      100000000000000ull,
                                      1000000000000000ull,
                                      10000000000000000ull,
                                      100000000000000000ull,
                                      1000000000000000000ull,
                                      10000000000000000000ull};

U128 pow10_128(int k) {  // k <= 38
    U128 r = 1;
    while (k >= 19) {
        r *= kPow10[19];
        k -= 19;
    }
    return r * kPow10[k];
}

int bit_length(U128 v) {
    const std::uint64_t hi = static_cast<std::uint64_t>(v >> 64);
    if (hi) return 128 - __builtin_clzll(hi);
    const std::uint64_t lo = static_cast<std::uint64_t>(v);
    return lo ? 64 - __builtin_clzll(lo) : 0;
}

// 5^k for k = 0..55 (5^55 < 2^128).
constexpr auto kPow5 = [] {
    std::array<U128, 56> t{};
    t[0] = 1;
    for (std::size_t i = 1; i < t.size(); ++i) t[i] = t[i - 1] * 5;
    return t;
}();

// round(m x 2^q x 10^k), ties to even, in exact integer arithmetic; false when the numbers
// do not fit 128 bits.
[[gnu::noinline]] bool scaled_round(std::uint64_t m, int q, int k, std::uint64_t& out) {
    U128 n, rem, den;
    if (k >= 0) {
        // m x 5^k x 2^(q+k): the divisor, if any, is a power of two (a shift and a mask).
        // Trailing zero bits of m widen the range (a REAL*4 value has at most 24 bits).
        const int tz = __builtin_ctzll(m);
        m >>= tz;
        q += tz;
        if (k >= static_cast<int>(kPow5.size())) return false;
        const U128 p5 = kPow5[static_cast<std::size_t>(k)];
        if (bit_length(p5) + bit_length(m) > 127) return false;
        const U128 num = m * p5;
        const int s = q + k;
        if (s >= 0) {
            if (bit_length(num) + s > 127) return false;
            n = num << s;
            rem = 0;
            den = 1;
        } else {
            if (-s > 126) return false;
            n = num >> -s;
            den = U128(1) << -s;
            rem = num & (den - 1);
        }
    } else {
        if (-k > 38) return false;
        U128 num = m;
        den = pow10_128(-k);
        if (q >= 0) {
            if (bit_length(num) + q > 127) return false;
            num <<= q;
        } else {
            if (bit_length(den) - q > 127) return false;
            den <<= -q;
        }
        n = num / den;
        rem = num - n * den;
    }
    const U128 twice = rem << 1;
    if (twice > den || (twice == den && (n & 1))) ++n;
    if (n >> 64) return false;
    out = static_cast<std::uint64_t>(n);
    return true;
}

// Powers of ten that are exact doubles.
constexpr double kPow10d[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// round(a x 10^k) for a = m x 2^q, ties to even. With |k| <= 22 the product or quotient in
// double is the exact value rounded once, so it is off by at most half an ulp; below 2^50 an
// ulp is at most 1/8, and a fraction farther than two ulps from one half rounds the same way
// as the exact value. Only near-ties take the exact integer path.
bool round_scaled(double a, std::uint64_t m, int q, int k, std::uint64_t& out) {
    if (k >= 0 && k <= 27) {
        // m x 5^k x 2^(q+k) with 5^k < 2^63: one 64 x 64 bit product, then a shift right
        // that drops s bits, rounded on what it drops. Exact, and the usual case.
        const U128 prod = static_cast<U128>(m) * static_cast<std::uint64_t>(kPow5[static_cast<std::size_t>(k)]);
        const int s = -(q + k);
        if (s >= 1 && s <= 115) {
            U128 n = prod >> s;
            const U128 rem = prod - (n << s);
            const U128 half = U128(1) << (s - 1);
            if (rem > half || (rem == half && (n & 1))) ++n;
            if (!(n >> 64)) {
                out = static_cast<std::uint64_t>(n);
                return true;
            }
        }
    }
    if (k >= -22 && k <= 22) {
        const double y = k >= 0 ? a * kPow10d[k] : a / kPow10d[-k];
        if (y < 0x1p50) {
            const std::int64_t i = static_cast<std::int64_t>(y);  // the floor: y >= 0
            const double r = y - static_cast<double>(i);  // exact below 2^50
            if (std::fabs(r - 0.5) > y * 0x1p-51) {
                out = static_cast<std::uint64_t>(i) + (r > 0.5 ? 1 : 0);
                return true;
            }
        }
    }
    return scaled_round(m, q, k, out);
}

// Fast exact rounding of a normal a > 0 to nsig (<= 17) significant digits: the digits as
// one integer n (nsig digits) and the decimal exponent x of the first (a ~ n x 10^(x-nsig+1)).
bool sig_int(double a, int nsig, std::uint64_t& n, int& x) {
    std::uint64_t bits;
    std::memcpy(&bits, &a, 8);
    const int be = static_cast<int>(bits >> 52) & 0x7ff;
    if (be == 0 || be == 0x7ff || nsig > 17) return false;
    const std::uint64_t m = (bits & ((1ull << 52) - 1)) | (1ull << 52);
    const int q = be - 1075;
    // 2^(q+52) <= a < 2^(q+53): floor((q+52) log10 2) is X or X - 1.
    int x0 = ((q + 52) * 78913) >> 18;
    // Settle X - 1 against an exact power of ten where there is one, so that the scaled
    // value stays below 10^nsig and on the fast path. A product above 1.0 after rounding
    // was above 1 before it.
    const int up = x0 + 1;
    if (up >= 0 && up <= 22) {
        if (a >= kPow10d[up]) x0 = up;
    } else if (up < 0 && up >= -22) {
        if (a * kPow10d[-up] > 1.0) x0 = up;
    }
    if (!round_scaled(a, m, q, nsig - 1 - x0, n)) return false;
    while (n >= kPow10[nsig]) {
        ++x0;
        if (!round_scaled(a, m, q, nsig - 1 - x0, n)) return false;
    }
    x = x0;
    return true;
}

bool sig_digits_fast(double a, int nsig, char* dig, int& x) {
    std::uint64_t n;
    if (!sig_int(a, nsig, n, x)) return false;
    for (int i = nsig - 1; i >= 0; --i) {
        dig[i] = static_cast<char>('0' + n % 10);
        n /= 10;
    }
    return true;
}

// "00" "01" ... "99": two digits per division.
constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Blanks over a field of w columns before its text is written right to left over them:
// two overlapping 8- or 4-byte stores for the usual widths instead of a library call.
[[gnu::always_inline]] inline void blank_field(char* out, int w) {
    static constexpr char kBlanks[8] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    if (w >= 8 && w <= 16) {
        std::memcpy(out, kBlanks, 8);
        std::memcpy(out + w - 8, kBlanks, 8);
    } else if (w >= 4 && w < 8) {
        std::memcpy(out, kBlanks, 4);
        std::memcpy(out + w - 4, kBlanks, 4);
    } else {
        std::memset(out, ' ', static_cast<std::size_t>(w));
    }
}

// Writes the `count` low decimal digits of v backwards ending before `end`, two at a time;
// returns the new start. Leading zeros are written when v has fewer digits.
template <class U>
[[gnu::always_inline]] inline char* digits_back_in(char* end, U& v, int count) {
    for (; count >= 2; count -= 2) {
        const U r = v % 100;
        v /= 100;
        end -= 2;
        std::memcpy(end, kPairs + 2 * r, 2);
    }
    if (count) {
        *--end = static_cast<char>('0' + v % 10);
        v /= 10;
    }
    return end;
}

[[gnu::always_inline]] inline char* digits_back(char* end, std::uint64_t& n, int count) {
    if ((n >> 32) && count > 8) {
        // The low eight digits, then the rest, each in 32-bit arithmetic.
        std::uint32_t lo = static_cast<std::uint32_t>(n % 100000000);
        n /= 100000000;
        end = digits_back_in(end, lo, 8);
        count -= 8;
    }
    if (n >> 32) return digits_back_in(end, n, count);
    // 32-bit division by a constant is cheaper.
    std::uint32_t v = static_cast<std::uint32_t>(n);
    end = digits_back_in(end, v, count);
    n = v;
    return end;
}

// Significant digits of a > 0 rounded to `nsig` digits: digits into dig, returns the
// decimal exponent of the first digit (a ~ d1.d2d3... x 10^X).
int sig_digits(double a, int nsig, char* dig) {
    int fx;
    if (sig_digits_fast(a, nsig, dig, fx)) return fx;
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific, nsig - 1);
    const char* p = buf;
    dig[0] = *p++;
    if (nsig > 1) {
        ++p;  // the point
        std::memcpy(dig + 1, p, static_cast<std::size_t>(nsig - 1));
        p += nsig - 1;
    }
    ++p;  // 'e'
    const bool eneg = *p == '-';
    ++p;
    int x = 0;
    while (p < r.ptr) x = x * 10 + (*p++ - '0');
    return eneg ? -x : x;
}

// Exact decimal expansion of a > 0 (every double has a finite one): digits and exponent of
// the first digit. Used only for roundings that precision forms cannot express.
int exact_digits(double a, std::string& dig) {
    std::string buf(1100, '\0');
    auto r = std::to_chars(buf.data(), buf.data() + buf.size(), a, std::chars_format::scientific, 780);
    std::string_view s(buf.data(), static_cast<std::size_t>(r.ptr - buf.data()));
    const std::size_t epos = s.find('e');
    dig.assign(1, s[0]);
    dig.append(s.substr(2, epos - 2));
    int x = 0;
    for (std::size_t i = epos + 2; i < s.size(); ++i) x = x * 10 + (s[i] - '0');
    return s[epos + 1] == '-' ? -x : x;
}

// Writes the decimal exponent `x` (letter, sign, digits) at p; false when beyond 999.
// Magnitudes up to 99 take "E" and two digits; 100 to 999 drop the letter for three.
int exponent_text(char* p, int x) {
    const int ax = x < 0 ? -x : x;
    const char sign = x < 0 ? '-' : '+';
    if (ax <= 99) {
        p[0] = 'E';
        p[1] = sign;
        p[2] = static_cast<char>('0' + ax / 10);
        p[3] = static_cast<char>('0' + ax % 10);
        return 4;
    }
    if (ax <= 999) {
        p[0] = sign;
        p[1] = static_cast<char>('0' + ax / 100);
        p[2] = static_cast<char>('0' + ax / 10 % 10);
        p[3] = static_cast<char>('0' + ax % 10);
        return 4;
    }
    return 0;
}

}  // namespace

bool put_nonfinite(char* out, int w, double v) {
    const char* s = std::isnan(v) ? "NaN" : v < 0 ? "-Infinity" : "Infinity";
    if (!right(out, w, s, static_cast<int>(std::strlen(s)))) {
        stars(out, w);
        return false;
    }
    return true;
}

bool put_I(char* out, int w, std::int64_t v) {
    std::uint64_t u = v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    // Digits of u from its bit length (x 1233 / 4096 ~ log10 2) and one comparison.
    const int t = ((64 - __builtin_clzll(u | 1)) * 1233) >> 12;
    const int ndig = u >= kPow10[t] ? t + 1 : (t > 0 ? t : 1);
    const int n = ndig + (v < 0 ? 1 : 0);
    if (n > w) {
        stars(out, w);
        return false;
    }
    blank_field(out, w);
    char* o = digits_back(out + w, u, ndig);
    if (v < 0) *--o = '-';
    return true;
}

bool put_F(char* out, int w, int d, int scale, double v) {
    if (!std::isfinite(v)) return put_nonfinite(out, w, v);
    const double a = std::fabs(v);
    // 1. The digits of a x 10^scale rounded to d places: the digits of a rounded to
    //    d + scale places, with the point moved `scale` places to the right.
    const int p = d + scale;
    std::string digits;  // all digits, point implied at `ip`
    int ip = 0;          // digits before the point in `digits` (may be <= 0 or > size)
    if (p >= 0) {
        std::string buf(static_cast<std::size_t>(330 + p), '\0');
        auto r = std::to_chars(buf.data(), buf.data() + buf.size(), a, std::chars_format::fixed, p);
        std::string_view s(buf.data(), static_cast<std::size_t>(r.ptr - buf.data()));
        const std::size_t dot = s.find('.');
        if (dot == std::string_view::npos) {
            digits.assign(s);
            ip = static_cast<int>(s.size());
        } else {
            digits.assign(s.substr(0, dot));
            ip = static_cast<int>(dot);
            digits.append(s.substr(dot + 1));
        }
    } else if (a != 0) {
        // Rounding to a position left of the point: round the exact expansion by hand.
        std::string ex;
        const int x = exact_digits(a, ex);
        const int keep = x + 1 + p;  // digits kept
        if (keep < 0) {
            digits = "0";
            ip = 1;
        } else {
            std::string kept = ex.substr(0, static_cast<std::size_t>(keep));
            const char next = static_cast<std::size_t>(keep) < ex.size() ? ex[static_cast<std::size_t>(keep)] : '0';
            bool up = next > '5';
            if (next == '5') {
                bool rest = ex.find_first_not_of('0', static_cast<std::size_t>(keep) + 1) != std::string::npos;
                up = rest || (!kept.empty() && (kept.back() - '0') % 2 == 1);
            }
            if (up) {
                int i = keep - 1;
                while (i >= 0 && kept[static_cast<std::size_t>(i)] == '9') kept[static_cast<std::size_t>(i--)] = '0';
                if (i >= 0) {
                    ++kept[static_cast<std::size_t>(i)];
                } else {
                    kept.insert(kept.begin(), '1');
                }
            }
            if (kept.empty()) kept = "0";
            digits = kept + std::string(static_cast<std::size_t>(-p), '0');
            ip = static_cast<int>(digits.size());
        }
    } else {
        digits = "0";
        ip = 1;
    }
    ip += scale;
    // 2. Integer part without leading zeros, fraction of exactly d digits.
    std::string ipart, frac;
    if (ip <= 0) {
        frac.assign(static_cast<std::size_t>(-ip), '0');
        frac.append(digits);
    } else if (ip >= static_cast<int>(digits.size())) {
        ipart = digits + std::string(static_cast<std::size_t>(ip) - digits.size(), '0');
    } else {
        ipart = digits.substr(0, static_cast<std::size_t>(ip));
        frac = digits.substr(static_cast<std::size_t>(ip));
    }
    frac.resize(static_cast<std::size_t>(d), '0');
    const std::size_t nz = ipart.find_first_not_of('0');
    ipart = nz == std::string::npos ? std::string() : ipart.substr(nz);
    const bool zero = ipart.empty() && frac.find_first_not_of('0') == std::string::npos;
    const bool neg = std::signbit(v) && !zero;  // a value that rounds to zero is written unsigned
    // 3. Assemble: the "0" before the point only when there is a column for it.
    const int len = (neg ? 1 : 0) + static_cast<int>(ipart.size()) + 1 + d;
    if (len > w) {
        stars(out, w);
        return false;
    }
    const bool lead0 = ipart.empty() && len + 1 <= w;
    const int total = len + (lead0 ? 1 : 0);
    char* o = out;
    std::memset(o, ' ', static_cast<std::size_t>(w - total));
    o += w - total;
    if (neg) *o++ = '-';
    if (lead0) *o++ = '0';
    std::memcpy(o, ipart.data(), ipart.size());
    o += ipart.size();
    *o++ = '.';
    std::memcpy(o, frac.data(), frac.size());
    return true;
}

namespace {

// put_E for fields whose digits sig_int gives (or zero), written in place right to left;
// false when the general path must write the field.
bool put_E_fast(char* out, int w, int d, int k, double v, bool& ok) {
    const int nsig = k <= 0 ? d + k : d + 1;
    if (nsig < 1 || nsig > 17 || k >= d + 2) return false;
    const double a = std::fabs(v);
    std::uint64_t n = 0;
    int ex = 0;
    if (a != 0) {
        int x;
        if (!sig_int(a, nsig, n, x)) return false;
        ex = x + 1 - k;
    }
    const bool neg = std::signbit(v) && a != 0;
    const int before = k > 0 ? k : 0;
    const int after = k > 0 ? nsig - k : d;
    const int len = (neg ? 1 : 0) + before + 1 + after + 4;
    char expo[4];
    if (exponent_text(expo, ex) == 0 || len > w) {
        stars(out, w);
        ok = false;
        return true;
    }
    blank_field(out, w);
    char* o = out + w - 4;
    std::memcpy(o, expo, 4);
    if (k > 0) {
        o = digits_back(o, n, after);
        *--o = '.';
        o = digits_back(o, n, k);
    } else {
        o = digits_back(o, n, nsig);
        for (int i = 0; i < -k; ++i) *--o = '0';
        *--o = '.';
        if (len + 1 <= w) *--o = '0';
    }
    if (neg) *--o = '-';
    ok = true;
    return true;
}

}  // namespace

bool put_E(char* out, int w, int d, int scale, double v) {
    if (!std::isfinite(v)) return put_nonfinite(out, w, v);
    bool ok;
    if (put_E_fast(out, w, d, scale, v, ok)) return ok;
    const int k = scale;
    // Significant digits: d + k with the digits after "0." (k <= 0), d + 1 with k digits
    // before the point (k > 0).
    const int nsig = k <= 0 ? d + k : d + 1;
    if (nsig < 1 || k >= d + 2 || nsig > 700) {
        stars(out, w);
        return false;
    }
    const double a = std::fabs(v);
    char digbuf[768];
    int ex = 0;  // exponent written
    if (a == 0) {
        std::memset(digbuf, '0', static_cast<std::size_t>(nsig));
    } else {
        const int x = sig_digits(a, nsig, digbuf);
        ex = x + 1 - k;  // value = 0.d1d2... x 10^(x+1)
    }
    const bool neg = std::signbit(v) && a != 0;
    char expo[4];
    if (exponent_text(expo, ex) == 0) {
        stars(out, w);
        return false;
    }
    // sign, [0], digits before the point, point, digits after, exponent
    const int before = k > 0 ? k : 0;
    const int after = k > 0 ? nsig - k : d;
    const int len = (neg ? 1 : 0) + before + 1 + after + 4;
    if (len > w) {
        stars(out, w);
        return false;
    }
    const bool lead0 = k <= 0 && len + 1 <= w;
    const int total = len + (lead0 ? 1 : 0);
    char* o = out;
    std::memset(o, ' ', static_cast<std::size_t>(w - total));
    o += w - total;
    if (neg) *o++ = '-';
    if (lead0) *o++ = '0';
    if (k > 0) {
        std::memcpy(o, digbuf, static_cast<std::size_t>(k));
        o += k;
        *o++ = '.';
        std::memcpy(o, digbuf + k, static_cast<std::size_t>(after));
        o += after;
    } else {
        *o++ = '.';
        std::memset(o, '0', static_cast<std::size_t>(-k));
        o += -k;
        std::memcpy(o, digbuf, static_cast<std::size_t>(nsig));
        o += nsig;
    }
    std::memcpy(o, expo, 4);
    return true;
}

namespace {

// put_list_real for d <= 17 digits of a normal value or zero, written in place right to
// left; false when the general path must write the field.
bool put_list_real_fast(char* out, int w, int d, int e, double v) {
    if (d > 17) return false;
    const double a = std::fabs(v);
    std::uint64_t n = 0;
    int x = 0;
    if (a != 0 && !sig_int(a, d, n, x)) return false;
    char* o;
    blank_field(out, w);
    if (a != 0 && x >= -1 && x <= d - 1) {
        // Fixed point: k = x + 1 digits before the point, d - k after, e + 2 blanks last.
        const int k = x + 1;
        o = out + w - (e + 2);
        o = digits_back(o, n, d - k);
        *--o = '.';
        o = k == 0 ? (*--o = '0', o) : digits_back(o, n, k);
    } else {
        // Exponent form: the d rounded digits, then one "0", then E, sign and e digits.
        o = out + w;
        int ax = x < 0 ? -x : x;
        for (int i = 0; i < e; ++i) {
            *--o = static_cast<char>('0' + ax % 10);
            ax /= 10;
        }
        *--o = x < 0 ? '-' : '+';
        *--o = 'E';
        *--o = '0';
        o = digits_back(o, n, d - 1);
        *--o = '.';
        o = digits_back(o, n, 1);
    }
    if (a != 0 && std::signbit(v)) *--o = '-';
    return true;
}

}  // namespace

void put_list_real(char* out, int w, int d, int e, double v, bool single) {
    if (!std::isfinite(v)) {
        put_nonfinite(out, w, v);
        return;
    }
    // A REAL*4 value widens to double exactly, so its digits are the same.
    if (put_list_real_fast(out, w, d, e, single ? static_cast<double>(static_cast<float>(v)) : v)) return;
    char dig[20];
    char buf[48];
    char* b = buf;
    const double a = std::fabs(v);
    int x = 0;
    if (a != 0) {
        // A REAL*4 value widens to double exactly, so its digits are the same.
        x = sig_digits(single ? static_cast<double>(static_cast<float>(a)) : a, d, dig);
    }
    if (a != 0 && x >= -1 && x <= d - 1) {
        // Fixed point: k = x + 1 digits before the point, d - k after.
        if (std::signbit(v)) *b++ = '-';
        const int k = x + 1;
        if (k == 0) {
            *b++ = '0';
        } else {
            std::memcpy(b, dig, static_cast<std::size_t>(k));
            b += k;
        }
        *b++ = '.';
        std::memcpy(b, dig + k, static_cast<std::size_t>(d - k));
        b += d - k;
        const int n = static_cast<int>(b - buf);
        const int fw = w - (e + 2);
        std::memset(out, ' ', static_cast<std::size_t>(fw - n));
        std::memcpy(out + (fw - n), buf, static_cast<std::size_t>(n));
        std::memset(out + fw, ' ', static_cast<std::size_t>(e + 2));
        return;
    }
    // Exponent form: the d rounded digits, then one "0", then E, sign and e digits.
    if (a == 0) {
        std::memset(dig, '0', static_cast<std::size_t>(d));
    } else if (std::signbit(v)) {
        *b++ = '-';
    }
    *b++ = dig[0];
    *b++ = '.';
    std::memcpy(b, dig + 1, static_cast<std::size_t>(d - 1));
    b += d - 1;
    *b++ = '0';
    *b++ = 'E';
    *b++ = x < 0 ? '-' : '+';
    int ax = x < 0 ? -x : x;
    for (int i = e - 1; i >= 0; --i) {
        b[i] = static_cast<char>('0' + ax % 10);
        ax /= 10;
    }
    b += e;
    const int n = static_cast<int>(b - buf);
    std::memset(out, ' ', static_cast<std::size_t>(w - n));
    std::memcpy(out + (w - n), buf, static_cast<std::size_t>(n));
}

}  // namespace rio::detail
