// Format texts parsed once into edit descriptors and kept by their text.
#include "internal.hpp"

#include <cctype>
#include <cstring>
#include <memory>
#include <unordered_map>

namespace rio::detail {

namespace {

struct Parser {
    std::string_view s;
    std::size_t i = 0;
    Format& f;
    std::string& err;

    void blanks() {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    }
    char peek() { return i < s.size() ? static_cast<char>(std::toupper(static_cast<unsigned char>(s[i]))) : '\0'; }
    bool digit() { return i < s.size() && s[i] >= '0' && s[i] <= '9'; }

    // Unsigned integer; -1 when absent.
    long number() {
        blanks();
        if (!digit()) return -1;
        long v = 0;
        while (digit()) {
            v = v * 10 + (s[i] - '0');
            if (v > 1000000000L) return fail_num("number too large");
            ++i;
        }
        return v;
    }
    long fail_num(const char* why) {
        err = why;
        return -2;
    }
    bool fail(const char* why) {
        err = why;
        return false;
    }

    bool literal(char q) {
        ++i;  // opening delimiter
        const std::size_t off = f.text.size();
        for (;;) {
            if (i >= s.size()) return fail("literal without closing apostrophe");
            if (s[i] == q) {
                if (i + 1 < s.size() && s[i + 1] == q) {  // doubled delimiter stands for one
                    f.text.push_back(q);
                    i += 2;
                    continue;
                }
                ++i;
                break;
            }
            f.text.push_back(s[i++]);
        }
        Desc d{Op::Lit};
        d.lit_off = static_cast<std::int32_t>(off);
        d.lit_len = static_cast<std::int32_t>(f.text.size() - off);
        f.ops.push_back(d);
        return true;
    }

    bool run() {
        blanks();
        if (peek() != '(') return fail("format does not start with '('");
        ++i;
        std::vector<int> open;  // indices of the GroupBegin ops not yet closed
        int last_top_group = -1;
        for (;;) {
            blanks();
            if (i >= s.size()) return fail("format ends before its final ')'");
            char c = peek();
            if (c == ',') {
                ++i;
                continue;
            }
            if (c == ')') {
                ++i;
                if (open.empty()) {
                    f.ops.push_back(Desc{Op::End});
                    blanks();
                    if (i != s.size()) return fail("text after the final ')'");
                    break;
                }
                const int b = open.back();
                open.pop_back();
                Desc e{Op::GroupEnd};
                e.other = b;
                e.rep = f.ops[static_cast<std::size_t>(b)].rep;
                f.ops[static_cast<std::size_t>(b)].other = static_cast<std::int32_t>(f.ops.size());
                f.ops.push_back(e);
                if (open.empty()) last_top_group = b;
                continue;
            }
            if (c == '\'' || c == '"') {
                if (!literal(s[i])) return false;
                continue;
            }
            // Optional (signed, for P) count before a descriptor.
            bool neg = false;
            bool sign = false;
            if (c == '-' || c == '+') {
                neg = c == '-';
                sign = true;
                ++i;
            }
            long n = number();
            if (n == -2) return false;
            if (sign && n < 0) return fail("sign without a scale factor");
            blanks();
            c = peek();
            if (c == 'P') {
                ++i;
                if (n < 0) return fail("P without a scale factor");
                Desc d{Op::P};
                d.w = static_cast<std::int32_t>(neg ? -n : n);
                f.ops.push_back(d);
                continue;
            }
            if (sign) return fail("signed count before a descriptor other than P");
            if (n == 0) return fail("repeat count of zero");
            const std::int32_t rep = n < 0 ? 1 : static_cast<std::int32_t>(n);
            if (c == 'X') {
                ++i;
                Desc d{Op::X};
                d.w = rep;
                f.ops.push_back(d);
                continue;
            }
            if (c == '/') {
                ++i;
                Desc d{Op::Slash};
                d.w = rep;
                f.ops.push_back(d);
                continue;
            }
            if (c == '(') {
                ++i;
                Desc d{Op::GroupBegin};
                d.rep = rep;
                open.push_back(static_cast<int>(f.ops.size()));
                f.ops.push_back(d);
                continue;
            }
            if (c == 'I' || c == 'F' || c == 'E' || c == 'A') {
                ++i;
                Desc d{c == 'I' ? Op::I : c == 'F' ? Op::F : c == 'E' ? Op::E : Op::A};
                d.rep = rep;
                long w = number();
                if (w == -2) return false;
                if (c == 'A') {
                    if (w == 0) return fail("A field of width 0");
                    d.w = w < 0 ? -1 : static_cast<std::int32_t>(w);
                } else {
                    if (w <= 0) return fail("numeric field without a width");
                    d.w = static_cast<std::int32_t>(w);
                    if (c != 'I') {
                        blanks();
                        if (peek() != '.') return fail("real field without '.d'");
                        ++i;
                        long dd = number();
                        if (dd < 0) return fail("real field without digits after '.'");
                        d.d = static_cast<std::int32_t>(dd);
                    }
                }
                f.has_data = true;
                f.ops.push_back(d);
                continue;
            }
            return fail("unknown edit descriptor");
        }
        f.revert = last_top_group < 0 ? 0 : last_top_group;
        return true;
    }
};

struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>{}(s); }
};

}  // namespace

bool parse_format(std::string_view text, Format& out, std::string& error) {
    out = Format{};
    Parser p{text, 0, out, error};
    return p.run();
}

const Format& get_format(std::string_view text, int unit) {
    static std::unordered_map<std::string, std::unique_ptr<Format>, TextHash, std::equal_to<>> cache;
    // Most statements repeat the format of the statement before: check that first.
    static const std::string* last_key = nullptr;
    static const Format* last_fmt = nullptr;
    if (last_key && last_key->size() == text.size() && std::memcmp(last_key->data(), text.data(), text.size()) == 0)
        return *last_fmt;
    auto it = cache.find(text);
    if (it == cache.end()) {
        auto f = std::make_unique<Format>();
        std::string why;
        if (!parse_format(text, *f, why)) format_error(unit, text, why);
        it = cache.emplace(std::string(text), std::move(f)).first;
    }
    last_key = &it->first;
    last_fmt = it->second.get();
    return *last_fmt;
}

}  // namespace rio::detail
