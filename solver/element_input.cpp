// Element input (group D): connectivity, node counts and materials, with generation.
#include <array>

#include "input.hpp"
#include "recordio/recordio.hpp"

namespace sol {

namespace {
constexpr int kElementFileUnit = 21;
constexpr std::string_view kElemError = "(' ** ERROR ** ELEM DATA -- Group D ')";
}  // namespace

// Reads group D into NOD, NPE, MTYP for elements 1..NUMEL and prints the element table.
// A record numbered outside 1..NUMEL, or a first record other than element 1, is reported
// and not stored (element 1 then stays a zero row with NPE 0); the run is flagged.
void RDELEM(const Control& ctl, Units& u, InputState& in, MeshArrays& mesh) {
    const int NUMEL = ctl.NUMEL;
    Span2<Index>& NOD = mesh.NOD;
    Span1<Index>& NPE = mesh.NPE;
    Span1<Index>& MTYP = mesh.MTYP;

    // 1. Title and column heads.
    rio::write(u.IW, "(////' ELEMENT INFORMATION'/)");
    rio::write(u.IW, "(///'    M,  MTYP',2X,8('NODE',I1,3X)/)",
               {1, 2, 3, 4, 5, 6, 7, 8});

    // 2. Separate element file.
    const int saved_ir = u.IR;
    if (ctl.SEPFIL > 0) {
        std::string name(40, ' ');
        const std::string saved = in.KEYWD;
        rio::read(u.IR, "(A5,A40)", {in.KEYWD, name});
        check_keyword(u, in, saved, "ELEM ", kElemError);
        rio::open(kElementFileUnit, name, rio::Status::Unknown, rio::Form::Formatted);
        u.IR = kElementFileUnit;
    }

    // Record values; a list-directed record that leaves values out keeps the previous ones.
    Index M = 0, npe = 0, mtyp = 0, inc = 1;
    std::array<Index, 8> nod{};
    Index rec_inc = 0;
    bool first = true;

    // 3. Generation loop over the element positions.
    for (Index j = 1; j <= NUMEL; ++j) {
        if (M < j) {
            // 4. Read one record.
            if (ctl.LISTIN == 0) {
                const std::string saved = in.KEYWD;
                rio::read(u.IR, "(A5,9I7,2I3,I7)",
                          {in.KEYWD, M, nod[0], nod[1], nod[2], nod[3], nod[4], nod[5], nod[6],
                           nod[7], npe, mtyp, rec_inc});
                check_keyword(u, in, saved, "ELEM ", kElemError);
            } else {
                rio::read(u.IR, "*",
                          {in.KEYWD, M, nod[0], nod[1], nod[2], nod[3], nod[4], nod[5], nod[6],
                           nod[7], npe, mtyp, rec_inc});
            }
            inc = rec_inc == 0 ? 1 : rec_inc;
            if (M < 1 || M > NUMEL) {
                rio::write(u.IW, kElemError);
                report_limit(u, in, "M", M, 1, NUMEL);
            } else if (first && M != 1) {
                rio::write(u.IW, kElemError);
                report_limit(u, in, "M", M, 1, 1);
            } else {
                for (int k = 1; k <= 8; ++k) NOD(k, M) = nod[k - 1];
                NPE(M) = npe == 0 ? 8 : npe;
                MTYP(M) = mtyp == 0 ? 1 : mtyp;
            }
            first = false;
        }
        if (M == j) continue;
        // Element j lies in a gap: node numbers of its predecessor plus the increment of the
        // record that ends the gap; material and node count carried forward. An element with
        // no source (before the first stored record) stays a zero row with NPE 0.
        if (j == 1 || NPE(j - 1) == 0) continue;
        const Index n = NPE(j - 1);
        // A prism keeps its empty slots 7 and 8 empty.
        const int slots = n == 6 ? 6 : 8;
        // Formed in 64 bits: an absurd increment gives a wrong node number for the element
        // check to report, not an overflow.
        for (int k = 1; k <= slots; ++k) {
            NOD(k, j) = static_cast<Index>(std::int64_t{NOD(k, j - 1)} + inc);
        }
        for (int k = slots + 1; k <= 8; ++k) NOD(k, j) = 0;
        MTYP(j) = MTYP(j - 1);
        NPE(j) = n;
    }

    // 6. Separate file done.
    if (ctl.SEPFIL >= 2) rio::close(u.IR);
    if (ctl.SEPFIL > 0) u.IR = saved_ir;

    // 7. Element table.
    for (Index m = 1; m <= NUMEL; ++m) {
        rio::write(u.IW, "(' ',I6,I5,4X,8(I6,4X))",
                   {m, MTYP(m), NOD(1, m), NOD(2, m), NOD(3, m), NOD(4, m), NOD(5, m), NOD(6, m),
                    NOD(7, m), NOD(8, m)});
    }
}

}  // namespace sol
