// Transfer engines behind the public statements.
#pragma once

#include "internal.hpp"

namespace rio::detail {

// Each ends its statement's records; the readers throw EndOfFile at the end of the file.
void write_formatted(Unit& u, const Format& f, Items items);
void read_formatted(Unit& u, const Format& f, Items items);
void write_list(Unit& u, Items items);
void read_list(Unit& u, Items items);

}  // namespace rio::detail
