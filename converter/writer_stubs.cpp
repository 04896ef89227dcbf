// Writers that later work provides: each body here writes nothing until its own file replaces
// it (delete the stub here when adding the routine).
#include "writers.hpp"

#pragma GCC diagnostic ignored "-Wunused-parameter"

namespace cnv {

void FEMGEO3(const RealView& X, const RealView& Y, const RealView& Z, const NodView& NOD,
             I32 NUMNP, I32 NUMEL, const IntView& MTYP, I32 MATMAX, I32 NPEMAX,
             const IntView& EFLAG, const IntView& NFLAG, WriterCounters& cnt) {}

void FEMGEO2(const OutputMesh& mesh, WriterCounters& cnt) {}

void FEMAVG(const RealView& Z, const RealView& PSI, const RealView& NVX, const RealView& NVY,
            const RealView& NVZ, const RealView& VX, const RealView& VY, const RealView& VZ,
            const RealView& Q, const RealView& TH, const RealView& NTH, const IntView& NCNT,
            const NodView& NOD, I32 NUMNP, I32 NUMEL, I32 NPEMAX, const IntView& MTYP,
            double TIME, I32 NSTEP, const IntView& EFLAG, const IntView& NFLAG,
            const MaterialTable& mat, WriterCounters& cnt) {}

void FEMMOD(I32 NUMEL, I32 NUMNP, const RealView& VX, const RealView& VY, const RealView& VZ,
            const RealView& PSI, const RealView& Z, const RealView& NVX, const RealView& NVY,
            const RealView& NVZ, const RealView& Q, const RealView& TH, const RealView& NTH,
            const IntView& MTYP, double TIME, I32 NSTEP, const IntView& EFLAG,
            const IntView& NFLAG, const MaterialTable& mat, WriterCounters& cnt) {}

void FEMMSH(const OutputMesh& mesh, double TIME, I32 NSTEP, WriterCounters& cnt) {}






void TETTAB() {}

void LOCPTS(const OutputMesh& mesh, PointWeights& pts, const RealView& X, const RealView& Y,
            const RealView& Z, const NodView& NOD, I32 NUMEL, I32 NPEMAX) {}

void INTERP(OutputMesh& mesh, const PointWeights& pts, const RealView& P, const RealView& Z,
            double TIME, I32 NSTEP, I32 MFORM, WriterCounters& cnt) {}

void RSTASK(RestartAnswers& ans) {}

bool WRRST(const RestartAnswers& ans, const RealView& PSI, const RealView& Q, const IntView& KODE,
           double TIME, double TPREV, const RealView& PSIRST, const RealView& QRST,
           const IntView& KODRST, const RealView& QINIT, const RealView& X, const RealView& Y,
           const RealView& Z, const std::string& TITLE, I32 NUMNP) { return false; }

}  // namespace cnv
