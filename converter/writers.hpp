// Writers of the output forms, called by the step loop. Each writes on the converter's output
// unit 6 (MicroAVS step blocks on unit 8) and never opens or closes it. Arrays are 1-based
// views: node arrays of NUMNP, element arrays of NUMEL, NOD of (NPEMAX, NUMEL); EFLAG and NFLAG
// hold 1 for an element or node left out. TIME is the label written, NSTEP the step number of
// the block just read.
#pragma once

#include <cstdint>
#include <string>

#include "globals.hpp"

namespace cnv {

using RealView = Span1<double>;
using IntView = Span1<Index>;
using NodView = Span2<Index>;

// ---- Result listing "OUTPUT.TXT" (form 0) --------------------------------------------------
// Node table (total head, pressure head, discharge) with the sums QP and QM of the printed
// discharges.
void LSTNOD(const RealView& Q, const RealView& PSI, const RealView& Z, Index NUMNP,
            const std::string& TITLE, double TIME, Index NSTEP, const IntView& NFLAG);
// Element velocity table.
void LSTELM(const RealView& VX, const RealView& VY, const RealView& VZ, Index NUMEL,
            const std::string& TITLE, double TIME, Index NSTEP, const IntView& EFLAG);

// ---- TECPLOT "TECPLOT.TXT" (form 1, mesh form 1) -------------------------------------------
// One zone of the 3-D model; NVX, NVY, NVZ, NTH, NCNT are overwritten with the node averages.
void TECMOD(const RealView& X, const RealView& Y, const RealView& Z, const RealView& PSI,
            const RealView& NVX, const RealView& NVY, const RealView& NVZ, const RealView& VX,
            const RealView& VY, const RealView& VZ, const RealView& TH, const RealView& NTH,
            const IntView& NCNT, const NodView& NOD, Index NUMNP, Index NUMEL, Index NPEMAX,
            const std::string& TITLE, double TIME, const IntView& EFLAG, const IntView& NFLAG);
// One zone of the output mesh with its heads HP, PP.
void TECMSH(const OutputMesh& mesh, double TIME, Index NSTEP);

// ---- FEMAP neutral "FEMAP.NEU" (form 2, mesh form 2) ---------------------------------------
// Model blocks 100, 401, 402, 403, 404 of the 3-D model and of the output mesh.
void FEMGEO3(const RealView& X, const RealView& Y, const RealView& Z, const NodView& NOD,
             Index NUMNP, Index NUMEL, const IntView& MTYP, Index MATMAX, Index NPEMAX,
             const IntView& EFLAG, const IntView& NFLAG, WriterCounters& cnt);
void FEMGEO2(const OutputMesh& mesh, WriterCounters& cnt);
// Node averages of the element values (into NVX, NVY, NVZ, NTH, NCNT), then FEMMOD.
void FEMAVG(const RealView& Z, const RealView& PSI, const RealView& NVX, const RealView& NVY,
            const RealView& NVZ, const RealView& VX, const RealView& VY, const RealView& VZ,
            const RealView& Q, const RealView& TH, const RealView& NTH, const IntView& NCNT,
            const NodView& NOD, Index NUMNP, Index NUMEL, Index NPEMAX, const IntView& MTYP,
            double TIME, Index NSTEP, const IntView& EFLAG, const IntView& NFLAG,
            const MaterialTable& mat, WriterCounters& cnt);
// Output set 450 and vectors 451 of the 3-D model.
void FEMMOD(Index NUMEL, Index NUMNP, const RealView& VX, const RealView& VY, const RealView& VZ,
            const RealView& PSI, const RealView& Z, const RealView& NVX, const RealView& NVY,
            const RealView& NVZ, const RealView& Q, const RealView& TH, const RealView& NTH,
            const IntView& MTYP, double TIME, Index NSTEP, const IntView& EFLAG,
            const IntView& NFLAG, const MaterialTable& mat, WriterCounters& cnt);
// Output set 450 and vectors 10, 11 of the output mesh.
void FEMMSH(const OutputMesh& mesh, double TIME, Index NSTEP, WriterCounters& cnt);

// ---- MicroAVS "AVS.INP" through "AVS.tmp" (form 3, mesh form 3) ----------------------------
// One step block of the 3-D model on unit 8; NVX, NVY, NVZ, NCNT are overwritten.
void AVSMOD(const RealView& Z, const RealView& PSI, const RealView& NVX, const RealView& NVY,
            const RealView& NVZ, const RealView& VX, const RealView& VY, const RealView& VZ,
            const IntView& NCNT, const NodView& NOD, Index NUMNP, Index NUMEL, Index NPEMAX,
            double TIME, const IntView& EFLAG, const IntView& NFLAG, WriterCounters& cnt);
// One step block of the output mesh on unit 8.
void AVSMSH(const OutputMesh& mesh, double TIME, WriterCounters& cnt);
// Assembly of "AVS.INP" from "AVS.tmp": the 3-D model's, and the output mesh's.
void AVSINP3(const RealView& X, const RealView& Y, const RealView& Z, const NodView& NOD,
             const IntView& MTYP, Index NUMNP, Index NUMEL, Index NPEMAX, const IntView& EFLAG,
             const IntView& NFLAG, const WriterCounters& cnt);
void AVSINP2(const OutputMesh& mesh, const WriterCounters& cnt);

// ---- PLOXEN plan and section blocks (mesh forms 4 and 5) -----------------------------------
void WRPLOXEN(const OutputMesh& mesh, double TIME, Index NSTEP, Index MFORM);

// ---- Point location and INTERP "INTERP.TXT" (form 4) ---------------------------------------
// Fills the tetrahedron split table.
void TETTAB();
// Locates every output-mesh point in a tetrahedron of the model (once, before the step loop).
void LOCPTS(const OutputMesh& mesh, PointWeights& pts, const RealView& X, const RealView& Y,
            const RealView& Z, const NodView& NOD, Index NUMEL, Index NPEMAX);
// For one written time: the heads HP, PP at the points from the pressure heads P, then the
// INTERP section (no cells) or the output-mesh zone of MFORM (through write_mesh_zone).
void INTERP(OutputMesh& mesh, const PointWeights& pts, const RealView& P, const RealView& Z,
            double TIME, Index NSTEP, Index MFORM, WriterCounters& cnt);

// ---- Restart "RESTART.DAT" (form 9) --------------------------------------------------------
struct RestartAnswers {
    double TRST = 0.0;
    Index IHEAD = 0;
    Index IFLOW = 0;
};
// The restart questions (time, head kind, flow kind).
void RSTASK(RestartAnswers& ans);
// The restart test for one block: true once "RESTART.DAT" is written (the run then ends);
// false when the block does not reach TRST (PSIRST, QRST, KODRST then take the block's values).
bool WRRST(const RestartAnswers& ans, const RealView& PSI, const RealView& Q, const IntView& KODE,
           double TIME, double TPREV, const RealView& PSIRST, const RealView& QRST,
           const IntView& KODRST, const RealView& QINIT, const RealView& X, const RealView& Y,
           const RealView& Z, const std::string& TITLE, Index NUMNP);

// No pair of blocks brackets the restart time: one line on standard error naming it and the
// times the blocks span (from first_time to last_time, time 0 included), then stop 2222.
[[noreturn]] void restart_not_bracketed(const RestartAnswers& ans, std::int64_t blocks,
                                        double first_time, double last_time);

// ---- Dispatch shared with the form-4 writers -----------------------------------------------
// The output-mesh writer of mesh form MFORM (1 TECMSH, 2 FEMMSH, 3 AVSMSH, 4 and 5 WRPLOXEN;
// any other value writes nothing).
void write_mesh_zone(Index MFORM, OutputMesh& mesh, WriterCounters& cnt, double TIME, Index NSTEP);

}  // namespace cnv
