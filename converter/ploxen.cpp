// PLOXEN plot blocks of the output mesh: a plan by (X, Y) or a section by (distance, Z).
#include "recordio/recordio.hpp"
#include "writers.hpp"

namespace cnv {

void WRPLOXEN(const OutputMesh& mesh, double TIME, Index NSTEP, Index MFORM) {
    (void)NSTEP;
    const Index NPT = mesh.NPT, NCELL = mesh.NCELL;
    // Plot-plane coordinates: the plan takes X and Y, the section its distance and Z.
    const RealView& A = MFORM == 4 ? mesh.XP : mesh.DSEC;
    const RealView& B = MFORM == 4 ? mesh.YP : mesh.ZP;
    const Index SW = 0;

    // 1. Time, title and zone, node variables. PLOXEN expects the keyword as "TITTLE".
    rio::write(kOutUnit, "('TIME=',1PE12.4)", {TIME});
    rio::write(kOutUnit, "('TITTLE= \"  \"'/'ZONE N= ',I5,', E= ',I5,', M= 1,NV= 2 ,EV= 2')",
               {NPT, NCELL});
    rio::write(kOutUnit, "('NVARIABLES = \"SW\",\"X\",\"Y\",\"P\",\"H\"')");

    // 2. One node line per point; the literal after the last value leaves a closing comma.
    for (Index i = 1; i <= NPT; ++i) {
        rio::write(kOutUnit, "(I2,',',1PE12.4,7(',',1PE12.4))",
                   {SW, A(i), B(i), mesh.PP(i), mesh.HP(i)});
    }

    // 3. Cell variables.
    rio::write(kOutUnit, "('EVARIABLES = \"SW\",\"I\",\"J\",\"K\",\"L\",\"P\",\"X\",\"Y\"')");

    // 4. One cell line per cell with its centre: the mean of three points for a triangle
    //    (third and fourth point equal), of four otherwise.
    const Index property = 1;
    const NodView& P = mesh.ICELL;
    for (Index c = 1; c <= NCELL; ++c) {
        const int k = P(c, 3) == P(c, 4) ? 3 : 4;
        double sa = 0.0, sb = 0.0;
        for (int j = 1; j <= k; ++j) {
            sa += A(P(c, j));
            sb += B(P(c, j));
        }
        const double ca = sa / k, cb = sb / k;
        rio::write(kOutUnit, "(I2,5(',',I5),5(',',1PE12.4))",
                   {SW, P(c, 1), P(c, 2), P(c, 3), P(c, 4), property, ca, cb});
    }
}

}  // namespace cnv
