// HISMAIN: the history program's dialogue, its point-list limits and work arrays, then the
// extraction.
#include <string>

#include "history.hpp"
#include "recordio/recordio.hpp"

namespace gw::his {

namespace {

std::string trimmed(const std::string& s) { return s.substr(0, s.find_last_not_of(' ') + 1); }

}  // namespace

void HISMAIN() {
    // 1-7. TEMPORARY first menu until the shared one lands.
    std::int32_t IANS = 0;
    std::string RESFIL(20, ' ');
    rio::read(rio::kConsoleIn, "*", {IANS});
    if (IANS == 0) {
        rio::open(98, "WORK.LST", rio::Status::Old, rio::Form::Formatted);
        for (int i = 0; i < 6; ++i) rio::read(98, "(A20)", {RESFIL});
        rio::close(98);
    } else {
        rio::read(rio::kConsoleIn, "(A20)", {RESFIL});
    }
    rio::open(kResultUnit, RESFIL, rio::Status::Old, rio::Form::Formatted);
    std::string TITLE(80, ' ');
    rio::read(kResultUnit, "(A)", {TITLE});
    rio::write(rio::kConsoleOut, "*", {TITLE});
    Counts c;
    rio::read(kResultUnit, "*", {c.NUMNP, c.NUMEL, c.NPEMAX});
    rio::write(rio::kConsoleOut, "*", {c.NUMNP, c.NUMEL, c.NPEMAX});

    // 8-10. The point-list file; a missing one is created empty.
    std::string PNTFIL(20, ' ');
    rio::read(rio::kConsoleIn, "(A20)", {PNTFIL});
    rio::open(kPointListUnit, PNTFIL, rio::Status::Unknown, rio::Form::Formatted);

    // 11-12. Limits after their minimums, and the work arrays.
    const Limits lim = read_limits(kPointListUnit);
    HistoryArrays a;
    allocate(a, c, lim);

    // 13. The extraction.
    HISCSV(a, c, lim, trimmed(PNTFIL), trimmed(RESFIL));
}

}  // namespace gw::his
