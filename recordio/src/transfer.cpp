// Transfer statements: formatted and list-directed text records, and unformatted records
// framed by their 4-byte little-endian length before and after the data (records too long for
// one such frame as a chain of sub-records).
#include "transfer.hpp"

#include <algorithm>
#include <bit>
#include <cstring>

namespace rio::detail {

std::int64_t& subrecord_limit() {
    // The most data bytes a 4-byte length field frames in the convention of Fortran run-time
    // libraries: 2^31 - 1 less the 8 bytes of the two fields.
    static std::int64_t limit = 2147483639;
    return limit;
}

namespace {

bool is_list_directed(std::string_view format) { return format.size() == 1 && format[0] == '*'; }

bool read_text(int unit, std::string_view format, Targets items) {
    try {
        if (is_list_directed(format)) {
            read_list(unit_for(unit, Form::Formatted, Access::Read), unit, items);
        } else {
            const Format& f = get_format(format, unit);
            read_formatted(unit_for(unit, Form::Formatted, Access::Read), unit, f, items);
        }
    } catch (const EndOfFile&) {
        return false;
    }
    return true;
}

std::int32_t length_field(std::int32_t v) {
    if constexpr (std::endian::native == std::endian::big) v = static_cast<std::int32_t>(__builtin_bswap32(static_cast<std::uint32_t>(v)));
    return v;
}

// One unformatted record as a chain of sub-records. A record of more data bytes than one
// sub-record holds goes out in pieces of at most subrecord_limit() bytes, each between its two
// length fields: the leading field negative when the record continues in the next piece, the
// trailing field negative when the piece continues an earlier one. A record that fits in one
// piece has both fields positive, the plain framing.
class SubrecordWriter {
public:
    SubrecordWriter(Unit& u, std::int64_t total) : u_(u), left_(total) { start(); }
    void put(const char* p, std::int64_t bytes) {
        while (bytes > 0) {
            if (in_piece_ == 0) {
                end();
                start();
            }
            const std::int64_t k = std::min(bytes, in_piece_);
            u_.put(p, static_cast<std::size_t>(k));
            p += k;
            bytes -= k;
            in_piece_ -= k;
        }
    }
    void finish() { end(); }

private:
    void start() {
        len_ = static_cast<std::int32_t>(std::min(left_, subrecord_limit()));
        left_ -= len_;
        put_length(left_ > 0 ? -len_ : len_);
        in_piece_ = len_;
    }
    void end() {
        put_length(first_ ? len_ : -len_);
        first_ = false;
    }
    void put_length(std::int32_t v) {
        const std::int32_t field = length_field(v);
        u_.put(reinterpret_cast<const char*>(&field), 4);
    }
    Unit& u_;
    std::int64_t left_;         // record bytes not yet given to a piece
    std::int64_t in_piece_ = 0; // bytes still to come in the piece in hand
    std::int32_t len_ = 0;      // data bytes of the piece in hand
    bool first_ = true;
};

// Reads one record, a single piece or a chain of them whatever their sizes, as any writer of
// this framing left it. Each piece's trailing field must match its leading one (error 39), as
// must the end of the file not fall inside the chain.
class SubrecordReader {
public:
    SubrecordReader(Unit& u, int unit) : u_(u), unit_(unit) {}
    // False at the end of the file before the record.
    bool begin() {
        std::int32_t head;
        const std::size_t got = u_.get_bytes(&head, 4);
        if (got == 0) return false;
        if (got < 4) fatal(39, unit_);
        set_head(length_field(head));
        return true;
    }
    // Data bytes of the whole record when it is one piece; -1 for a chain.
    std::int64_t known_length() const { return more_ ? -1 : left_; }
    void take(char* p, std::int64_t bytes) {
        while (bytes > 0) {
            if (left_ == 0) {
                if (!more_) fatal(67, unit_);
                next();
                continue;
            }
            const std::int64_t k = std::min(bytes, left_);
            if (u_.get_bytes(p, static_cast<std::size_t>(k)) < static_cast<std::size_t>(k)) fatal(39, unit_);
            p += k;
            bytes -= k;
            left_ -= k;
        }
    }
    // Passes over what the items did not take, to the end of the last piece.
    void finish() {
        for (;;) {
            if (left_ > 0) u_.skip_bytes(left_);
            left_ = 0;
            if (!more_) break;
            next();
        }
        end();
    }

private:
    void set_head(std::int32_t head) {
        more_ = head < 0;
        len_ = more_ ? -static_cast<std::int64_t>(head) : head;
        left_ = len_;
    }
    void end() {
        std::int32_t tail;
        if (u_.get_bytes(&tail, 4) < 4) fatal(39, unit_);
        if (static_cast<std::int64_t>(length_field(tail)) != (first_ ? len_ : -len_)) fatal(39, unit_);
        first_ = false;
    }
    void next() {
        end();
        std::int32_t head;
        if (u_.get_bytes(&head, 4) < 4) fatal(39, unit_);
        set_head(length_field(head));
    }
    Unit& u_;
    int unit_;
    std::int64_t len_ = 0;   // data bytes of the piece in hand
    std::int64_t left_ = 0;  // of them not yet read
    bool more_ = false;      // the record goes on in a next piece
    bool first_ = true;
};

bool read_record(int unit, Targets items) {
    Unit& u = unit_for(unit, Form::Unformatted, Access::Read);
    SubrecordReader rec(u, unit);
    if (!rec.begin()) return false;  // end of the file before the record
    // A record of one piece is known to be too short before anything is read.
    const std::int64_t n = rec.known_length();
    if (n >= 0 && unformatted_bytes(items) > n) fatal(67, unit);
    for_each_run(items, [&](const Run& r) {
        rec.take(r.p, r.n * r.size);
        return true;
    });
    // What the items do not take stays unread; the next read starts at the next record.
    rec.finish();
    return true;
}

}  // namespace

}  // namespace rio::detail

namespace rio {

using namespace detail;

void write(int unit, std::string_view format, Items items) {
    if (is_list_directed(format)) {
        write_list(unit_for(unit, Form::Formatted, Access::Write), items);
        return;
    }
    const Format& f = get_format(format, unit);
    write_formatted(unit_for(unit, Form::Formatted, Access::Write), unit, f, items);
}

void write_rows(int unit, std::int64_t n, Items items) {
    write_list_rows(unit_for(unit, Form::Formatted, Access::Write), n, items);
}

void read(int unit, std::string_view format, Targets items) {
    if (!read_text(unit, format, items)) fatal(24, unit);
}

bool read_or_end(int unit, std::string_view format, Targets items) { return read_text(unit, format, items); }

ReadOutcome read_or_error(int unit, std::string_view format, Targets items) {
    struct Quiet {
        Quiet() { ++quiet_read_errors(); }
        ~Quiet() { --quiet_read_errors(); }
    } quiet;
    try {
        return read_text(unit, format, items) ? ReadOutcome::Read : ReadOutcome::End;
    } catch (const ReadError&) {
        return ReadOutcome::Error;
    }
}

void write_unf(int unit, Items items) {
    Unit& u = unit_for(unit, Form::Unformatted, Access::Write);
    const std::int64_t n = unformatted_bytes(items);
    u.begin_write();
    SubrecordWriter rec(u, n);
    for_each_run(items, [&](const Run& r) {
        rec.put(r.p, r.n * r.size);
        return true;
    });
    rec.finish();
    u.end_statement();
}

void read_unf(int unit, Targets items) {
    if (!read_record(unit, items)) fatal(24, unit);
}

bool read_unf_or_end(int unit, Targets items) { return read_record(unit, items); }

}  // namespace rio
