// PLOXEN plot blocks of the output mesh: a plan by (X, Y) or a section by (distance, Z).
#include "ploxen.hpp"

#include "recordio/recordio.hpp"

namespace gw {

namespace {
constexpr int kPlotUnit = 6;
}  // namespace

void WRPLOXEN(double TIME, std::int32_t NSTEP, std::int32_t MFORM, const PloxenMesh& mesh) {
    (void)NSTEP;
    const std::int32_t NPT = mesh.NPT, NCELL = mesh.NCELL;
    // Plot-plane coordinates: the plan takes X and Y, the section its distance and Z.
    const double* A = MFORM == 4 ? mesh.XP : mesh.DSEC;
    const double* B = MFORM == 4 ? mesh.YP : mesh.ZP;
    const std::int32_t SW = 0;

    // 1. Time, title and zone, node variables. PLOXEN expects the keyword as "TITTLE".
    rio::write(kPlotUnit, "('TIME=',1PE12.4)", {TIME});
    rio::write(kPlotUnit, "('TITTLE= \"  \"'/'ZONE N= ',I5,', E= ',I5,', M= 1,NV= 2 ,EV= 2')",
               {NPT, NCELL});
    rio::write(kPlotUnit, "('NVARIABLES = \"SW\",\"X\",\"Y\",\"P\",\"H\"')");

    // 2. One node line per point; the literal after the last value leaves a closing comma.
    for (std::int32_t i = 0; i < NPT; ++i) {
        rio::write(kPlotUnit, "(I2,',',1PE12.4,7(',',1PE12.4))",
                   {SW, A[i], B[i], mesh.PP[i], mesh.HP[i]});
    }

    // 3. Cell variables.
    rio::write(kPlotUnit, "('EVARIABLES = \"SW\",\"I\",\"J\",\"K\",\"L\",\"P\",\"X\",\"Y\"')");

    // 4. One cell line per cell with its centre: the mean of three points for a triangle
    //    (third and fourth point equal), of four otherwise.
    const std::int32_t property = 1;
    for (std::int32_t c = 1; c <= NCELL; ++c) {
        const auto& P = mesh.ICELL;
        const int k = P(c, 3) == P(c, 4) ? 3 : 4;
        double sa = 0.0, sb = 0.0;
        for (int j = 1; j <= k; ++j) {
            sa += A[P(c, j) - 1];
            sb += B[P(c, j) - 1];
        }
        const double ca = sa / k, cb = sb / k;
        rio::write(kPlotUnit, "(I2,5(',',I5),5(',',1PE12.4))",
                   {SW, P(c, 1), P(c, 2), P(c, 3), P(c, 4), property, ca, cb});
    }
}

}  // namespace gw
