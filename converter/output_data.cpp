// Output data file after its first record: output times, output-mesh points and cells.
#include <bit>
#include <cstdint>
#include <string>

#include "recordio/recordio.hpp"
#include "refusal.hpp"
#include "rescnv.hpp"

namespace cnv {

namespace {

[[noreturn]] void refuse_data(const std::string& what) {
    pp::refuse(kProgram, "output data file", rio::record_number(kDataUnit), what);
}

// Marks a coordinate that its record leaves empty (",," or a slash): a NaN that no value read
// can produce, so the point keeps the coordinate it held.
constexpr std::uint64_t kUnsetBits = 0x7FF4'0000'DEAD'BEEFULL;
constexpr double kUnset = std::bit_cast<double>(kUnsetBits);
void set_if_read(double& stored, double read) {
    if (std::bit_cast<std::uint64_t>(read) != kUnsetBits) stored = read;
}

std::string range(std::int64_t lo, std::int64_t hi) {
    return " not in " + std::to_string(lo) + " to " + std::to_string(hi);
}

}  // namespace

void read_output_data(const Span1<double>& TOUT, const Span1<std::int32_t>& DONE,
                      std::int32_t NTOUT, OutputMesh& mesh) {
    // 1. Output times, eight to a record.
    if (NTOUT != 0) {
        rio::read(kDataUnit, "(8F10.0)", {TOUT.span()});
        for (std::int32_t j = 1; j <= NTOUT; ++j) DONE(j) = 0;
    }
    // 2. Counts of the output mesh, within its fixed tables.
    rio::read(kDataUnit, "(2I5)", {mesh.NPT, mesh.NCELL});
    if (mesh.NPT < 0 || mesh.NPT > kMaxPoints) {
        refuse_data("NPT " + std::to_string(mesh.NPT) + range(0, kMaxPoints));
    }
    if (mesh.NCELL < 0 || mesh.NCELL > kMaxCells) {
        refuse_data("NCELL " + std::to_string(mesh.NCELL) + range(0, kMaxCells));
    }
    // Cells without points would be drawn through point 0, which does not exist.
    if (mesh.NPT == 0 && mesh.NCELL > 0) {
        refuse_data("NCELL " + std::to_string(mesh.NCELL) + " cells of no point: point numbers" +
                    range(1, 0));
    }
    // 3. Points, stored at their own numbers; then cells of points that exist. A value a
    //    record leaves empty keeps what it held: the point number that of the record before.
    if (mesh.NPT != 0) {
        std::int32_t J = 0;
        for (std::int32_t p = 1; p <= mesh.NPT; ++p) {
            double x = kUnset, y = kUnset, z = kUnset;
            rio::read(kDataUnit, "*", {J, x, y, z});
            if (J < 1 || J > kMaxPoints) {
                refuse_data("point number " + std::to_string(J) + range(1, kMaxPoints));
            }
            set_if_read(mesh.XP(J), x);
            set_if_read(mesh.YP(J), y);
            set_if_read(mesh.ZP(J), z);
        }
        for (std::int32_t c = 1; c <= mesh.NCELL; ++c) {
            std::int32_t dropped = 0, i1 = 0, i2 = 0, i3 = 0, i4 = 0;
            rio::read(kDataUnit, "*", {dropped, i1, i2, i3, i4});
            for (std::int32_t k = 1; const std::int32_t p : {i1, i2, i3, i4}) {
                if (p < 1 || p > mesh.NPT) {
                    refuse_data("cell " + std::to_string(c) + " point number " + std::to_string(p) +
                                range(1, mesh.NPT));
                }
                mesh.ICELL(c, k++) = p;
            }
        }
    }
    // 4. Nothing after the last cell is read; the file stays open until the mesh form's
    //    scratch file is open (see RESCNV).
}

}  // namespace cnv
