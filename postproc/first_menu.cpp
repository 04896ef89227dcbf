// First menu shared by the converter and the history program.
#include "first_menu.hpp"

#include <string>

#include "prompts.hpp"
#include "recordio/recordio.hpp"
#include "refusal.hpp"

namespace pp {

namespace {

// An element has at least the eight node slots of a hexahedron.
constexpr Index kMinNpemax = 8;

}  // namespace

void prompt(std::string_view text) { rio::write(rio::kConsoleOut, "*", {text}); }

Index ask_int() {
    Index v = 0;
    rio::read(rio::kConsoleIn, "*", {v});
    return v;
}

ResultHead first_menu(std::string_view program, Connectivity nod) {
    ResultHead h;
    // 1. Where the result file's name comes from.
    prompt(kResultMenuHead);
    prompt(kResultMenuWorkLst);
    prompt(kResultMenuTyped);
    h.IANS = ask_int();
    // 2. Line 6 of "WORK.LST" (its first 20 characters), or the typed name.
    if (h.IANS == 0) {
        rio::open(kWorkListUnit, "WORK.LST", rio::Status::Old, rio::Form::Formatted);
        for (int line = 1; line <= 6; ++line) rio::read(kWorkListUnit, "(A20)", {h.RESFIL});
        // Guarded once closed: no output file of the run, under whatever name or link, may
        // replace the file list (error 30).
        rio::close_guarded(kWorkListUnit);
    } else {
        prompt(kResultFileName);
        rio::read(rio::kConsoleIn, "(A20)", {h.RESFIL});
    }
    // 3. Title and counts, each echoed on the console.
    rio::open(kResultUnit, h.RESFIL, rio::Status::Old, rio::Form::Formatted);
    rio::read(kResultUnit, "(A)", {h.TITLE});
    rio::write(rio::kConsoleOut, "*", {h.TITLE});
    rio::read(kResultUnit, "*", {h.NUMNP, h.NUMEL, h.NPEMAX});
    rio::write(rio::kConsoleOut, "*", {h.NUMNP, h.NUMEL, h.NPEMAX});
    // 4. Counts that no array can be cut for.
    const std::string file = "result file " + rio::unit_name(kResultUnit);
    const std::int64_t rec = rio::record_number(kResultUnit);
    auto refuse_count = [&](const char* name, Index v) {
        if (v < 0) refuse(program, file, rec, std::string(name) + " " + std::to_string(v) + " below 0");
    };
    refuse_count("NUMNP", h.NUMNP);
    refuse_count("NUMEL", h.NUMEL);
    if (nod == Connectivity::Unused) {
        refuse_count("NPEMAX", h.NPEMAX);
    } else if (h.NPEMAX < kMinNpemax) {
        refuse(program, file, rec, "NPEMAX " + std::to_string(h.NPEMAX) + " below 8");
    }
    return h;
}

}  // namespace pp
