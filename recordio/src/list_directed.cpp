// List-directed transfer: fields laid out by item type, values read by separators.
#include "transfer.hpp"

#include <cstring>
#include <string>
#include <vector>

namespace rio::detail {

namespace {

constexpr std::size_t kRecordWidth = kListRecordWidth;  // no record extends beyond column 80
constexpr int kReal8Width = kListFieldWidth<Kind::Real8>;
constexpr int kReal4Width = kListFieldWidth<Kind::Real4>;
constexpr int kIntWidth = kListFieldWidth<Kind::Int4>;

bool is_blank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

namespace {

RecordBuffer& list_record() {
    static RecordBuffer rec;
    return rec;
}

// One list-directed statement over the items of a range (an Items list or a vector of Item).
template <class R>
void write_list_statement(Unit& u, const R& items) {
    RecordBuffer& rec = list_record();
    rec.clear();
    u.begin_write();
    int count = 0;           // items in the record in hand
    bool last_text = false;  // the last item placed was character data
    // Room for n columns; a record that would extend beyond column 80 is ended first.
    auto room = [&](std::size_t n) -> char* {
        if (count > 0 && rec.size() + n > kRecordWidth) {
            u.put_record(rec.view());
            rec.clear();
            count = 0;
        }
        ++count;
        return rec.extend(n);
    };
    for_each_run(items, [&](const Run& r) {
        const char* p = r.p;
        switch (r.kind) {
        case Kind::Real8:
            for (std::int64_t i = 0; i < r.n; ++i, p += 8) {
                double v;
                std::memcpy(&v, p, 8);
                put_list_real(room(kReal8Width), kReal8Width, 15, 3, v, false);
            }
            last_text = false;
            break;
        case Kind::Real4:
            for (std::int64_t i = 0; i < r.n; ++i, p += 4) {
                float v;
                std::memcpy(&v, p, 4);
                put_list_real(room(kReal4Width), kReal4Width, 7, 2, v, true);
            }
            last_text = false;
            break;
        case Kind::Int4:
            for (std::int64_t i = 0; i < r.n; ++i, p += 4) {
                std::int32_t v;
                std::memcpy(&v, p, 4);
                put_I(room(kIntWidth), kIntWidth, v);
            }
            last_text = false;
            break;
        case Kind::Text:
            for (std::int64_t i = 0; i < r.n; ++i, p += r.size) {
                // A blank before a text that starts a record or follows a number.
                const std::size_t n = static_cast<std::size_t>(r.size);
                bool lead = count == 0 || !last_text;
                if (count > 0 && rec.size() + (lead ? 1 : 0) + n > kRecordWidth) lead = true;
                char* o = room((lead ? 1 : 0) + n);
                if (lead) *o++ = ' ';
                if (n == 1) {
                    *o = *p;  // a lone separator, the usual text between numbers
                } else {
                    std::memcpy(o, p, n);
                }
                last_text = true;
            }
            break;
        }
        return true;
    });
    u.put_record(rec.view());
    u.end_statement();
}

}  // namespace

void write_list(Unit& u, Items items) { write_list_statement(u, items); }

void write_list_rows(Unit& u, std::int64_t n, Items items) {
    // 1. The items of n elements (numbers, not text) give one element to each statement.
    std::vector<Item> row(items.begin(), items.end());
    std::vector<std::size_t> per_row;
    if (n > 1) {
        for (std::size_t k = 0; k < row.size(); ++k) {
            Item& it = row[k];
            Member& m = ItemAccess::member(it, 0);
            if (ItemAccess::iterations(it) == 1 && ItemAccess::members(it) == 1 &&
                m.kind != Kind::Text && m.per_iter == n) {
                m.per_iter = 1;
                per_row.push_back(k);
            }
        }
    }
    // 2. Statement i with element i of each of them.
    const Item* orig = items.begin();
    for (std::int64_t i = 0; i < n; ++i) {
        for (std::size_t k : per_row) {
            const Member& first = ItemAccess::member(orig[k], 0);
            ItemAccess::member(row[k], 0).base = static_cast<const char*>(first.base) + i * element_size(first);
        }
        write_list_statement(u, row);
    }
}

namespace {

class ListReader {
public:
    enum class Tok { Value, Null, Slash };

    ListReader(Unit& u, int unit, std::string_view rec) : u_(u), unit_(unit), rec_(rec) {}

    // The next value of the statement; throws EndOfFile when the file ends first.
    Tok next(std::string_view& tok, bool& quoted) {
        if (repeat_left_ > 0) {
            --repeat_left_;
            if (repeat_null_) return Tok::Null;
            tok = repeat_tok_;
            quoted = repeat_quoted_;
            return Tok::Value;
        }
        char c;
        for (;;) {
            while (pos_ < rec_.size() && is_blank(rec_[pos_])) ++pos_;
            if (pos_ >= rec_.size()) {
                // A record end separates like a blank; a value never continues across it.
                if (!u_.get_record(rec_)) throw EndOfFile{};
                if (u_.record_cut) syntax_error();
                pos_ = 0;
                continue;
            }
            c = rec_[pos_];
            if (c == ',') {
                ++pos_;
                if (after_value_) {  // the separator after a value
                    after_value_ = false;
                    continue;
                }
                return Tok::Null;  // nothing between two commas
            }
            if (c == '/') return Tok::Slash;
            break;
        }
        after_value_ = true;
        // r*c and r*: a count of digits directly followed by '*'.
        std::size_t q = pos_;
        while (q < rec_.size() && rec_[q] >= '0' && rec_[q] <= '9') ++q;
        if (q > pos_ && q < rec_.size() && rec_[q] == '*') {
            std::int64_t r = 0;
            for (std::size_t i = pos_; i < q; ++i) {
                r = r * 10 + (rec_[i] - '0');
                if (r > 2147483647) syntax_error();
            }
            if (r == 0) syntax_error();
            pos_ = q + 1;
            repeat_left_ = r - 1;
            if (pos_ >= rec_.size() || is_blank(rec_[pos_]) || rec_[pos_] == ',' || rec_[pos_] == '/') {
                repeat_null_ = true;
                return Tok::Null;
            }
            repeat_null_ = false;
            value(tok, quoted);
            repeat_tok_ = tok;
            repeat_quoted_ = quoted;
            return Tok::Value;
        }
        value(tok, quoted);
        return Tok::Value;
    }

    [[noreturn]] void syntax_error() { fatal(59, unit_); }

private:
    void value(std::string_view& tok, bool& quoted) {
        const char c = rec_[pos_];
        if (c == '\'' || c == '"') {
            // Delimited text; a doubled delimiter stands for one.
            quoted = true;
            text_.clear();
            ++pos_;
            while (pos_ < rec_.size()) {
                if (rec_[pos_] == c) {
                    if (pos_ + 1 < rec_.size() && rec_[pos_ + 1] == c) {
                        text_.push_back(c);
                        pos_ += 2;
                        continue;
                    }
                    ++pos_;
                    break;
                }
                text_.push_back(rec_[pos_++]);
            }
            tok = text_;
            return;
        }
        quoted = false;
        const std::size_t start = pos_;
        while (pos_ < rec_.size()) {
            const char x = rec_[pos_];
            if (is_blank(x) || x == ',' || x == '/') break;
            ++pos_;
        }
        tok = rec_.substr(start, pos_ - start);
    }

    Unit& u_;
    int unit_;
    std::string_view rec_;
    std::size_t pos_ = 0;
    bool after_value_ = false;
    std::int64_t repeat_left_ = 0;
    bool repeat_null_ = false;
    bool repeat_quoted_ = false;
    std::string_view repeat_tok_;
    std::string text_;
};

}  // namespace

void read_list(Unit& u, int unit, Targets items) {
    std::string_view rec;
    if (!u.get_record(rec)) throw EndOfFile{};
    ListReader lr(u, unit, rec);
    // Values past the record bound would be lost: an over-long line is refused.
    if (u.record_cut) lr.syntax_error();
    for_each_run(items, [&](const Run& r) {
        char* p = r.p;
        for (std::int64_t i = 0; i < r.n; ++i, p += r.size) {
            std::string_view tok;
            bool quoted = false;
            const ListReader::Tok t = lr.next(tok, quoted);
            if (t == ListReader::Tok::Slash) return false;  // the remaining items keep their values
            if (t == ListReader::Tok::Null) continue;
            switch (r.kind) {
            case Kind::Real8: {
                double v;
                if (quoted || !get_list_real(tok, v)) lr.syntax_error();
                std::memcpy(p, &v, 8);
                break;
            }
            case Kind::Real4: {
                float v;
                if (quoted || !get_list_real4(tok, v)) lr.syntax_error();
                std::memcpy(p, &v, 4);
                break;
            }
            case Kind::Int4: {
                std::int32_t v;
                if (quoted || !get_list_int(tok, v)) lr.syntax_error();
                std::memcpy(p, &v, 4);
                break;
            }
            case Kind::Text: {
                const std::size_t n = static_cast<std::size_t>(r.size);
                const std::size_t k = tok.size() < n ? tok.size() : n;
                std::memcpy(p, tok.data(), k);
                std::memset(p + k, ' ', n - k);
                break;
            }
            }
        }
        return true;
    });
}

}  // namespace rio::detail
