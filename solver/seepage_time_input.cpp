// Seepage-face ranges (groups E, EA) and the time-step record (group F).
#include "input.hpp"
#include "recordio/recordio.hpp"

namespace sol {

// Expands the EA ranges into the seepage-face list, entries numbered in reading order.
// Entries past MSEP are counted and dropped; a node outside 1..NUMNP is reported, not stored
// and not counted, and flags the run.
void RDSEEP(const Control& ctl, const Units& u, InputState& in, MeshArrays& mesh) {
    // 1. Group E: the number of range records.
    Index NSEPL = 0;
    {
        const std::string saved = in.KEYWD;
        rio::read(u.IR, "(A5,I5)", {in.KEYWD, NSEPL});
        check_keyword_group(u, in, saved, "SEEP ", "E");
    }
    // 2. Group EA.
    const std::int64_t MSEP = ctl.MSEP;
    std::int64_t entries = 0;
    for (Index r = 1; r <= NSEPL; ++r) {
        Index N1 = 0, N2 = 0, INC = 0;
        double value = 0.0;
        const std::string saved = in.KEYWD;
        rio::read(u.IR, "(A5,3I7,F14.0)", {in.KEYWD, N1, N2, INC, value});
        check_keyword_group(u, in, saved, "SEEP ", "EA");
        if (INC == 0) INC = 1;
        if (N2 == 0) N2 = N1;
        const NodeRange nr = clip_range(N1, N2, INC, 1, ctl.NUMNP);
        if (nr.has_bad) {
            group_error_line(u, "SEEP ", "EA ");
            report_limit(u, in, "NODE", nr.first_bad, 1, ctl.NUMNP);
        }
        for (std::int64_t k = nr.kmin; k <= nr.kmax; ++k) {
            if (entries >= MSEP) {
                entries += nr.kmax - k + 1;  // the rest of the range is dropped
                break;
            }
            ++entries;
            mesh.KSEEP(entries) = static_cast<Index>(N1 + k * INC);
            mesh.IFSEEP(entries) = 1;
            mesh.SEPVAL(entries) = value;
        }
    }
}

void RDTIME(Control& ctl, const Units& u, InputState& in) {
    const std::string saved = in.KEYWD;
    rio::read(u.IR, "(A5,5E10.3,2I5)",
              {in.KEYWD, ctl.DT, ctl.DTMAX, ctl.FACT, ctl.TMAX, ctl.EPSLN, ctl.NPRINT, ctl.NPOST});
    check_keyword(u, in, saved, "TIME ", "(' ** ERROR ** TIME STEP DATA -- Group F ')");
    if (ctl.NPRINT < 1) ctl.NPRINT = 1;
    if (ctl.NPOST < 1) ctl.NPOST = 1;
}

}  // namespace sol
