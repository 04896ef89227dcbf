// MicroAVS time-series files: step blocks into the scratch file "AVS.tmp" during the step
// loop, then "AVS.INP" assembled from a header, the geometry and the blocks copied back.
#include <algorithm>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "node_averages.hpp"
#include "recordio/recordio.hpp"
#include "writers.hpp"

namespace cnv {

namespace {

constexpr int kAvsUnit = kOutUnit;         // "AVS.INP"
constexpr int kScratchUnit = kAvsTmpUnit;  // "AVS.tmp"

// Copy widths of the lines of a step block: every line of the scratch file comes back into
// "AVS.INP" cut or blank-padded to the width of its row, so labels such as "Velocity X,"
// reappear padded to 13 columns.
constexpr int kStepWidth = 26;
constexpr int kLabelWidth = 13;
constexpr int kNodeLineWidth = 74;     // I8, 1X and five 13-column values
constexpr int kElementLineWidth = 48;  // I8, 1X and three 13-column values
constexpr int kPointLineWidth = 35;    // I8, 1X and two 13-column values
// A scratch line is read as 100 single characters: longer lines are cut there.
constexpr int kReadWidth = 100;

// Step line "step<NAVS><TIME>": the block number in the fewest digits (up to five), the
// time label in E15.7.
void write_step_line(Index NAVS, double TIME) {
    static constexpr std::string_view formats[] = {"('step',I1,E15.7)", "('step',I2,E15.7)",
                                                    "('step',I3,E15.7)", "('step',I4,E15.7)",
                                                    "('step',I5,E15.7)"};
    const int n = NAVS < 10 ? 1 : NAVS < 100 ? 2 : NAVS < 1000 ? 3 : NAVS < 10000 ? 4 : 5;
    rio::write(kScratchUnit, formats[n - 1], {NAVS, TIME});
}

// Data lines of a step block: a number and `nv` single-precision values each, written many
// lines to a statement. The formats have no group, so each further line starts again at the
// format's first descriptor, exactly as a statement of its own would; the blank after the
// last value ends every line. flush() writes the lines still held.
class DataLines {
public:
    DataLines(const char* format, int nv)
        : format_(format), nv_(nv), number_(kLines),
          value_(kLines * static_cast<std::size_t>(nv)) {}
    void add(Index number, std::initializer_list<float> values) {
        number_[n_] = number;
        std::copy(values.begin(), values.end(),
                  value_.begin() + static_cast<std::ptrdiff_t>(n_) * nv_);
        if (++n_ == kLines) flush();
    }
    void flush() {
        if (n_ == 0) return;
        rio::write(kScratchUnit, format_,
                   {rio::Item::loop(static_cast<std::int64_t>(n_), number_.data(),
                                    rio::Strided<float>{value_.data(), nv_, nv_})});
        n_ = 0;
    }

private:
    static constexpr std::size_t kLines = 1024;
    const char* format_;
    int nv_;
    std::size_t n_ = 0;
    std::vector<Index> number_;
    std::vector<float> value_;
};

// The node, element and point lines (I8,1X,5(1PE12.5,' ')) with five, three and two values,
// spelled out without the group.
constexpr char kNodeLine[] = "(I8,1X,1PE12.5,' ',E12.5,' ',E12.5,' ',E12.5,' ',E12.5,' ')";
constexpr char kElementLine[] = "(I8,1X,1PE12.5,' ',E12.5,' ',E12.5,' ')";
constexpr char kPointLine[] = "(I8,1X,1PE12.5,' ',E12.5,' ')";

// Copies `count` lines of the scratch file to "AVS.INP", each at exactly `width` columns.
// One line at a time: the scratch file can reach gigabytes.
void copy_lines(std::string& line, std::int64_t count, int width) {
    const std::string_view head(line.data(), static_cast<std::size_t>(width));
    for (std::int64_t i = 0; i < count; ++i) {
        rio::read(kScratchUnit, "(A100)", {line});
        rio::write(kAvsUnit, "(A)", {head});
    }
}

// One row of a block's shape: `count` lines copied at `width` columns.
struct CopyRow {
    std::int64_t count;
    int width;
};

// Header lines, then the blocks copied back: the first block's step line, the geometry
// (written by `geometry`), the rest of the first block, then every further block whole.
// Without any block only the header with the count 0 is written and the scratch file is
// not read (reading it would meet its end).
template <class Geometry>
void assemble(Index NAVS, std::initializer_list<CopyRow> rest, Geometry geometry) {
    rio::write(kAvsUnit, "('# QUORVALIX AVS FILE ')");
    rio::write(kAvsUnit, "(I5)", {NAVS});
    rio::write(kAvsUnit, "('data')");
    if (NAVS == 0) return;
    rio::rewind(kScratchUnit);
    std::string line(kReadWidth, ' ');
    for (Index block = 1; block <= NAVS; ++block) {
        copy_lines(line, 1, kStepWidth);
        if (block == 1) geometry();
        for (const CopyRow& row : rest) copy_lines(line, row.count, row.width);
    }
}

}  // namespace

void AVSMOD(const RealView& Z, const RealView& PSI, const RealView& NVX, const RealView& NVY,
            const RealView& NVZ, const RealView& VX, const RealView& VY, const RealView& VZ,
            const IntView& NCNT, const NodView& NOD, Index NUMNP, Index NUMEL, Index NPEMAX,
            double TIME, const IntView& EFLAG, const IntView& NFLAG, WriterCounters& cnt) {
    cnt.NAVS += 1;

    // 1. Velocities averaged to the nodes (no moisture content here).
    average_to_nodes(VX, VY, VZ, nullptr, NVX, NVY, NVZ, nullptr, NCNT, NOD, NUMNP, NUMEL,
                     NPEMAX, EFLAG);

    // 2. The block: step line, node data with their labels, element data with theirs.
    write_step_line(cnt.NAVS, TIME);
    rio::write(kScratchUnit, "('5   3'/'5   1   1   1   1   1')");
    rio::write(kScratchUnit,
               "('Pressure,'/'Total Head,'/'Velocity X,'/'Velocity Y,'/'Velocity Z,')");
    DataLines node_lines(kNodeLine, 5);
    for (Index n = 1; n <= NUMNP; ++n) {
        if (NFLAG(n) == 1) continue;
        // The head is summed in double before the values go out as single precision.
        node_lines.add(n, {float(PSI(n)), float(PSI(n) + Z(n)), float(NVX(n)), float(NVY(n)),
                           float(NVZ(n))});
    }
    node_lines.flush();
    rio::write(kScratchUnit, "('3   1   1   1'/'Velocity X,'/'Velocity Y,'/'Velocity Z,')");
    DataLines element_lines(kElementLine, 3);
    for (Index e = 1; e <= NUMEL; ++e) {
        if (EFLAG(e) == 1) continue;
        element_lines.add(e, {float(VX(e)), float(VY(e)), float(VZ(e))});
    }
    element_lines.flush();
}

void AVSMSH(const OutputMesh& mesh, double TIME, WriterCounters& cnt) {
    cnt.NAVS += 1;
    write_step_line(cnt.NAVS, TIME);
    rio::write(kScratchUnit, "('2   0'/'2   1   1'/'Pressure,'/'Total Head,')");
    DataLines point_lines(kPointLine, 2);
    for (Index i = 1; i <= mesh.NPT; ++i)
        point_lines.add(i, {float(mesh.PP(i)), float(mesh.HP(i))});
    point_lines.flush();
}

void AVSINP3(const RealView& X, const RealView& Y, const RealView& Z, const NodView& NOD,
             const IntView& MTYP, Index NUMNP, Index NUMEL, Index NPEMAX, const IntView& EFLAG,
             const IntView& NFLAG, const WriterCounters& cnt) {
    (void)NPEMAX;  // every element has eight slots; a prism leaves 7 and 8 at 0
    // 1. Nodes and elements that appear: those of flag 0.
    Index nodes = 0, elements = 0;
    for (Index n = 1; n <= NUMNP; ++n) nodes += NFLAG(n) == 0 ? 1 : 0;
    for (Index e = 1; e <= NUMEL; ++e) elements += EFLAG(e) == 0 ? 1 : 0;

    // 2. Geometry: node coordinates, then hexahedra and prisms with their nodes in slot order.
    auto geometry = [&]() {
        rio::write(kAvsUnit, "(I10,1X,I10)", {nodes, elements});
        for (Index n = 1; n <= NUMNP; ++n) {
            if (NFLAG(n) == 1) continue;
            rio::write(kAvsUnit, "(I8,3(' ',1PE12.5))", {n, X(n), Y(n), Z(n)});
        }
        for (Index e = 1; e <= NUMEL; ++e) {
            if (EFLAG(e) == 1) continue;
            const Index* slot = &NOD(1, e);
            if (NOD(7, e) != 0 || NOD(8, e) != 0) {
                rio::write(kAvsUnit, "(I7,' ',I3,' hex ',8(' ',I7))",
                           {e, MTYP(e), std::span<const Index>(slot, 8)});
            } else {
                rio::write(kAvsUnit, "(I7,' ',I3,' prism ',6(' ',I7))",
                           {e, MTYP(e), std::span<const Index>(slot, 6)});
            }
        }
    };

    // 3. Header, then the blocks: step line, "5 3", component sizes, five labels, node lines,
    //    "3 1 1 1", three labels, element lines.
    assemble(cnt.NAVS,
             {{1, 5},
              {1, 21},
              {1, 9},
              {1, 11},
              {3, kLabelWidth},
              {nodes, kNodeLineWidth},
              {1, 13},
              {3, kLabelWidth},
              {elements, kElementLineWidth}},
             geometry);
}

void AVSINP2(const OutputMesh& mesh, const WriterCounters& cnt) {
    const Index NPT = mesh.NPT, NCELL = mesh.NCELL;
    // Geometry: points, then triangles (third point repeated) and quadrilaterals, material 1.
    auto geometry = [&]() {
        rio::write(kAvsUnit, "(I10,1X,I10)", {NPT, NCELL});
        for (Index i = 1; i <= NPT; ++i) {
            rio::write(kAvsUnit, "(I8,3(' ',1PE12.5))", {i, mesh.XP(i), mesh.YP(i), mesh.ZP(i)});
        }
        const Index material = 1;
        const NodView& P = mesh.ICELL;
        for (Index c = 1; c <= NCELL; ++c) {
            if (P(c, 3) == P(c, 4)) {
                rio::write(kAvsUnit, "(I7,' ',I3,' tri ',3(' ',I7))",
                           {c, material, P(c, 1), P(c, 2), P(c, 3)});
            } else {
                rio::write(kAvsUnit, "(I7,' ',I3,' quad ',4(' ',I7))",
                           {c, material, P(c, 1), P(c, 2), P(c, 3), P(c, 4)});
            }
        }
    };
    // Block shape: step line, "2 0", "2 1 1", two labels, point lines.
    assemble(cnt.NAVS, {{1, 5}, {1, 9}, {1, 9}, {1, 11}, {NPT, kPointLineWidth}}, geometry);
}

}  // namespace cnv
