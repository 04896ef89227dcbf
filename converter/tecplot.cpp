// TECPLOT point-format zones: the 3-D model with node-averaged velocities, and the output mesh.
#include <string>

#include "node_averages.hpp"
#include "recordio/recordio.hpp"
#include "writers.hpp"

namespace cnv {

namespace {
constexpr int IU = kOutUnit;
}  // namespace

void TECMOD(const RealView& X, const RealView& Y, const RealView& Z, const RealView& PSI,
            const RealView& NVX, const RealView& NVY, const RealView& NVZ, const RealView& VX,
            const RealView& VY, const RealView& VZ, const RealView& TH, const RealView& NTH,
            const IntView& NCNT, const NodView& NOD, I32 NUMNP, I32 NUMEL, I32 NPEMAX,
            const std::string& TITLE, double TIME, const IntView& EFLAG, const IntView& NFLAG) {
    (void)NFLAG;  // every node is written
    // 1-3. Plain mean of the counted elements' values at each of their nodes.
    average_to_nodes(VX, VY, VZ, &TH, NVX, NVY, NVZ, &NTH, NCNT, NOD, NUMNP, NUMEL, NPEMAX, EFLAG);
    // 4. Elements written.
    I32 nel = 0;
    for (I32 e = 1; e <= NUMEL; ++e) nel += EFLAG(e) < 1 ? 1 : 0;
    // 5. Title, variables, zone, nodes, bricks (a prism repeats its third and sixth nodes).
    rio::write(IU, "('TITLE = ','\"TIME=',E15.7,1X,A80,'\"')", {TIME, TITLE});
    rio::write(IU, "('VARIABLES = \"X\",\"Y\",\"Z\",\"P\",\"H\",\"VX\",\"VY\",\"VZ\",\"TH\"')");
    rio::write(IU, "('ZONE N=',I7,', E=',I7,', F=FEPOINT,ET=BRICK')", {NUMNP, nel});
    for (I32 n = 1; n <= NUMNP; ++n) {
        const double H = PSI(n) + Z(n);
        rio::write(IU, "(1PE10.3,8(',',1PE10.3))",
                   {X(n), Y(n), Z(n), PSI(n), H, NVX(n), NVY(n), NVZ(n), NTH(n)});
    }
    for (I32 e = 1; e <= NUMEL; ++e) {
        if (EFLAG(e) == 1) continue;
        auto N = [&](I32 k) -> I32 { return NOD(k, e); };
        if (N(7) == 0 && N(8) == 0) {
            rio::write(IU, "(I7,7(',',I7))", {N(4), N(5), N(6), N(6), N(1), N(2), N(3), N(3)});
        } else {
            rio::write(IU, "(I7,7(',',I7))", {N(5), N(6), N(7), N(8), N(1), N(2), N(3), N(4)});
        }
    }
}

void TECMSH(const OutputMesh& mesh, double TIME, I32 NSTEP) {
    (void)NSTEP;
    rio::write(IU, "('TITLE = ','\"TIME=',E15.7,'\"')", {TIME});
    rio::write(IU, "('VARIABLES = \"X\",\"Y\",\"Z\",\"P\",\"H\"')");
    // Four-point cells are quadrilaterals (a triangle repeats its third point).
    rio::write(IU, "('ZONE N=',I7,', E=',I7,', F=FEPOINT, ET=QUADRILATERAL')",
               {mesh.NPT, mesh.NCELL});
    for (I32 i = 1; i <= mesh.NPT; ++i) {
        rio::write(IU, "(1PE10.3,4(',',1PE10.3))",
                   {mesh.XP(i), mesh.YP(i), mesh.ZP(i), mesh.PP(i), mesh.HP(i)});
    }
    for (I32 c = 1; c <= mesh.NCELL; ++c) {
        rio::write(IU, "(I7,3(',',I7))",
                   {mesh.ICELL(c, 1), mesh.ICELL(c, 2), mesh.ICELL(c, 3), mesh.ICELL(c, 4)});
    }
}

}  // namespace cnv
