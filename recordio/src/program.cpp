// Program ends: stop codes, fatal input/output errors, and the floating-point mode.
#include "internal.hpp"

#include <cerrno>
#include <new>
#include <string>
#include <unistd.h>

#if defined(__x86_64__) || defined(_M_X64)
#include <xmmintrin.h>
#endif

namespace rio::detail {

namespace {

std::string& program_name() {
    static std::string name = "program";
    return name;
}

const char* error_text(int number) {
    switch (number) {
    case 24: return "end-of-file during read, unit %d, file %s";
    case 29: return "file not found, unit %d, file %s";
    case 30: return "open failure, unit %d, file %s";
    case 38: return "error during write, unit %d, file %s";
    case 39: return "error during read, unit %d, file %s";
    case 41: return "insufficient virtual memory";
    case 43: return "file name specification error, unit %d, file %s";
    case 59: return "list-directed I/O syntax error, unit %d, file %s";
    case 62: return "syntax error in format, unit %d, file %s";
    case 63: return "output conversion error, unit %d, file %s";
    case 64: return "input conversion error, unit %d, file %s";
    case 67: return "input statement requires too much data, unit %d, file %s";
    default: return "input/output error, unit %d, file %s";
    }
}

// Writes straight to the descriptor: standard error is never buffered.
void write_stderr(const std::string& s) {
    const char* p = s.data();
    std::size_t n = s.size();
    while (n > 0) {
        const ssize_t k = ::write(2, p, n);
        if (k < 0) {
            if (errno == EINTR) continue;
            return;
        }
        p += k;
        n -= static_cast<std::size_t>(k);
    }
}

// The file named in a message: the connection's name, or the default name of an unopened unit.
std::string name_for_message(int unit) {
    std::string name = unit_name(unit);
    if (name.empty()) name = "fort." + std::to_string(unit);
    return name;
}

}  // namespace

void report_line(const char* level, int number, int unit, const std::string& file) {
    std::string line = program_name() + ": " + level + " (" + std::to_string(number) + "): ";
    for (const char* t = error_text(number); *t; ++t) {
        if (t[0] == '%' && t[1] == 'd') {
            line += std::to_string(unit);
            ++t;
        } else if (t[0] == '%' && t[1] == 's') {
            line += file;
            ++t;
        } else {
            line += *t;
        }
    }
    line += "\r\n";
    (void)console_out().flush_quiet();  // what the program wrote before comes first
    write_stderr(line);
}

int& quiet_read_errors() {
    static int depth = 0;
    return depth;
}

void fatal_named(int number, int unit, const std::string& file) {
    if (quiet_read_errors() > 0 && (number == 39 || number == 59 || number == 64)) throw ReadError{};
    report_line("severe", number, unit, file);
    if (number == 24 || number == 39 || number == 59 || number == 64 || number == 67) {
        // The record the error arose at, on a line of its own after the fatal line.
        const std::string where = locate_read_error(number, unit);
        if (!where.empty()) write_stderr(program_name() + ": " + where + "\r\n");
    }
    throw ProgramEnd{number};
}

void warn_output_conversion(int unit) { report_line("error", 63, unit, name_for_message(unit)); }

void format_error(int unit, std::string_view /*text*/, const std::string& /*why*/) {
    fatal_named(62, unit, name_for_message(unit));
}

}  // namespace rio::detail

namespace rio {

using namespace detail;

void stop(int code) {
    (void)console_out().flush_quiet();
    write_stderr(std::to_string(code) + "\r\n");
    throw ProgramEnd{code};
}

void stop() { throw ProgramEnd{0}; }

void fatal(int number, int unit) {
    if (number == 41) {
        report_line("severe", 41, unit, "");
        throw ProgramEnd{41};
    }
    fatal_named(number, unit, name_for_message(unit));
}

void set_float_mode() {
#if defined(__x86_64__) || defined(_M_X64)
    // Flush-to-zero (bit 15) and denormals-are-zero (bit 6) of MXCSR.
    _mm_setcsr(_mm_getcsr() | 0x8040u);
#elif defined(__aarch64__)
    // FZ (bit 24) of FPCR covers both directions on this architecture.
    unsigned long fpcr;
    __asm__ __volatile__("mrs %0, fpcr" : "=r"(fpcr));
    fpcr |= 1ul << 24;
    __asm__ __volatile__("msr fpcr, %0" : : "r"(fpcr));
#else
    // Results depend on the mode (a denormal intermediate changes printed digits): no build
    // runs in another one.
#error "no flush-to-zero and denormals-are-zero mode is known for this architecture"
#endif
}

int run_program(const char* program_name_text, void (*body)()) {
    set_float_mode();
    program_name() = program_name_text ? program_name_text : "program";
    int status = 0;
    try {
        body();
    } catch (const ProgramEnd& e) {
        status = e.status;
    } catch (const std::bad_alloc&) {
        report_line("severe", 41, 0, "");
        status = 41;
    }
    const int closing = close_all_status();
    if (status == 0) status = closing;
    return status;
}

}  // namespace rio
