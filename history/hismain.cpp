// HISMAIN: the history program's dialogue, its point-list limits and work arrays, then the
// extraction.
#include <string>

#include "first_menu.hpp"
#include "history.hpp"
#include "prompts.hpp"
#include "recordio/recordio.hpp"

namespace his {

void HISMAIN() {
    // 1-7. The first menu shared with the converter: the result file, its title and counts.
    // The element connectivity is read and never used here, so any NPEMAX of 0 or more will do.
    const pp::ResultHead head = pp::first_menu("history", pp::Connectivity::Unused);
    const Counts c{head.NUMNP, head.NUMEL, head.NPEMAX};

    // 8-10. The point-list file; a missing one is created empty, and reading its limits
    // then ends the run at the end of the file.
    pp::prompt(pp::kHistoryDataHead);
    pp::prompt(pp::kHistoryDataName);
    std::string PNTFIL(20, ' ');
    rio::read(rio::kConsoleIn, "(A20)", {PNTFIL});
    rio::open(kPointListUnit, PNTFIL, rio::Status::Unknown, rio::Form::Formatted);

    // 11-12. The limits after their minimums, and the work arrays.
    const Limits lim = read_limits(kPointListUnit);
    HistoryArrays a;
    allocate(a, c, lim);

    // 13. The extraction; the program then ends normally.
    HISCSV(a, c, lim, rio::unit_name(kPointListUnit));
}

}  // namespace his
