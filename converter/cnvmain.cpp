// Converter dialogue: material table, result file, output form, output times, work arrays.
#include "cnvmain.hpp"

#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "first_menu.hpp"
#include "prompts.hpp"
#include "recordio/recordio.hpp"
#include "refusal.hpp"
#include "rescnv.hpp"
#include "work_arrays.hpp"

namespace cnv {

namespace {

using pp::ask_int;
using pp::prompt;

// Output forms: 0 result list, 1 TECPLOT, 2 FEMAP, 3 MicroAVS, 4 INTERP, 9 RESTART. The output
// files start empty (an older file's tail never survives a shorter run) once opened with
// Replace; Unknown leaves them as they are.
void open_output_file(std::int32_t IFORM, rio::Status status) {
    auto open_out = [status](int unit, const char* name) {
        rio::open(unit, name, status, rio::Form::Formatted);
    };
    if (IFORM == 0) {
        open_out(kOutUnit, "OUTPUT.TXT");
    } else if (IFORM == 1) {
        open_out(kOutUnit, "TECPLOT.TXT");
    } else if (IFORM == 2) {
        open_out(kOutUnit, "FEMAP.NEU");
    } else if (IFORM == 3) {
        open_out(kOutUnit, "AVS.INP");
        open_out(kAvsTmpUnit, "AVS.tmp");
    } else if (IFORM == 9) {
        open_out(kOutUnit, "RESTART.DAT");
    } else if (IFORM == 4) {
        open_out(kOutUnit, "INTERP.TXT");
    }
}

}  // namespace

void read_material_table(MaterialTable& mat) {
    // A table that is not a readable regular file (missing, a directory, a FIFO that would wait
    // for a writer, a device that never ends) is no error: nothing is written and the table
    // stays 0.0.
    struct stat info {};
    if (::stat("MAT.LST", &info) != 0 || !S_ISREG(info.st_mode) || ::access("MAT.LST", R_OK) != 0) {
        return;
    }
    rio::open(kMatUnit, "MAT.LST", rio::Status::Old, rio::Form::Formatted);
    for (std::int32_t r = 1;; ++r) {
        double a = 0.0, b = 0.0, c = 0.0;
        if (!rio::read_or_end(kMatUnit, "(5X,3F10.0)", {a, b, c})) break;
        if (r > kMaxMaterialRows) {
            pp::refuse(kProgram, "MAT.LST", r,
                       "more than " + std::to_string(kMaxMaterialRows) + " material rows");
        }
        mat.MATT(r, 1) = a;
        mat.MATT(r, 2) = b;
        mat.MATT(r, 3) = c;
    }
    // Closed, and guarded for the rest of the run: an output file that is "MAT.LST" under
    // another name or link is refused (error 30) before it could empty the table.
    rio::close_guarded(kMatUnit);
    mat.MATREAD = 1;
}

void CNVMAIN() {
    ConverterState st;
    // 1-2. Writer counters start at 0 and the writers' units at 6; the optional material table.
    read_material_table(st.mat);

    // 3-8. Result file, title and counts.
    const pp::ResultHead head = pp::first_menu(kProgram);

    // 9-10. Output form and its file.
    for (std::string_view line : {pp::kFormMenuHead, pp::kFormList, pp::kFormTecplot, pp::kFormFemap,
                                  pp::kFormMicroAvs, pp::kFormSpacer, pp::kFormInterp,
                                  pp::kFormSpacer, pp::kFormRestart}) {
        prompt(line);
    }
    const std::int32_t IFORM = ask_int();
    // Forms 0 to 4 may still name an output data file. Its open refuses a file already open
    // here (error 30), so the output files are emptied only after it: a data file named like
    // one of them, or linked to one, survives.
    const bool data_may_follow = IFORM >= 0 && IFORM <= 4;
    open_output_file(IFORM, data_may_follow ? rio::Status::Unknown : rio::Status::Replace);

    // 11-12. Output times: asked for forms 1 to 8, always used by form 0.
    std::int32_t NTOUT = 1;
    std::int32_t ITSPEC = 0;
    if (IFORM >= 1 && IFORM <= 8) {
        prompt(pp::kTimesAsk);
        prompt(pp::kTimesNo);
        prompt(pp::kTimesYes);
        ITSPEC = ask_int();
    } else if (IFORM == 0) {
        ITSPEC = 1;
    }

    // 13. The output data file; form 4 needs its mesh even without output times.
    const bool data = ITSPEC == 1 || IFORM == 4;
    if (data) {
        prompt(pp::kDataFileName);
        std::string DATFIL(20, ' ');
        rio::read(rio::kConsoleIn, "(A20)", {DATFIL});
        rio::open(kDataUnit, DATFIL, rio::Status::Unknown, rio::Form::Formatted);
    }
    if (data_may_follow) open_output_file(IFORM, rio::Status::Replace);
    if (data) {
        rio::read(kDataUnit, "(I5)", {NTOUT});
        if (NTOUT < 0) {
            pp::refuse(kProgram, "output data file", rio::record_number(kDataUnit),
                       "NTOUT " + std::to_string(NTOUT) + " below 0");
        }
    }

    // 14. Work arrays sized from the counts, in 64-bit arithmetic.
    WorkArrays w = allocate_work(work_sizes(head.NUMNP, head.NUMEL, head.NPEMAX, NTOUT));
    Slices s = cut_slices(w, head.NUMNP, head.NUMEL, head.NPEMAX, NTOUT);

    // 15-16. The conversion; the program then ends normally.
    RESCNV(s, head.TITLE, IFORM, NTOUT, ITSPEC, st);
}

}  // namespace cnv
