// Exponent and list-directed real fields of random values against digits from std::to_chars,
// which rounds the exact binary value correctly: guards the fast digit paths of the formatter.
#include "rio_test_util.hpp"

#include <charconv>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace {

using rio_test::InTempDir;

// Digits of |v| rounded to n significant digits and the exponent of the first.
std::string digits(double v, int n, int& x) {
    char b[64];
    const auto r = std::to_chars(b, b + sizeof b, std::fabs(v), std::chars_format::scientific, n - 1);
    std::string s(b, r.ptr);
    const std::size_t e = s.find('e');
    x = std::stoi(s.substr(e + 1));
    std::string d = s.substr(0, e);
    if (d.size() > 1) d.erase(1, 1);  // the point
    return d;
}

std::string right(const std::string& s, std::size_t w) { return std::string(w - s.size(), ' ') + s; }

std::string sign(double v) { return std::signbit(v) && v != 0 ? "-" : ""; }

// "E+xx" for |x| <= 99, the only exponents the values below reach.
std::string two_digit_exponent(int x) {
    const int a = x < 0 ? -x : x;
    return std::string("E") + (x < 0 ? '-' : '+') + static_cast<char>('0' + a / 10 % 10) +
           static_cast<char>('0' + a % 10);
}

// Random values over magnitudes 1e-30 to 1e30, with exact decimal ties and exact zeros.
std::vector<double> random_values(std::size_t n, bool single) {
    std::mt19937_64 g(20261208);
    std::vector<double> v(n);
    for (double& x : v) {
        switch (g() % 4) {
        case 0: x = std::ldexp(static_cast<double>(g() >> 11), static_cast<int>(g() % 200) - 152); break;
        case 1: x = (static_cast<double>(g() % 100000) + 0.5) / static_cast<double>(1u << (g() % 16)); break;
        case 2: x = std::pow(10.0, static_cast<int>(g() % 40) - 20); break;
        default: x = g() % 8 == 0 ? 0.0 : static_cast<double>(g() % 2000000) * 1e-3;
        }
        if (g() & 1) x = -x;
        if (single) x = static_cast<float>(x);
    }
    return v;
}

std::vector<std::string> lines(const std::string& s) {
    std::vector<std::string> out;
    for (std::size_t a = 0, b; (b = s.find("\r\n", a)) != std::string::npos; a = b + 2) out.push_back(s.substr(a, b - a));
    return out;
}

TEST_F(InTempDir, ExponentFieldsMatchCorrectlyRoundedDigits) {
    const std::vector<double> v = random_values(40000, false);
    const auto k1 = lines(rio_test::written("(1PE12.4)", {std::span<const double>(v)}));
    const auto k0 = lines(rio_test::written("(E15.7)", {std::span<const double>(v)}));
    ASSERT_EQ(k1.size(), v.size());
    ASSERT_EQ(k0.size(), v.size());
    for (std::size_t i = 0; i < v.size(); ++i) {
        int x = 0;
        std::string d = v[i] == 0 ? "00000" : digits(v[i], 5, x);
        EXPECT_EQ(k1[i], right(sign(v[i]) + d.substr(0, 1) + "." + d.substr(1) + two_digit_exponent(v[i] == 0 ? 0 : x), 12)) << v[i];
        d = v[i] == 0 ? "0000000" : digits(v[i], 7, x);
        EXPECT_EQ(k0[i], right(sign(v[i]) + "0." + d + two_digit_exponent(v[i] == 0 ? 0 : x + 1), 15)) << v[i];
    }
}

TEST_F(InTempDir, ListDirectedSinglePrecisionMatchesCorrectlyRoundedDigits) {
    const std::vector<double> v = random_values(20000, true);
    rio::open(40, "list.txt", rio::Status::Unknown, rio::Form::Formatted);
    for (double x : v) rio::write(40, "*", {static_cast<float>(x)});
    rio::close(40);
    const auto got = lines(rio_test::slurp("list.txt"));
    ASSERT_EQ(got.size(), v.size());
    for (std::size_t i = 0; i < v.size(); ++i) {
        int x = 0;
        const std::string d = v[i] == 0 ? "0000000" : digits(v[i], 7, x);
        std::string want;
        if (v[i] != 0 && x >= -1 && x <= 6) {
            const std::string before = x == -1 ? "0" : d.substr(0, static_cast<std::size_t>(x + 1));
            want = right(sign(v[i]) + before + "." + d.substr(static_cast<std::size_t>(x + 1)), 11) + "    ";
        } else {
            want = right(sign(v[i]) + d.substr(0, 1) + "." + d.substr(1) + "0" + two_digit_exponent(x), 15);
        }
        EXPECT_EQ(got[i], want) << v[i];
    }
}

}  // namespace
