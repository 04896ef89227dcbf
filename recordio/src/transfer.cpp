// Transfer statements: formatted and list-directed text records, and unformatted records
// framed by their 4-byte little-endian length before and after the data.
#include "transfer.hpp"

#include <bit>
#include <cstring>
#include <limits>

namespace rio::detail {

std::int64_t unformatted_bytes(Items items) {
    std::int64_t total = 0;
    for (const Item& it : items) {
        std::int64_t per_pass = 0;
        for (int k = 0; k < it.nmembers; ++k)
            if (it.m[k].per_iter > 0) per_pass += it.m[k].per_iter * element_size(it.m[k]);
        total += it.iterations * per_pass;
    }
    return total;
}

namespace {

bool is_list_directed(std::string_view format) { return format.size() == 1 && format[0] == '*'; }

bool read_text(int unit, std::string_view format, Items items) {
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

bool read_record(int unit, Items items) {
    Unit& u = unit_for(unit, Form::Unformatted, Access::Read);
    std::int32_t head;
    const std::size_t got = u.get_bytes(&head, 4);
    if (got == 0) return false;  // end of the file before the record
    if (got < 4) fatal(39, unit);
    const std::int64_t n = length_field(head);
    if (n < 0) fatal(39, unit);
    if (unformatted_bytes(items) > n) fatal(67, unit);
    std::int64_t left = n;
    for_each_run(items, [&](const Run& r) {
        const std::size_t bytes = static_cast<std::size_t>(r.n * r.size);
        if (u.get_bytes(r.p, bytes) < bytes) fatal(39, unit);
        left -= static_cast<std::int64_t>(bytes);
        return true;
    });
    // What the items do not take stays unread; the next read starts at the next record.
    if (left > 0) u.skip_bytes(left);
    std::int32_t tail;
    if (u.get_bytes(&tail, 4) < 4 || tail != head) fatal(39, unit);
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

void read(int unit, std::string_view format, Items items) {
    if (!read_text(unit, format, items)) fatal(24, unit);
}

bool read_or_end(int unit, std::string_view format, Items items) { return read_text(unit, format, items); }

ReadOutcome read_or_error(int unit, std::string_view format, Items items) {
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
    // Records of 2^31 - 9 bytes or more cannot carry their length in the 4-byte field.
    if (n > std::numeric_limits<std::int32_t>::max() - 8) fatal(38, unit);
    u.begin_write();
    const std::int32_t len = length_field(static_cast<std::int32_t>(n));
    u.put(reinterpret_cast<const char*>(&len), 4);
    for_each_run(items, [&](const Run& r) {
        u.put(r.p, static_cast<std::size_t>(r.n * r.size));
        return true;
    });
    u.put(reinterpret_cast<const char*>(&len), 4);
    u.end_statement();
}

void read_unf(int unit, Items items) {
    if (!read_record(unit, items)) fatal(24, unit);
}

bool read_unf_or_end(int unit, Items items) { return read_record(unit, items); }

}  // namespace rio
