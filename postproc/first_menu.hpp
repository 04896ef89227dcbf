// First menu of the converter and the history program: the result file, its title and counts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/arrays.hpp"

namespace pp {

using core::Index;

inline constexpr int kResultUnit = 5;   // result file
inline constexpr int kWorkListUnit = 98; // "WORK.LST"

struct ResultHead {
    Index IANS = 0;
    std::string RESFIL = std::string(20, ' ');
    std::string TITLE = std::string(80, ' ');
    Index NUMNP = 0, NUMEL = 0, NPEMAX = 0;
};

// Writes one prompt as a list-directed console record (a blank, then the Shift_JIS bytes).
void prompt(std::string_view text);
// Reads one integer answer list-directed from the console.
Index ask_int();

// What a program does with the element connectivity NOD of the result file: the converter's
// writers index node arrays with it (eight slots an element), the history program reads it and
// never uses it.
enum class Connectivity { Indexed, Unused };

// Asks where the result file's name comes from (0: line 6 of "WORK.LST", else typed), opens it
// on unit 5, reads and echoes the title and the counts NUMNP, NUMEL, NPEMAX. Refuses (stop 2222,
// naming `program`) negative counts and, for indexed connectivity, NPEMAX below 8. Fatal
// errors: 29 for a missing file, 24 for "WORK.LST" shorter than six lines or a header that
// ends early.
ResultHead first_menu(std::string_view program, Connectivity nod = Connectivity::Indexed);

}  // namespace pp
