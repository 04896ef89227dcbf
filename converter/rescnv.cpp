// Conversion step loop: model part, time-0 output, blocks written as read or interpolated at
// the output times.
#include "rescnv.hpp"

#include <algorithm>
#include <cmath>
#include <string>

#include "first_menu.hpp"
#include "point_location.hpp"
#include "prompts.hpp"
#include "recordio/recordio.hpp"
#include "refusal.hpp"
#include "result_file.hpp"
#include "writers.hpp"

namespace cnv {

namespace {

using pp::prompt;

// The values one written time shows: a block's own, or those interpolated at an output time.
struct TimeValues {
    const Span1<double>& PSI;
    const Span1<double>& Q;
    const Span1<double>& VX;
    const Span1<double>& VY;
    const Span1<double>& VZ;
    const Span1<double>& TH;
};

class StepLoop {
public:
    StepLoop(Slices& s, const std::string& TITLE, std::int32_t IFORM, std::int32_t NTOUT,
             std::int32_t ITSPEC, ConverterState& st)
        : s_(s), TITLE_(TITLE), IFORM_(IFORM), NTOUT_(NTOUT), ITSPEC_(ITSPEC), st_(st) {}

    void run();

private:
    void ask_mesh_form();
    void set_flags();
    void write_form(const TimeValues& v, double label);
    void write_form4(const Span1<double>& P, double label);
    void interpolate(double t);
    bool output_time_path();
    void keep_previous();

    Slices& s_;
    const std::string& TITLE_;
    const std::int32_t IFORM_, NTOUT_, ITSPEC_;
    ConverterState& st_;
    std::int32_t MFORM_ = 0;
    std::int32_t MATMAX_ = 1;
    std::int32_t NSTEP_ = 0;
    double TIME_ = 0.0;
    double TPREV_ = 0.0;
    // The output-mesh writers run beside the 3-D writers of forms 0 to 3 only for a mesh form of
    // the same format: another format's blocks would land in the middle of this file.
    bool mesh_writers_ = false;
};

void StepLoop::ask_mesh_form() {
    for (std::string_view line : {pp::kFormMenuHead, pp::kFormTecplot, pp::kFormFemap,
                                  pp::kFormMicroAvs, pp::kMeshPloxenPlan, pp::kMeshPloxenSection,
                                  pp::kMeshSectionNote}) {
        prompt(line);
    }
    MFORM_ = pp::ask_int();
}

void StepLoop::set_flags() {
    const std::int64_t N = s_.NUMNP, E = s_.NUMEL;
    for (std::int64_t e = 1; e <= E; ++e) s_.EFLAG(e) = s_.MTYP(e) < 0 ? 1 : 0;
    // A node that no element lists, flagged or not, is left out.
    std::fill_n(s_.NFLAG.data(), N, 1);
    for (std::int64_t e = 1; e <= E; ++e) {
        for (std::int64_t k = 1; k <= s_.NPEMAX; ++k) {
            const std::int32_t n = s_.NOD(k, e);
            if (n > 0) s_.NFLAG(n) = 0;
        }
    }
    // The initial flows and the restart copies serve only the restart output.
    if (IFORM_ == 9) {
        std::copy_n(s_.Q.data(), N, s_.QINIT.data());
        std::copy_n(s_.PSI.data(), N, s_.PSIRST.data());
        std::copy_n(s_.Q.data(), N, s_.QRST.data());
        std::copy_n(s_.KODE.data(), N, s_.KODRST.data());
    }
    MATMAX_ = 1;
    for (std::int64_t e = 1; e <= E; ++e) MATMAX_ = std::max(MATMAX_, s_.MTYP(e));
}

// The writers of the output form for one written time (forms 4 and 9 are handled apart).
void StepLoop::write_form(const TimeValues& v, double label) {
    Slices& s = s_;
    switch (IFORM_) {
    case 0:
        LSTNOD(v.Q, v.PSI, s.Z, s.NUMNP, TITLE_, label, NSTEP_, s.NFLAG);
        LSTELM(v.VX, v.VY, v.VZ, s.NUMEL, TITLE_, label, NSTEP_, s.EFLAG);
        break;
    case 1:
        TECMOD(s.X, s.Y, s.Z, v.PSI, s.NVX, s.NVY, s.NVZ, v.VX, v.VY, v.VZ, v.TH, s.NTH, s.NCNT,
               s.NOD, s.NUMNP, s.NUMEL, s.NPEMAX, TITLE_, label, s.EFLAG, s.NFLAG);
        break;
    case 2:
        FEMAVG(s.Z, v.PSI, s.NVX, s.NVY, s.NVZ, v.VX, v.VY, v.VZ, v.Q, v.TH, s.NTH, s.NCNT, s.NOD,
               s.NUMNP, s.NUMEL, s.NPEMAX, s.MTYP, label, NSTEP_, s.EFLAG, s.NFLAG, st_.mat,
               st_.cnt);
        break;
    case 3:
        AVSMOD(s.Z, v.PSI, s.NVX, s.NVY, s.NVZ, v.VX, v.VY, v.VZ, s.NCNT, s.NOD, s.NUMNP,
               s.NUMEL, s.NPEMAX, label, s.EFLAG, s.NFLAG, st_.cnt);
        break;
    case 4:
        write_form4(v.PSI, label);
        break;
    default:
        break;  // forms 5 to 8 and other values write no result
    }
}

// Form 4: heads at the output-mesh points, as an INTERP section or an output-mesh zone.
void StepLoop::write_form4(const Span1<double>& P, double label) {
    INTERP(st_.mesh, st_.pts, P, s_.Z, label, NSTEP_, MFORM_, st_.cnt);
}

// Values at output time t, TPREV < t <= TIME: each the sum of the two products divided by d.
void StepLoop::interpolate(double t) {
    const double a = t - TPREV_, b = TIME_ - t, d = TIME_ - TPREV_;
    Slices& s = s_;
    const std::int64_t N = s.NUMNP, E = s.NUMEL;
    for (std::int64_t i = 1; i <= N; ++i) {
        s.PSIOUT(i) = (s.PSI(i) * a + s.PSIPRV(i) * b) / d;
        s.QOUT(i) = (s.Q(i) * a + s.QPRV(i) * b) / d;
    }
    for (std::int64_t e = 1; e <= E; ++e) {
        s.VXOUT(e) = (s.VX(e) * a + s.VXPRV(e) * b) / d;
        s.VYOUT(e) = (s.VY(e) * a + s.VYPRV(e) * b) / d;
        s.VZOUT(e) = (s.VZ(e) * a + s.VZPRV(e) * b) / d;
        s.THOUT(e) = (s.TH(e) * a + s.THPRV(e) * b) / d;
    }
}

// Writes every output time in (TPREV, TIME], in list order; false when the loop ends here
// (no output time at all, or every one already written: this block stays unwritten).
bool StepLoop::output_time_path() {
    Slices& s = s_;
    std::int64_t done = 0;
    for (std::int64_t j = 1; j <= NTOUT_; ++j) done += s.DONE(j) == 1 ? 1 : 0;
    if (NTOUT_ == 0 || done >= NTOUT_) return false;
    const TimeValues out{s.PSIOUT, s.QOUT, s.VXOUT, s.VYOUT, s.VZOUT, s.THOUT};
    for (std::int64_t j = 1; j <= NTOUT_; ++j) {
        const double t = s.TOUT(j);
        if (!(TPREV_ < t && t <= TIME_)) continue;
        s.DONE(j) = 1;
        interpolate(t);
        write_form(out, t);
    }
    // Form 4 also writes the block's own heads.
    if (IFORM_ == 4) write_form4(s.PSI, TIME_);
    return true;
}

void StepLoop::keep_previous() {
    Slices& s = s_;
    const std::int64_t N = s.NUMNP, E = s.NUMEL;
    TPREV_ = TIME_;
    // The previous block's values serve only the interpolation at output times still to write.
    if (ITSPEC_ != 1) return;
    std::int64_t done = 0;
    for (std::int64_t j = 1; j <= NTOUT_; ++j) done += s.DONE(j) == 1 ? 1 : 0;
    if (done >= NTOUT_) return;
    std::copy_n(s.PSI.data(), N, s.PSIPRV.data());
    std::copy_n(s.Q.data(), N, s.QPRV.data());
    std::copy_n(s.VX.data(), E, s.VXPRV.data());
    std::copy_n(s.VY.data(), E, s.VYPRV.data());
    std::copy_n(s.VZ.data(), E, s.VZPRV.data());
    std::copy_n(s.TH.data(), E, s.THPRV.data());
}

void StepLoop::run() {
    Slices& s = s_;
    OutputMesh& mesh = st_.mesh;
    const std::int64_t E = s.NUMEL;

    // 1. The rest of the output data file, the plot origin and the mesh form.
    if (ITSPEC_ == 1 || IFORM_ == 4) read_output_data(s.TOUT, s.DONE, NTOUT_, mesh);
    double XMIN = mesh.XP(1), YMIN = mesh.YP(1);
    for (std::int32_t i = 1; i <= mesh.NPT; ++i) {
        XMIN = std::min(XMIN, mesh.XP(i));
        YMIN = std::min(YMIN, mesh.YP(i));
    }
    if (mesh.NCELL != 0) {
        ask_mesh_form();
        // "AVS.tmp" of form 3 is already open and still empty. The output data file is still
        // open, so a data file that is "AVS.tmp" (or a link to it) is refused (error 30) before
        // it is emptied.
        if (MFORM_ == 3 && rio::unit_name(kAvsTmpUnit).empty()) {
            rio::open(kAvsTmpUnit, "AVS.tmp", rio::Status::Replace, rio::Form::Formatted);
        }
        if (MFORM_ == 5) {
            for (std::int32_t i = 1; i <= mesh.NPT; ++i) {
                const double dx = mesh.XP(i) - XMIN, dy = mesh.YP(i) - YMIN;
                mesh.DSEC(i) = std::sqrt(dx * dx + dy * dy);
            }
        }
    }
    rio::close(kDataUnit);
    mesh_writers_ = IFORM_ < 0 || IFORM_ > 3 || (IFORM_ == 1 && MFORM_ == 1) ||
                    (IFORM_ == 2 && MFORM_ == 2);

    // 2. Model part. FEMAP writes one property group for each material number up to the
    //    largest, numbered in I5: a larger number (a damaged file) is refused before anything
    //    is written, instead of millions of groups.
    pp::read_model_part(kProgram, pp::kResultUnit, s.NUMNP, s.NUMEL, s.NPEMAX, s.X, s.Y, s.Z,
                        s.PSI, s.Q, s.KODE, s.NOD, s.MTYP, pp::Connectivity::Indexed,
                        IFORM_ == 2 ? kMaxFemapProperty : kIndexMax);

    // 3. Form 4 locates the output-mesh points once.
    if (IFORM_ == 4) {
        TETTAB();
        LOCPTS(mesh, st_.pts, s.X, s.Y, s.Z, s.NOD, s.NUMEL, s.NPEMAX);
    }

    // 4. Flags, initial flows, restart copies, largest material number.
    set_flags();

    // 5. FEMAP model blocks.
    if (IFORM_ == 2) FEMGEO3(s.X, s.Y, s.Z, s.NOD, s.NUMNP, s.NUMEL, s.MTYP, MATMAX_, s.NPEMAX,
                             s.EFLAG, s.NFLAG, st_.cnt);
    if (MFORM_ == 2 && mesh_writers_) FEMGEO2(mesh, st_.cnt);

    // 6. The model part as the state at time 0.
    std::fill_n(s.VX.data(), E, 0.0);
    std::fill_n(s.VY.data(), E, 0.0);
    std::fill_n(s.VZ.data(), E, 0.0);
    std::fill_n(s.TH.data(), E, 0.0);
    TIME_ = 0.0;
    NSTEP_ = 0;
    const TimeValues block{s.PSI, s.Q, s.VX, s.VY, s.VZ, s.TH};
    if (IFORM_ == 1 || IFORM_ == 2) write_form(block, 0.0);
    if (mesh_writers_ && MFORM_ != 3) {
        // Form 4 shows the initial heads on its time-0 zone, as on every later one.
        if (IFORM_ == 4) {
            for (std::int32_t i = 1; i <= mesh.NPT; ++i) point_heads(mesh, st_.pts, s.PSI, s.Z, i);
        }
        write_mesh_zone(MFORM_, mesh, st_.cnt, 0.0, 0);
    }

    // 7. Restart questions.
    RestartAnswers rst;
    if (IFORM_ == 9) RSTASK(rst);

    // 8. The previous step is the state at time 0.
    keep_previous();

    // 9. Step loop.
    std::int64_t blocks = 0;
    bool restart_written = false;
    // Times the blocks span with the state at time 0 (a last steady block may come back to 0).
    double first_time = 0.0, last_time = 0.0;
    for (;;) {
        if (!pp::read_step_head(pp::kResultUnit, NSTEP_, TIME_)) break;
        ++blocks;
        first_time = std::min(first_time, TIME_);
        last_time = std::max(last_time, TIME_);
        rio::write(rio::kConsoleOut, "*", {"READ TIME=", TIME_});
        (void)pp::read_step_values(pp::kResultUnit, false, s.NUMNP, s.NUMEL, s.PSI, s.Q, s.KODE,
                                   s.VX, s.VY, s.VZ, s.TH);
        if (ITSPEC_ == 1 && NSTEP_ != 0) {
            if (!output_time_path()) break;
        } else {
            write_form(block, TIME_);
            if (IFORM_ == 9 &&
                WRRST(rst, s.PSI, s.Q, s.KODE, TIME_, TPREV_, s.PSIRST, s.QRST, s.KODRST,
                      s.QINIT, s.X, s.Y, s.Z, TITLE_, s.NUMNP)) {
                restart_written = true;
                break;
            }
        }
        keep_previous();
    }

    // A restart time that no pair of blocks brackets leaves nothing to write: a failure.
    if (IFORM_ == 9 && !restart_written) {
        restart_not_bracketed(rst, blocks, first_time, last_time);
    }

    // 10. MicroAVS assembly of the blocks written: the 3-D model's under form 3, the output
    //     mesh's only under form 4 (form 3 writes no mesh block, whatever the mesh form).
    if (IFORM_ == 3) AVSINP3(s.X, s.Y, s.Z, s.NOD, s.MTYP, s.NUMNP, s.NUMEL, s.NPEMAX, s.EFLAG,
                             s.NFLAG, st_.cnt);
    if (IFORM_ == 4 && MFORM_ == 3) AVSINP2(mesh, st_.cnt);
}

}  // namespace

void write_mesh_zone(std::int32_t MFORM, OutputMesh& mesh, WriterCounters& cnt, double TIME,
                     std::int32_t NSTEP) {
    switch (MFORM) {
    case 1: TECMSH(mesh, TIME, NSTEP); break;
    case 2: FEMMSH(mesh, TIME, NSTEP, cnt); break;
    case 3: AVSMSH(mesh, TIME, cnt); break;
    case 4:
    case 5: WRPLOXEN(mesh, TIME, NSTEP, MFORM); break;
    default: break;  // no output-mesh writer
    }
}

void RESCNV(Slices& s, const std::string& TITLE, std::int32_t IFORM, std::int32_t NTOUT,
            std::int32_t ITSPEC, ConverterState& st) {
    StepLoop(s, TITLE, IFORM, NTOUT, ITSPEC, st).run();
}

}  // namespace cnv
