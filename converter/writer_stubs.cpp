// Writers that later work provides: each body here writes nothing until its own file replaces
// it (delete the stub here when adding the routine).
#include "writers.hpp"

#pragma GCC diagnostic ignored "-Wunused-parameter"

namespace cnv {

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
