// Unit table: console units, files opened by name or by default as "fort.N", buffered
// reading and writing with the file ending after the records written since the last
// positioning.
#include "internal.hpp"

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <utility>

namespace rio::detail {

namespace {

constexpr std::size_t kBufSize = 1 << 16;
// Longest record kept of an input line: no record of the system comes near it, and a line
// without a line feed (a file of gigabytes, a binary file) must not be held whole.
constexpr std::size_t kMaxRecord = 1 << 20;
// Longest rest of a line passed over after its record: far above any record of the system, so
// that no input (a device such as /dev/zero, a file without line feeds) keeps a read skipping
// one line without end. Beyond it the read fails with error 39.
constexpr std::size_t kMaxSkip = std::size_t{1} << 28;
// Columns of a record shown in the line that locates a fatal read error: a whole model line
// (90 columns) fits.
constexpr std::size_t kShownColumns = 100;

// The part of a record worth showing: without its trailing blanks, and at most one column
// more than is shown, so that a longer record can be marked as such.
std::string_view shown_part(std::string_view rec) {
    std::size_t n = rec.size();
    while (n > 0 && rec[n - 1] == ' ') --n;
    return rec.substr(0, std::min(n, kShownColumns + 1));
}

Unit make_console(int fd, const char* name, bool readable) {
    Unit u;
    u.number = fd == 0 ? kConsoleIn : fd == 1 ? kConsoleOut : kStdErr;
    u.name = name;
    u.fd = fd;
    u.console = true;
    u.readable = readable;
    u.writable = !readable;
    return u;
}

Unit& console_in() {
    static Unit u = make_console(0, "stdin", true);
    return u;
}

struct Table {
    std::unordered_map<int, std::unique_ptr<Unit>> files;
    // (device, inode) of inputs closed with close_guarded: still counted as connected.
    std::vector<std::pair<std::uint64_t, std::uint64_t>> guarded;
    int last_number = 0;
    Unit* last = nullptr;  // the unit of the last file lookup
};

Table& table() {
    static Table t;
    return t;
}

Unit* find_file(int number) {
    Table& t = table();
    if (t.last && t.last_number == number) return t.last;
    auto it = t.files.find(number);
    if (it == t.files.end()) return nullptr;
    t.last_number = number;
    t.last = it->second.get();
    return t.last;
}

bool is_console_number(int number) {
    return number == kConsoleOut || number == kConsoleIn || number == kStdErr || number == 5 || number == 6;
}

Unit& console_for(int number, Access access) {
    if (number == kStdErr && access == Access::Write) return console_err();
    return access == Access::Read ? console_in() : console_out();
}

std::string trim(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\0')) --e;
    return std::string(s.substr(b, e - b));
}

// Opens `name` for reading and writing (read-only when the file allows no more).
// Returns the descriptor, or -1 after calling the fatal error that fits.
int open_file(int number, const std::string& name, bool create, bool must_exist) {
    if (name.empty() || name.find('\0') != std::string::npos) fatal_named(43, number, name);
    int fd;
    do {
        fd = ::open(name.c_str(), O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EISDIR)) {
        const int first = errno;
        fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) errno = first;
    }
    if (fd < 0) {
        const int err = errno;
        if (err == ENOENT && must_exist) fatal_named(29, number, name);
        if (err == ENAMETOOLONG || err == EINVAL || err == EILSEQ) fatal_named(43, number, name);
        fatal_named(30, number, name);
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        fatal_named(30, number, name);
    }
    return fd;
}

// True when a regular file (device, inode) is connected to a unit other than `number`, or is
// an input read and closed early that the program guards.
bool connected_elsewhere(int number, std::uint64_t device, std::uint64_t inode) {
    for (const auto& [n, other] : table().files) {
        if (n != number && other->regular && other->device == device && other->inode == inode)
            return true;
    }
    for (const auto& [d, i] : table().guarded) {
        if (d == device && i == inode) return true;
    }
    return false;
}

Unit& connect(int number, const std::string& name, Form form, bool create, bool must_exist) {
    auto u = std::make_unique<Unit>();
    u->number = number;
    u->name = name;
    u->form = form;
    struct stat st {};
    // A FIFO is opened by the first transfer on it (Unit::open_fifo).
    u->fifo_pending = !name.empty() && name.find('\0') == std::string::npos &&
                      ::stat(name.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
    if (u->fifo_pending) {
        u->regular = false;
    } else {
        const int fd = open_file(number, name, create, must_exist);
        u->fd = fd;
        u->writable = (::fcntl(fd, F_GETFL) & O_ACCMODE) == O_RDWR;
        u->regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    }
    Table& t = table();
    if (u->regular) {
        // A file already connected to another unit, under whatever name: writing through
        // one unit would cut or overwrite what the other reads.
        u->device = static_cast<std::uint64_t>(st.st_dev);
        u->inode = static_cast<std::uint64_t>(st.st_ino);
        if (connected_elsewhere(number, u->device, u->inode)) {
            ::close(u->fd);
            fatal_named(30, number, name);
        }
    }
    Unit& ref = *u;
    t.files[number] = std::move(u);
    t.last = &ref;
    t.last_number = number;
    return ref;
}

}  // namespace

Unit& console_out() {
    static Unit u = make_console(1, "stdout", false);
    return u;
}

Unit& console_err() {
    static Unit u = make_console(2, "stderr", false);
    return u;
}

Unit& unit_for(int number, Form form, Access access) {
    if (Unit* u = find_file(number)) return *u;
    if (is_console_number(number)) return console_for(number, access);
    // First use of an unopened unit: "fort.N" in the current directory, with the form of
    // this statement. Reading needs the file to exist.
    const std::string name = "fort." + std::to_string(number);
    return connect(number, name, form, access == Access::Write, true);
}

// ---------------------------------------------------------------------------------------
// Buffered transfer
// ---------------------------------------------------------------------------------------
bool Unit::write_all(const char* p, std::size_t n) {
    while (n > 0) {
        const ssize_t k = ::write(fd, p, n);
        if (k < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += k;
        n -= static_cast<std::size_t>(k);
        fd_off_ += k;
    }
    return true;
}

bool Unit::flush_quiet() {
    if (wlen_ == 0) return true;
    const bool ok = write_all(wbuf_.data(), wlen_);
    wlen_ = 0;
    return ok;
}

void Unit::flush() {
    if (!flush_quiet()) fatal_named(38, number, name);
}

// Opens a FIFO in the direction of its first transfer. Read-only for reading, so that the
// writer's close is the end of the file: a descriptor that could write would keep the FIFO open
// for ever. The open waits for a writer to come, as any reader of a FIFO does; a signal that
// ends the run ends the wait. For writing read-write, as any other file, so that the open does
// not wait for a reader.
void Unit::open_fifo(bool for_reading) {
    fifo_pending = false;
    do {
        fd = ::open(name.c_str(), (for_reading ? O_RDONLY : O_RDWR) | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) fatal_named(30, number, name);
    writable = !for_reading;
}

void Unit::begin_write() {
    if (mode_ == Mode::Writing) return;
    if (fifo_pending) open_fifo(false);
    if (!writable) fatal_named(38, number, name);
    written = true;
    if (!console && regular) {
        // A record cut from an over-long line ends at its line feed, as it does for a read.
        if (mode_ == Mode::Reading && record_cut) {
            record_cut = false;
            if (!skip_line()) open_tail_ = "\r\n";
        }
        // Writing at the current record position: the file ends after what is written next.
        const std::int64_t at = mode_ == Mode::Reading ? fd_off_ - static_cast<std::int64_t>(rend_ - rpos_) : fd_off_;
        if (at != fd_off_ && ::lseek(fd, at, SEEK_SET) < 0) fatal_named(38, number, name);
        fd_off_ = at;
        if (::ftruncate(fd, at) != 0) fatal_named(38, number, name);
        // A last record without its line feed stays a record of its own.
        if (open_tail_ && !write_all(open_tail_, std::strlen(open_tail_)))
            fatal_named(38, number, name);
        open_tail_ = nullptr;
        rpos_ = rend_ = 0;
        eof_ = false;
    }
    if (wbuf_.size() < kBufSize) wbuf_.resize(kBufSize);
    mode_ = Mode::Writing;
}

void Unit::begin_read() {
    if (mode_ == Mode::Reading) return;
    if (fifo_pending) open_fifo(true);
    if (mode_ == Mode::Writing) flush();
    if (console) console_out().flush();
    if (rbuf_.size() < kBufSize) rbuf_.resize(kBufSize);
    mode_ = Mode::Reading;
}

void Unit::put(const char* p, std::size_t n) {
    if (wlen_ + n > kBufSize) {
        flush();
        if (n >= kBufSize) {
            if (!write_all(p, n)) fatal_named(38, number, name);
            return;
        }
    }
    std::memcpy(wbuf_.data() + wlen_, p, n);
    wlen_ += n;
}

void Unit::put_record_slow(std::string_view rec) {
    const std::size_t n = rec.size();
    put(rec.data(), n);
    put("\r\n", 2);
}

void Unit::end_statement() {
    if (console) flush();
}

void Unit::keep_last_record() {
    if (!last_in_buffer_) return;
    kept_.assign(shown_part(last_record_));
    last_record_ = kept_;
    last_in_buffer_ = false;
}

bool Unit::fill() {
    if (eof_) return false;
    // The buffer is about to move: what a message may show of the last record is kept.
    keep_last_record();
    if (rpos_ > 0) {
        std::memmove(rbuf_.data(), rbuf_.data() + rpos_, rend_ - rpos_);
        rend_ -= rpos_;
        rpos_ = 0;
    }
    // A record in hand that fills the buffer: room for more of it, up to kMaxRecord.
    if (rend_ == rbuf_.size()) rbuf_.resize(std::min(rbuf_.size() * 2, kMaxRecord));
    ssize_t k;
    do {
        k = ::read(fd, rbuf_.data() + rend_, rbuf_.size() - rend_);
    } while (k < 0 && errno == EINTR);
    if (k < 0) {
        read_failed_ = true;
        fatal_named(39, number, name);
    }
    if (k == 0) {
        // The console may deliver more after an end of file; a file may grow by our writes,
        // which reset this flag.
        if (!console) eof_ = true;
        return false;
    }
    fd_off_ += k;
    rend_ += static_cast<std::size_t>(k);
    return true;
}

bool Unit::skip_line() {
    std::size_t skipped = 0;
    for (;;) {
        const char* base = rbuf_.data() + rpos_;
        if (const void* q = std::memchr(base, '\n', rend_ - rpos_)) {
            rpos_ += static_cast<std::size_t>(static_cast<const char*>(q) - base) + 1;
            return true;
        }
        skipped += rend_ - rpos_;
        if (skipped > kMaxSkip) fatal_named(39, number, name);
        rpos_ = rend_;
        if (!fill()) return false;
    }
}

void Unit::hand_out(std::string_view rec, bool cut) {
    ++records_read;
    last_record_ = rec;
    last_in_buffer_ = true;
    last_cut_ = cut;
}

bool Unit::get_record(std::string_view& rec) {
    begin_read();
    if (record_cut) {
        record_cut = false;
        if (!skip_line()) return false;
    }
    std::size_t scanned = 0;  // bytes after rpos_ known to hold no line feed
    for (;;) {
        const char* base = rbuf_.data() + rpos_;
        const std::size_t avail = rend_ - rpos_;
        if (const void* q = std::memchr(base + scanned, '\n', avail - scanned)) {
            std::size_t len = static_cast<std::size_t>(static_cast<const char*>(q) - base);
            rpos_ += len + 1;
            if (len > 0 && base[len - 1] == '\r') --len;
            rec = std::string_view(base, len);
            hand_out(rec, false);
            return true;
        }
        scanned = avail;
        if (avail >= kMaxRecord) {
            // An over-long line: its first kMaxRecord bytes are the record, the rest is
            // passed over by the next read.
            rpos_ += kMaxRecord;
            rec = std::string_view(base, kMaxRecord);
            record_cut = true;
            hand_out(rec, true);
            return true;
        }
        if (!fill()) {
            if (rpos_ == rend_) return false;
            // A last record without a line feed.
            const char* b = rbuf_.data() + rpos_;
            std::size_t len = rend_ - rpos_;
            rpos_ = rend_;
            open_tail_ = "\r\n";
            if (len > 0 && b[len - 1] == '\r') {
                --len;
                open_tail_ = "\n";
            }
            rec = std::string_view(b, len);
            hand_out(rec, false);
            return true;
        }
    }
}

std::size_t Unit::get_bytes(void* dst, std::size_t n) {
    begin_read();
    char* d = static_cast<char*>(dst);
    std::size_t done = 0;
    while (done < n) {
        const std::size_t avail = rend_ - rpos_;
        if (avail > 0) {
            const std::size_t k = std::min(avail, n - done);
            std::memcpy(d + done, rbuf_.data() + rpos_, k);
            rpos_ += k;
            done += k;
            continue;
        }
        if (n - done >= rbuf_.size()) {
            // Large arrays go straight from the file into place.
            ssize_t k;
            do {
                k = ::read(fd, d + done, n - done);
            } while (k < 0 && errno == EINTR);
            if (k < 0) fatal_named(39, number, name);
            if (k == 0) break;
            fd_off_ += k;
            done += static_cast<std::size_t>(k);
            continue;
        }
        rpos_ = rend_ = 0;
        if (!fill()) break;
    }
    return done;
}

void Unit::skip_bytes(std::int64_t n) {
    begin_read();
    if (!regular) {
        // A FIFO or a device cannot be positioned: what is passed over is read. An end of the
        // file on the way is left to the reader of what should follow.
        for (;;) {
            const std::int64_t avail = static_cast<std::int64_t>(rend_ - rpos_);
            if (n <= avail) {
                rpos_ += static_cast<std::size_t>(n);
                return;
            }
            n -= avail;
            rpos_ = rend_;
            if (!fill()) return;
        }
    }
    const std::int64_t avail = static_cast<std::int64_t>(rend_ - rpos_);
    if (n <= avail) {
        rpos_ += static_cast<std::size_t>(n);
        return;
    }
    const std::int64_t rest = n - avail;
    rpos_ = rend_ = 0;
    const off_t at = ::lseek(fd, rest, SEEK_CUR);
    if (at < 0) fatal_named(39, number, name);
    fd_off_ = at;
}

void Unit::rewind() {
    flush();
    if (!console && regular) {
        if (::lseek(fd, 0, SEEK_SET) < 0) fatal_named(39, number, name);
        fd_off_ = 0;
    }
    rpos_ = rend_ = 0;
    eof_ = false;
    record_cut = false;
    open_tail_ = nullptr;
    mode_ = Mode::Idle;
    records_read = 0;
    last_record_ = {};
    last_in_buffer_ = false;
    last_cut_ = false;
    read_failed_ = false;
}

std::string Unit::locate(int error) const {
    // Where record n is: a record of this file, a line of the file it copies, an answer line.
    auto where = [this](std::int64_t n) {
        const std::string num = std::to_string(n);
        if (console) return "answer line " + num;
        if (!copy_of.empty()) return "line " + num + " of " + copy_of + " (record " + num + " of its copy " + name + ")";
        return "record " + num + " of " + name;
    };
    auto after_last = [&](const char* what) {
        const std::string s = what;
        return records_read > 0 ? s + " after " + where(records_read) : s + " before " + where(1);
    };
    if (error == 24) return after_last(console ? "end of input" : "end of file");
    if (error == 39 && read_failed_) return after_last("read failure");
    // A value that cannot be read, or a line running on past any bound: the record in hand.
    if (records_read == 0 || (error == 39 && !last_cut_)) return "";
    const std::string_view part = shown_part(last_record_);
    // The record's columns, at most kShownColumns characters of them; control bytes, which
    // would act on the terminal, are written as their code.
    std::string text;
    std::size_t taken = 0;
    static const char hex[] = "0123456789ABCDEF";
    for (; taken < part.size(); ++taken) {
        const auto b = static_cast<unsigned char>(part[taken]);
        char code[4] = {part[taken]};
        std::size_t n = 1;
        if (b == '\t') {
            code[0] = '\\';
            code[1] = 't';
            n = 2;
        } else if (b < 0x20 || b == 0x7F) {
            code[0] = '\\';
            code[1] = 'x';
            code[2] = hex[b >> 4];
            code[3] = hex[b & 15];
            n = 4;
        } else if (((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) && taken + 1 < part.size()) {
            // A Shift_JIS character of two bytes is shown whole or not at all.
            code[1] = part[taken + 1];
            n = 2;
        }
        if (text.size() + n > kShownColumns) break;
        text.append(code, n);
        if (n == 2 && code[0] != '\\') ++taken;
    }
    std::string line = where(records_read) + ": \"" + text + '"';
    if (taken < part.size()) line += "...";
    if (last_cut_ && error == 39) {
        line += " (cut at " + std::to_string(kMaxRecord) + " columns: the line runs on beyond " +
                std::to_string(kMaxSkip) + " without a line feed)";
    } else if (last_cut_) {
        line += " (cut: the line is longer than " + std::to_string(kMaxRecord) + " columns)";
    }
    return line;
}

std::string locate_read_error(int error, int number) {
    Unit* u = find_file(number);
    if (u == nullptr) {
        // Reads of the console units, and of 5 and 6 before they are opened, take standard input.
        if (number != kConsoleIn && number != 5 && number != 6) return "";
        u = &console_in();
    }
    if (u->form != Form::Formatted) return "";
    return u->locate(error);
}

CloseCall& close_call() {
    static CloseCall call = ::close;
    return call;
}

bool Unit::close_fd() {
    bool ok = true;
    // Not retried after EINTR: the descriptor is gone either way, and what the interrupted
    // close would have said about the file is not known.
    if (fd >= 0 && !console) ok = close_call()(fd) == 0 || !written;
    fd = -1;
    return ok;
}

// ---------------------------------------------------------------------------------------
// Connections by name
// ---------------------------------------------------------------------------------------
namespace {

void close_unit(int number, bool quiet_errors, bool& ok) {
    Table& t = table();
    auto it = t.files.find(number);
    if (it == t.files.end()) return;
    Unit& u = *it->second;
    // A failing close of a written file loses records as a failing write does.
    const bool flushed = u.flush_quiet();
    const bool closed = u.close_fd();
    const std::string name = u.name;
    t.files.erase(it);
    t.last = nullptr;
    if (!flushed || !closed) {
        if (!quiet_errors) fatal_named(38, number, name);
        ok = false;
    }
}

}  // namespace

int close_all_status() {
    bool ok = console_out().flush_quiet();
    Table& t = table();
    std::vector<int> numbers;
    for (auto& [n, u] : t.files) numbers.push_back(n);
    int status = 0;
    for (int n : numbers) {
        bool unit_ok = true;
        const std::string name = t.files[n]->name;
        close_unit(n, true, unit_ok);
        if (!unit_ok) {
            report_line("severe", 38, n, name);
            status = 38;
        }
    }
    ok = console_err().flush_quiet() && ok;
    if (!ok) status = 38;
    return status;
}

}  // namespace rio::detail

namespace rio {

using namespace detail;

void open(int unit, std::string_view name, Status status, Form form) {
    std::string file = trim(name);
    if (file.empty()) {
        // A blank name: ask for one on the console.
        Unit& out = console_out();
        out.begin_write();
        out.put_record("File name missing or blank - please enter file name");
        out.end_statement();
        std::string_view answer;
        if (!console_in().get_record(answer)) fatal_named(43, unit, "");
        file = trim(answer);
        if (file.empty()) fatal_named(43, unit, "");
    }
    bool ok = true;
    close_unit(unit, false, ok);
    Unit& u = connect(unit, file, form, status != Status::Old, status == Status::Old);
    if (status == Status::Replace && u.regular && u.writable && ::ftruncate(u.fd, 0) != 0) {
        fatal_named(30, unit, file);
    }
}

void refuse_connected(int unit, std::string_view name) {
    const std::string file = trim(name);
    struct stat st {};
    if (file.empty() || ::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;
    if (connected_elsewhere(unit, static_cast<std::uint64_t>(st.st_dev),
                            static_cast<std::uint64_t>(st.st_ino))) {
        fatal_named(30, unit, file);
    }
}

void rewind(int unit) {
    if (Unit* u = find_file(unit)) u->rewind();
}

void close(int unit) {
    bool ok = true;
    close_unit(unit, false, ok);
}

void close_guarded(int unit) {
    if (Unit* u = find_file(unit); u != nullptr && u->regular)
        table().guarded.emplace_back(u->device, u->inode);
    close(unit);
}

void endfile(int unit) {
    // Positioning for a write ends the file there.
    if (Unit* u = find_file(unit)) u->begin_write();
}

void flush(int unit) {
    if (Unit* u = find_file(unit)) u->flush();
}

std::string unit_name(int unit) {
    if (Unit* u = find_file(unit)) return u->name;
    if (unit == kConsoleIn || unit == 5) return "stdin";
    if (unit == kConsoleOut || unit == 6) return "stdout";
    if (unit == kStdErr) return "stderr";
    return "";
}

void set_copy_of(int unit, std::string_view source) {
    if (Unit* u = find_file(unit)) u->copy_of = trim(source);
}

std::int64_t record_number(int unit) {
    const Unit* u = find_file(unit);
    return u ? u->records_read : 0;
}

void close_all() { (void)close_all_status(); }

}  // namespace rio
