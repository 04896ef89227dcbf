// Record formatter, unit table, unformatted record files and stop codes shared by the
// solver, the converter and the history program.
//
// A transfer statement names a unit, a format ("(I5,F10.3)" or "*" for list-directed) and a
// list of items. Items are references to scalars, arrays in storage order, or implied loops
// that interleave several arrays (X(i), Y(i), Z(i) for i = 1..N) without copying them: an Item
// for what a write takes, a Target for what a read stores into.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

namespace rio {

// ---------------------------------------------------------------------------------------
// Items and targets
// ---------------------------------------------------------------------------------------
enum class Kind : std::uint8_t { Int4, Real4, Real8, Text };

// One member of an item: `per_iter` consecutive elements starting at base + i*stride
// (in elements) for loop iteration i. Text elements are `len` bytes, blank padded.
struct Member {
    Kind kind;
    const void* base;
    std::int64_t per_iter;
    std::int64_t stride;
    std::int32_t len;  // Text: bytes per element
};

// A loop member: `count` elements of `arr` taken per iteration, the next iteration
// starting `stride` elements further on.  Strided(NOD, 8, 8) walks NOD(1..8, i).
template <class T>
struct Strided {
    T* base;
    std::int64_t per_iter;
    std::int64_t stride;
};

namespace detail {
struct ItemAccess;
// Whether a loop member (a pointer or a Strided) lets a read store into its elements.
template <class M>
inline constexpr bool kWritable = false;
template <class T>
inline constexpr bool kWritable<T*> = !std::is_const_v<T>;
template <class T>
inline constexpr bool kWritable<Strided<T>> = !std::is_const_v<T>;
}  // namespace detail

// An item of a transfer list: `iterations` passes over its members, each pass taking the
// members in order.  A scalar or an array is one member with one iteration.  Made only as an
// Item (written) or a Target (read into).
class ItemBase {
public:
    static constexpr int kMaxMembers = 6;

protected:
    ItemBase() = default;
    // One member: the constructors and loops below add at most kMaxMembers.
    void add(Kind k, const void* p, std::int64_t per, std::int64_t stride, std::int32_t len) {
        m_[nmembers_++] = Member{k, p, per, stride, len};
    }
    template <class... Ms>
        requires(sizeof...(Ms) <= kMaxMembers)
    void add_loop(std::int64_t n, Ms... ms) {
        iterations_ = n < 0 ? 0 : n;
        (add_member(ms), ...);
    }

private:
    friend struct detail::ItemAccess;
    static Kind kind_of(const std::int32_t*) { return Kind::Int4; }
    static Kind kind_of(const float*) { return Kind::Real4; }
    static Kind kind_of(const double*) { return Kind::Real8; }
    template <class T>
    void add_member(T* p) { add(kind_of(p), p, 1, 1, 0); }
    template <class T>
    void add_member(Strided<T> s) { add(kind_of(s.base), s.base, s.per_iter, s.stride, 0); }

    std::int64_t iterations_ = 1;
    int nmembers_ = 0;
    Member m_[kMaxMembers];
};

// An item written: a value, a constant or a temporary, a text, an array; a write only reads
// through it.
class Item : public ItemBase {
public:
    Item(const std::int32_t& v) { add(Kind::Int4, &v, 1, 1, 0); }
    Item(const float& v) { add(Kind::Real4, &v, 1, 1, 0); }
    Item(const double& v) { add(Kind::Real8, &v, 1, 1, 0); }
    Item(std::string_view s) { add(Kind::Text, s.data(), 1, 1, static_cast<std::int32_t>(s.size())); }
    Item(const char* s) : Item(std::string_view(s)) {}
    Item(const std::string& s) : Item(std::string_view(s)) {}
    // Arrays in storage order.
    Item(std::span<const std::int32_t> a) { add(Kind::Int4, a.data(), static_cast<std::int64_t>(a.size()), 0, 0); }
    Item(std::span<std::int32_t> a) : Item(std::span<const std::int32_t>(a)) {}
    Item(std::span<const double> a) { add(Kind::Real8, a.data(), static_cast<std::int64_t>(a.size()), 0, 0); }
    Item(std::span<double> a) : Item(std::span<const double>(a)) {}
    Item(std::span<const float> a) { add(Kind::Real4, a.data(), static_cast<std::int64_t>(a.size()), 0, 0); }
    Item(std::span<float> a) : Item(std::span<const float>(a)) {}

    // A CHARACTER*len array held in one string of s.size() / len elements, such as an
    // 80-character title written as (20A4).
    static Item words(const std::string& s, std::int32_t len) {
        Item it;
        it.add(Kind::Text, s.data(), static_cast<std::int64_t>(s.size()) / len, 0, len);
        return it;
    }
    // Implied loop: for i = 0..n-1, each member's elements of iteration i in turn. Members are
    // given as Strided<T> or as plain pointers (one element per iteration), 1 to kMaxMembers.
    template <class... Ms>
        requires(sizeof...(Ms) >= 1 && sizeof...(Ms) <= kMaxMembers)
    static Item loop(std::int64_t n, Ms... ms) {
        Item it;
        it.add_loop(n, ms...);
        return it;
    }

private:
    Item() = default;
};

// An item read into: a variable, an array or a string that the read may change. Nothing
// constant converts to it, so a read into a constant or a temporary does not compile.
class Target : public ItemBase {
public:
    Target(std::int32_t& v) { add(Kind::Int4, &v, 1, 1, 0); }
    Target(float& v) { add(Kind::Real4, &v, 1, 1, 0); }
    Target(double& v) { add(Kind::Real8, &v, 1, 1, 0); }
    // CHARACTER*n: the string's size is n.  Reading never changes the size.
    Target(std::string& s) { add(Kind::Text, s.data(), 1, 1, static_cast<std::int32_t>(s.size())); }
    // Arrays in storage order.
    Target(std::span<std::int32_t> a) { add(Kind::Int4, a.data(), static_cast<std::int64_t>(a.size()), 0, 0); }
    Target(std::span<double> a) { add(Kind::Real8, a.data(), static_cast<std::int64_t>(a.size()), 0, 0); }
    Target(std::span<float> a) { add(Kind::Real4, a.data(), static_cast<std::int64_t>(a.size()), 0, 0); }

    // A CHARACTER*len array held in one string of s.size() / len elements, such as an
    // 80-character title read as (20A4).
    static Target words(std::string& s, std::int32_t len) {
        Target it;
        it.add(Kind::Text, s.data(), static_cast<std::int64_t>(s.size()) / len, 0, len);
        return it;
    }
    // Implied loop as Item::loop, over arrays that may change.
    template <class... Ms>
        requires(sizeof...(Ms) >= 1 && sizeof...(Ms) <= kMaxMembers && (detail::kWritable<Ms> && ...))
    static Target loop(std::int64_t n, Ms... ms) {
        Target it;
        it.add_loop(n, ms...);
        return it;
    }

private:
    Target() = default;
};

// The items of a write and of a read.
using Items = std::initializer_list<Item>;
using Targets = std::initializer_list<Target>;

// ---------------------------------------------------------------------------------------
// Units
// ---------------------------------------------------------------------------------------
// Console units: -1 standard output, -4 standard input, 0 standard error; 5 and 6 are the
// console until opened by name. Any other unit used unopened connects to "fort.N".
inline constexpr int kConsoleOut = -1;
inline constexpr int kConsoleIn = -4;
inline constexpr int kStdErr = 0;

// Replace: like Unknown, and an existing file is emptied when opened.
enum class Status { Old, Unknown, Replace };
enum class Form { Formatted, Unformatted };

// Opens `unit` on `name` (trailing blanks dropped). A blank name asks for one on the
// console. Old: the file must exist (error 29). Positioned at the start of the file.
void open(int unit, std::string_view name, Status status, Form form);
void rewind(int unit);
void close(int unit);
// Closes `unit` and keeps its file counted as connected, under whatever name or link, for the
// rest of the run: every later open of it is error 30, and refuse_connected() finds it. For an
// input read whole and closed early, such as a table, that no output of the run may replace.
void close_guarded(int unit);
// Ends the file of a connected unit at its position: what followed is gone (a unit just
// opened or rewound is emptied).
void endfile(int unit);
// Writes the buffered records of a connected unit to its file now; a failing write is
// fatal error 38.
void flush(int unit);
// Error 30 on `unit` when the file `name` is connected to another unit, under whatever name or
// link, as an open of it would find; nothing is opened or created. For a program that must
// find such a clash before it writes anything.
void refuse_connected(int unit, std::string_view name);
// File name of a connected unit ("" when not connected); for messages and tests.
std::string unit_name(int unit);
// Declares the records of `unit` to be, one for one, the lines of the file `source` (a working
// copy made from it line by line), so that a fatal read error on `unit` also names the line of
// `source` it came from.
void set_copy_of(int unit, std::string_view source);
// Number of the last record read on a unit opened by name since its open or rewind (0 before
// the first); for messages naming the record of a refused value.
std::int64_t record_number(int unit);

// ---------------------------------------------------------------------------------------
// Transfers
// ---------------------------------------------------------------------------------------
// List-directed records: a number of kind K takes a field of kListFieldWidth<K> columns, and a
// record holds as many whole fields as fit in kListRecordWidth columns. A reader that names the
// record of a value counts with these, as the writer lays them out.
inline constexpr int kListRecordWidth = 80;
template <Kind K>
    requires(K != Kind::Text)
inline constexpr int kListFieldWidth = K == Kind::Real8 ? 24 : K == Kind::Real4 ? 15 : 12;
// Record of value `k` (0 for the first) of a list-directed statement of numbers of kind K,
// counted from 0 for the statement's first record.
template <Kind K>
    requires(K != Kind::Text)
constexpr std::int64_t list_record_of(std::int64_t k) {
    return k / (kListRecordWidth / kListFieldWidth<K>);
}

// Formatted or list-directed ("*") write of one statement.
void write(int unit, std::string_view format, Items items);
inline void write(int unit, std::string_view format) { write(unit, format, Items{}); }
// n list-directed statements in one call, as n write(unit, "*", ...) would write them:
// statement i takes element i of each numeric array item of n elements, and the whole of
// every other item (a scalar, a text).
void write_rows(int unit, std::int64_t n, Items items);

// Formatted or list-directed read. Without an end-of-file branch, the end of the file is
// the fatal error 24. read_or_end() is the statement with the branch: it returns false when
// the end of the file was met (targets already read keep their new values).
void read(int unit, std::string_view format, Targets items);
[[nodiscard]] bool read_or_end(int unit, std::string_view format, Targets items);
// The statement with an end-of-file and an error branch: a record or value it cannot read
// (errors 39, 59, 64) ends the statement instead of the program, and nothing is written on
// standard error. Targets already read keep their new values.
enum class ReadOutcome { Read, End, Error };
[[nodiscard]] ReadOutcome read_or_error(int unit, std::string_view format, Targets items);

// Unformatted record: all items of the statement in one record. A record of more than
// 2147483639 bytes is a chain of sub-records, as Fortran run-time libraries write it; reading
// takes such chains whatever the size of their pieces.
void write_unf(int unit, Items items);
void read_unf(int unit, Targets items);
[[nodiscard]] bool read_unf_or_end(int unit, Targets items);

// ---------------------------------------------------------------------------------------
// Program ends
// ---------------------------------------------------------------------------------------
// Thrown by every end of a program below main; main catches it through run_program().
struct ProgramEnd {
    int status;
};

// Stop with a code: the digits on standard error, all units closed, exit status `code`.
[[noreturn]] void stop(int code);
// Plain stop: nothing written, exit status 0.
[[noreturn]] void stop();
// Fatal I/O error `number` (24, 29, 30, 38, 39, 41, 43, 59, 64, 67) on `unit`.
[[noreturn]] void fatal(int number, int unit);

// Runs a program's main routine: sets flush-to-zero and denormals-are-zero first, names
// the program for the fatal-error line, catches every end, flushes and closes all units,
// and returns the exit status for main to return.
int run_program(const char* program_name, void (*body)());

// Sets flush-to-zero and denormals-are-zero (done by run_program).
void set_float_mode();

// Closes every unit with its records written (done by run_program at every end).
void close_all();

}  // namespace rio
