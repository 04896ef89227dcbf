// Transfer engines behind the public statements.
#pragma once

#include "internal.hpp"

namespace rio::detail {

// Each ends its statement's records; the readers throw EndOfFile at the end of the file.
// `unit` is the number the statement named, for messages (console units share a stream).
void write_formatted(Unit& u, int unit, const Format& f, Items items);
void read_formatted(Unit& u, int unit, const Format& f, Targets items);
void write_list(Unit& u, Items items);
// n list-directed statements: see rio::write_rows.
void write_list_rows(Unit& u, std::int64_t n, Items items);
void read_list(Unit& u, int unit, Targets items);

}  // namespace rio::detail
