// Internals shared by the record formatter, the unit table and the program ends.
#pragma once

#include "recordio/recordio.hpp"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace rio::detail {

// ---------------------------------------------------------------------------------------
// Walking the elements of a transfer list
// ---------------------------------------------------------------------------------------
// The members of an item, for the walk below and for write_rows.
struct ItemAccess {
    static std::int64_t iterations(const ItemBase& it) { return it.iterations_; }
    static int members(const ItemBase& it) { return it.nmembers_; }
    static const Member& member(const ItemBase& it, int k) { return it.m_[k]; }
    static Member& member(ItemBase& it, int k) { return it.m_[k]; }
};

// A run is a stretch of consecutive elements of one kind: one member of one loop pass.
struct Run {
    Kind kind;
    char* p;
    std::int64_t n;
    std::int32_t size;  // bytes per element
};

inline std::int32_t element_size(const Member& m) {
    switch (m.kind) {
    case Kind::Int4: return 4;
    case Kind::Real4: return 4;
    case Kind::Real8: return 8;
    case Kind::Text: return m.len;
    }
    return 0;
}

// First byte of a member's elements. Only a Target's members are stored into, and a Target is
// made from references and arrays that may change; an Item's are only read.
inline char* run_start(const Member& m) { return const_cast<char*>(static_cast<const char*>(m.base)); }

// Calls f(run) for every run of the list in transfer order; stops early when f returns false.
// Returns false when stopped early.
template <class R, class F>
bool for_each_run(const R& items, F&& f) {
    for (const ItemBase& it : items) {
        const std::int64_t iterations = ItemAccess::iterations(it);
        const int members = ItemAccess::members(it);
        if (iterations == 1 && members == 1) {
            // A scalar or an array, the usual item: one run, no loop arithmetic.
            const Member& m = ItemAccess::member(it, 0);
            if (m.per_iter > 0 && !f(Run{m.kind, run_start(m), m.per_iter, element_size(m)}))
                return false;
            continue;
        }
        for (std::int64_t i = 0; i < iterations; ++i) {
            for (int k = 0; k < members; ++k) {
                const Member& m = ItemAccess::member(it, k);
                if (m.per_iter <= 0) continue;
                const std::int32_t size = element_size(m);
                Run r{m.kind, run_start(m) + i * m.stride * size, m.per_iter, size};
                if (!f(r)) return false;
            }
        }
    }
    return true;
}

// Total bytes of a list in unformatted form.
template <class R>
std::int64_t unformatted_bytes(const R& items) {
    std::int64_t total = 0;
    for (const ItemBase& it : items) {
        std::int64_t per_pass = 0;
        for (int k = 0; k < ItemAccess::members(it); ++k) {
            const Member& m = ItemAccess::member(it, k);
            if (m.per_iter > 0) per_pass += m.per_iter * element_size(m);
        }
        total += ItemAccess::iterations(it) * per_pass;
    }
    return total;
}
// Most data bytes in one sub-record of an unformatted record (2^31 - 9); a longer record is
// written as a chain of sub-records. Lowered only by tests, to show chains on small records.
std::int64_t& subrecord_limit();

// A record under construction: bytes [0, size()) are set. It grows without clearing what it
// hands out, and keeps its storage from one statement to the next.
class RecordBuffer {
public:
    char* data() { return b_.data(); }
    std::size_t size() const { return len_; }
    std::string_view view() const { return {b_.data(), len_}; }
    void clear() { len_ = 0; }
    // n more bytes at the end, left for the caller to set.
    char* extend(std::size_t n) {
        if (len_ + n > b_.size()) b_.resize(len_ + n > 2 * b_.size() ? len_ + n : 2 * b_.size());
        char* p = b_.data() + len_;
        len_ += n;
        return p;
    }

private:
    std::vector<char> b_ = std::vector<char>(256);
    std::size_t len_ = 0;
};

// ---------------------------------------------------------------------------------------
// Parsed formats
// ---------------------------------------------------------------------------------------
enum class Op : std::uint8_t { I, F, E, A, X, P, Lit, Slash, GroupBegin, GroupEnd, End };

struct Desc {
    Op op;
    std::int32_t w = 0;    // I/F/E/A width (A: -1 = item length); X columns; P factor; Slash count
    std::int32_t d = 0;    // digits after the point (F, E)
    std::int32_t rep = 1;  // repeat count of a data descriptor or a group
    std::int32_t lit_off = 0, lit_len = 0;  // literal text in Format::text
    std::int32_t other = 0;                 // GroupEnd: index of its GroupBegin
};

struct Format {
    std::string text;  // literal texts, doubled apostrophes already folded
    std::vector<Desc> ops;
    int revert = 0;  // where processing resumes after the final parenthesis
    bool has_data = false;
};

// The parsed form of a format text, from the cache; a malformed text is a fatal error on `unit`.
const Format& get_format(std::string_view text, int unit);
// Parses a format text; returns false with a message when malformed.
bool parse_format(std::string_view text, Format& out, std::string& error);

// ---------------------------------------------------------------------------------------
// Field conversion (output)
// ---------------------------------------------------------------------------------------
// Each writes exactly w characters at out and returns false when the field is asterisks.
bool put_I(char* out, int w, std::int64_t v);
bool put_F(char* out, int w, int d, int scale, double v);
bool put_E(char* out, int w, int d, int scale, double v);
// List-directed real form: w columns, d significant digits, e exponent digits.
void put_list_real(char* out, int w, int d, int e, double v, bool single);
// Right-justifies a non-finite value; false (asterisks) when too narrow.
bool put_nonfinite(char* out, int w, double v);

// ---------------------------------------------------------------------------------------
// Field conversion (input)
// ---------------------------------------------------------------------------------------
// Fixed-column fields: blanks ignored, all-blank reads 0. False on a stray character or an
// integer beyond 32 bits.
bool get_I(std::string_view field, std::int32_t& v);
// `d` digits of fraction when the mantissa has no point; `scale` applies without exponent.
bool get_real(std::string_view field, int d, int scale, double& v);
bool get_real4(std::string_view field, int d, int scale, float& v);
// List-directed values (no blanks inside).
bool get_list_int(std::string_view tok, std::int32_t& v);
bool get_list_real(std::string_view tok, double& v);
bool get_list_real4(std::string_view tok, float& v);

// ---------------------------------------------------------------------------------------
// Units
// ---------------------------------------------------------------------------------------
class Unit {
public:
    int number = 0;
    std::string name;
    int fd = -1;
    bool console = false;
    bool regular = true;  // a regular file: positioned and truncated (not a device or pipe)
    std::uint64_t device = 0, inode = 0;  // which file a regular file is
    bool readable = true;
    bool writable = true;
    Form form = Form::Formatted;
    std::int64_t records_read = 0;  // formatted records read since the open or last rewind
    bool written = false;           // anything written or cut through the unit since its open
    // A FIFO not opened yet: its open waits for the first transfer, whose direction it takes.
    bool fifo_pending = false;

    // Formatted records. get_record returns false at the end of the file; the view stays
    // valid until the next call on the unit. A line longer than the record bound gives its
    // first part as the record (record_cut set); the next call passes over the rest, and fails
    // with error 39 when the rest goes on beyond 256 MB.
    bool get_record(std::string_view& rec);
    bool record_cut = false;
    // File whose lines the records of this unit copy one for one ("" when none): a working
    // copy made line by line, whose record n is line n of that file.
    std::string copy_of;
    // The line that locates fatal read error `error` (24, 39, 59, 64, 67) at the unit's last
    // record: the record number, the record as read and whether it was cut; "" when there is
    // nothing to say.
    std::string locate(int error) const;
    // Output: append bytes; end_statement flushes console streams.
    void put(const char* p, std::size_t n);
    // rec + CR LF; inline for the common case of room in the buffer (one call per record).
    void put_record(std::string_view rec) {
        const std::size_t n = rec.size();
        if (wlen_ + n + 2 <= wbuf_.size()) {
            char* o = wbuf_.data() + wlen_;
            std::memcpy(o, rec.data(), n);
            o[n] = '\r';
            o[n + 1] = '\n';
            wlen_ += n + 2;
            return;
        }
        put_record_slow(rec);
    }
    void end_statement();
    // Unformatted bytes: reads up to n, returns the count read.
    std::size_t get_bytes(void* dst, std::size_t n);
    void skip_bytes(std::int64_t n);

    void begin_write();  // positions for writing: the file ends after what is written next
    void begin_read();
    void rewind();
    void flush();        // a failing write is fatal error 38
    bool flush_quiet();  // false when the write failed (at the end of a run)
    // False when close(2) failed on a file written through the unit: a file system that
    // writes back at close (network, quotas) may report there that records were lost.
    bool close_fd();

private:
    enum class Mode { Idle, Reading, Writing };
    Mode mode_ = Mode::Idle;
    std::vector<char> wbuf_;  // sized once at the first write; wlen_ bytes are in use
    std::size_t wlen_ = 0;
    std::vector<char> rbuf_;
    std::size_t rpos_ = 0, rend_ = 0;
    std::int64_t fd_off_ = 0;  // offset of the descriptor's file position
    bool eof_ = false;
    // The end a last record read lacked when the file ended without its line feed ("\r\n", or
    // "\n" after a carriage return; null otherwise). A write at that position supplies it first.
    const char* open_tail_ = nullptr;
    // The last record handed out: a view into rbuf_ (last_in_buffer_) until the buffer moves
    // on, then into kept_, which holds its first columns.
    std::string_view last_record_;
    std::string kept_;
    bool last_in_buffer_ = false;
    bool last_cut_ = false;      // the last record is the first part of a longer line
    bool read_failed_ = false;   // the system refused a read after the last record
    void keep_last_record();
    void hand_out(std::string_view rec, bool cut);  // counts a record read and keeps it in view
    void open_fifo(bool for_reading);
    bool fill();  // more input; false at end of file
    bool skip_line();  // past the next line feed; false at end of file; error 39 past 256 MB
    bool write_all(const char* p, std::size_t n);
    void put_record_slow(std::string_view rec);
};

// The close(2) of the unit table; tests put in one that fails as such a file system does.
using CloseCall = int (*)(int);
CloseCall& close_call();

enum class Access { Read, Write };
// The unit for a statement, connecting "fort.N" on first use.
Unit& unit_for(int number, Form form, Access access);
// The console streams.
Unit& console_out();
Unit& console_err();

// ---------------------------------------------------------------------------------------
// Program ends and messages
// ---------------------------------------------------------------------------------------
[[noreturn]] void fatal_named(int number, int unit, const std::string& file);
// The line locating fatal read error `error` on `unit` (a formatted unit or the console);
// "" when the error is not one of a record read.
std::string locate_read_error(int error, int unit);
// Writes "<program>: <level> (N): <text>" on standard error.
void report_line(const char* level, int number, int unit, const std::string& file);
// Closes every unit; 38 when a buffered record could not be written, else 0.
int close_all_status();
void warn_output_conversion(int unit);
[[noreturn]] void format_error(int unit, std::string_view text, const std::string& why);

// Thrown inside the read engines when the end of the file is met.
struct EndOfFile {};

// While above 0, the read errors 39, 59 and 64 throw ReadError instead of ending the program.
int& quiet_read_errors();
struct ReadError {};

}  // namespace rio::detail
