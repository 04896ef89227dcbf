// TECPLOT point-format zones: the 3-D model with node-averaged velocities, and the output mesh.
#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "node_averages.hpp"
#include "recordio/recordio.hpp"
#include "writers.hpp"

namespace cnv {

namespace {

constexpr int IU = kOutUnit;

// Node and element lines go out in statements of many lines: the formats have no group, so
// each further line starts again at the format's first descriptor, exactly as a statement of
// its own would.
constexpr std::int64_t kLinesPerStatement = 1024;
constexpr char kNodeLine[] =
    "(1PE10.3,',',E10.3,',',E10.3,',',E10.3,',',E10.3,',',E10.3,',',E10.3,',',E10.3,',',E10.3)";
constexpr char kBrickLine[] = "(I7,',',I7,',',I7,',',I7,',',I7,',',I7,',',I7,',',I7)";

}  // namespace

void TECMOD(const RealView& X, const RealView& Y, const RealView& Z, const RealView& PSI,
            const RealView& NVX, const RealView& NVY, const RealView& NVZ, const RealView& VX,
            const RealView& VY, const RealView& VZ, const RealView& TH, const RealView& NTH,
            const IntView& NCNT, const NodView& NOD, Index NUMNP, Index NUMEL, Index NPEMAX,
            const std::string& TITLE, double TIME, const IntView& EFLAG, const IntView& NFLAG) {
    (void)NFLAG;  // every node is written
    // 1-3. Plain mean of the counted elements' values at each of their nodes.
    average_to_nodes(VX, VY, VZ, &TH, NVX, NVY, NVZ, &NTH, NCNT, NOD, NUMNP, NUMEL, NPEMAX, EFLAG);
    // 4. Elements written.
    Index nel = 0;
    for (Index e = 1; e <= NUMEL; ++e) nel += EFLAG(e) < 1 ? 1 : 0;
    // 5. Title, variables, zone, nodes, bricks (a prism repeats its third and sixth nodes).
    rio::write(IU, "('TITLE = ','\"TIME=',E15.7,1X,A80,'\"')", {TIME, TITLE});
    rio::write(IU, "('VARIABLES = \"X\",\"Y\",\"Z\",\"P\",\"H\",\"VX\",\"VY\",\"VZ\",\"TH\"')");
    rio::write(IU, "('ZONE N=',I7,', E=',I7,', F=FEPOINT,ET=BRICK')", {NUMNP, nel});
    std::vector<double> row(9 * kLinesPerStatement);
    for (Index first = 1; first <= NUMNP; first += kLinesPerStatement) {
        const Index last =
            static_cast<Index>(std::min<std::int64_t>(NUMNP, first + kLinesPerStatement - 1));
        double* r = row.data();
        for (Index n = first; n <= last; ++n, r += 9) {
            r[0] = X(n);
            r[1] = Y(n);
            r[2] = Z(n);
            r[3] = PSI(n);
            r[4] = PSI(n) + Z(n);
            r[5] = NVX(n);
            r[6] = NVY(n);
            r[7] = NVZ(n);
            r[8] = NTH(n);
        }
        rio::write(IU, kNodeLine, {std::span<const double>(row.data(), 9 * static_cast<std::size_t>(last - first + 1))});
    }
    std::vector<Index> brick(8 * kLinesPerStatement);
    std::size_t nb = 0;
    auto flush = [&] {
        if (nb > 0) rio::write(IU, kBrickLine, {std::span<const Index>(brick.data(), nb)});
        nb = 0;
    };
    for (Index e = 1; e <= NUMEL; ++e) {
        if (EFLAG(e) == 1) continue;
        auto N = [&](Index k) -> Index { return NOD(k, e); };
        Index* b = brick.data() + nb;
        if (N(7) == 0 && N(8) == 0) {
            const Index p[8] = {N(4), N(5), N(6), N(6), N(1), N(2), N(3), N(3)};
            std::copy_n(p, 8, b);
        } else {
            const Index h[8] = {N(5), N(6), N(7), N(8), N(1), N(2), N(3), N(4)};
            std::copy_n(h, 8, b);
        }
        nb += 8;
        if (nb == brick.size()) flush();
    }
    flush();
}

void TECMSH(const OutputMesh& mesh, double TIME, Index NSTEP) {
    (void)NSTEP;
    rio::write(IU, "('TITLE = ','\"TIME=',E15.7,'\"')", {TIME});
    rio::write(IU, "('VARIABLES = \"X\",\"Y\",\"Z\",\"P\",\"H\"')");
    // Four-point cells are quadrilaterals (a triangle repeats its third point).
    rio::write(IU, "('ZONE N=',I7,', E=',I7,', F=FEPOINT, ET=QUADRILATERAL')",
               {mesh.NPT, mesh.NCELL});
    for (Index i = 1; i <= mesh.NPT; ++i) {
        rio::write(IU, "(1PE10.3,4(',',1PE10.3))",
                   {mesh.XP(i), mesh.YP(i), mesh.ZP(i), mesh.PP(i), mesh.HP(i)});
    }
    for (Index c = 1; c <= mesh.NCELL; ++c) {
        rio::write(IU, "(I7,3(',',I7))",
                   {mesh.ICELL(c, 1), mesh.ICELL(c, 2), mesh.ICELL(c, 3), mesh.ICELL(c, 4)});
    }
}

}  // namespace cnv
