// Main routine of the solver: start-up and files, model input, the mesh check and its end.
#include <algorithm>
#include <climits>
#include <memory>
#include <new>

#include "element_check.hpp"
#include "input.hpp"
#include "recordio/recordio.hpp"
#include "result_file.hpp"
#include "solver_run.hpp"

namespace sol {

namespace {

constexpr int kFileList = 98;
constexpr int kConsoleOut = rio::kConsoleOut;
constexpr int kConsoleIn = rio::kConsoleIn;
constexpr Index kDefaultBD = 1000000;
constexpr Index kDefaultIB = 1600000;

// Names of the files of a run, as CHARACTER*20 values.
struct FileNames {
    std::string work = std::string(20, ' ');      // unit 1, the working copy
    std::string matrix = std::string(20, ' ');    // unit 2
    std::string state = std::string(20, ' ');     // unit 3
    std::string iterate = std::string(20, ' ');   // unit 4
    std::string second = std::string(20, ' ');    // unit 9
    std::string result = std::string(20, ' ');    // unit 10
    std::string input = std::string(20, ' ');     // unit 5
    std::string listing = std::string(20, ' ');   // unit 6
};

// Start-up: the file list (or the console), the work arrays, the units and the working copy
// of the model file on unit IR, rewound.
void start_up(SolverRun& run) {
    FileNames f;
    Index mtotbd = 0, mtotib = 0;

    // 1. "WORK.LST": six names, the two lengths, the model file and the listing. A list that
    // ends at line 7, 8 or 9 leaves the two names to the console.
    rio::open(kFileList, "WORK.LST", rio::Status::Old, rio::Form::Formatted);
    for (std::string* name : {&f.work, &f.matrix, &f.state, &f.iterate, &f.second, &f.result}) {
        rio::read(kFileList, "(A20)", {*name});
    }
    const bool prompt = !rio::read_or_end(kFileList, "*", {mtotbd}) ||
                        !rio::read_or_end(kFileList, "*", {mtotib}) ||
                        !rio::read_or_end(kFileList, "(A20)", {f.input});
    if (!prompt) {
        rio::read(kFileList, "(A20)", {f.listing});
        rio::close(kFileList);
    }

    // 2. Work arrays, zeroed: slices not read hold 0.
    WorkArrays& w = run.work;
    w.MTOTBD = mtotbd < 1 ? kDefaultBD : mtotbd;
    w.MTOTIB = mtotib < 1 ? kDefaultIB : mtotib;
    try {
        w.BD = core::allocate_storage<double>(w.MTOTBD, core::Pages::Normal);
        w.IB = core::allocate_storage<Index>(w.MTOTIB, core::Pages::Normal);
    } catch (const std::bad_alloc&) {
        rio::fatal(41, 0);
    }

    // 3. Scratch, working-copy and result units.
    rio::open(2, f.matrix, rio::Status::Unknown, rio::Form::Unformatted);
    rio::open(3, f.state, rio::Status::Unknown, rio::Form::Unformatted);
    rio::open(4, f.iterate, rio::Status::Unknown, rio::Form::Unformatted);
    rio::open(run.units.IR, f.work, rio::Status::Unknown, rio::Form::Formatted);
    rio::open(9, f.second, rio::Status::Unknown, rio::Form::Formatted);
    rio::open(run.units.IPOST, f.result, rio::Status::Unknown, rio::Form::Formatted);

    // 4. The two names from the console when the list was short.
    if (prompt) {
        rio::write(kConsoleOut, "(//' KEY IN INPUT DATA FILE NAME [EX. B:DATA1.DAT] ====> ')");
        rio::read(kConsoleIn, "(A20)", {f.input});
        rio::write(kConsoleOut, "(/' KEY IN OUTPUT FILE NAME     [EX. B:DATA1.PRN] ====> ')");
        rio::read(kConsoleIn, "(A20)", {f.listing});
    }
    rio::open(5, f.input, rio::Status::Old, rio::Form::Formatted);
    rio::open(run.units.IW, f.listing, rio::Status::Unknown, rio::Form::Formatted);
    // The listing and both result files are rewritten by every run: emptied now, so that a
    // run stopping before its first record leaves none of an earlier run's results. Not
    // before: until the model file is open it could be one of them, and would be lost.
    rio::endfile(9);
    rio::endfile(run.units.IPOST);
    rio::endfile(run.units.IW);

    // 5. Working copy: every line cut or padded to 90 columns. It is emptied first, so that an
    // empty model file gives an empty copy, not the model of an earlier run.
    rio::endfile(run.units.IR);
    std::string line(90, ' ');
    while (rio::read_or_end(5, "(A90)", {line})) rio::write(run.units.IR, "(A90)", {line});
    rio::rewind(run.units.IR);
    // A fatal read error in the working copy then also names the model file's line.
    rio::set_copy_of(run.units.IR, rio::unit_name(5));
}

// First dimension check: the mesh part of both work arrays.
void check_mesh_dimension(SolverRun& run) {
    run.mesh_totals = mesh_totals(run.ctl);
    dimension_check(run, run.mesh_totals.BD1, run.mesh_totals.IB1, 1111);
}

// Stop code of a run ended by errors in the mesh or in the data read before it.
constexpr int kMeshErrorStop = 6666;

// Mesh-check-only end: the step-0 block and the closing lines. A check of a sound mesh closes
// with the good-end line and ends normally; a run that found errors ends its listing with the
// mesh-check line, so that it does not read as a success, and stops with 6666.
[[noreturn]] void mesh_check_end(SolverRun& run, bool errors) {
    WRPLT0(run.ctl, run.units, run.mesh);
    rio::write(run.units.IW, "(//'  ***** MESH CHECK ONLY !!!! *****')");
    if (errors) rio::stop(kMeshErrorStop);
    rio::write(run.units.IW, "(//'  ***GOOD, GOOD****')");
    rio::stop();
}

}  // namespace

void dimension_check(const SolverRun& run, std::int64_t bd, std::int64_t ib, int code) {
    const int IW = run.units.IW;
    const std::int64_t MTOTBD = run.work.MTOTBD, MTOTIB = run.work.MTOTIB;
    rio::write(IW, "(///'  MESH CHECK DIMENSION','  BD( ',I10,' )','IB( ',I10,')')",
               {clamp32(bd), clamp32(ib)});
    if (MTOTBD < bd || MTOTIB < ib) {
        rio::write(IW, "(//' MTOTBD=',I10,'  MTOTIB=',I10)",
                   {clamp32(bd - MTOTBD), clamp32(ib - MTOTIB)});
        rio::stop(code);
    }
}

void SOLMAIN() {
    auto owner = std::make_unique<SolverRun>();
    SolverRun& run = *owner;
    Control& ctl = run.ctl;
    Units& u = run.units;
    InputState& in = run.input;

    // 1. Start-up and header records.
    start_up(run);
    read_header_records(ctl, u, run.mat, run.hist);

    // 2. The mesh part of the work arrays.
    check_mesh_dimension(run);
    run.mesh = cut_mesh(run.work, ctl);
    MeshArrays& mesh = run.mesh;

    // 3.-7. Groups D to KB.
    RDELEM(ctl, u, in, mesh);
    if (ctl.MAXSEP > 0) RDSEEP(ctl, u, in, mesh);
    RDTIME(ctl, u, in);
    RDPROP(ctl, u, in, run.mat, mesh.tab, mesh.MTYP);
    const int node_errors = NPIN(ctl, u, in, mesh);

    // 8. Result-file header.
    WRHEAD(ctl, u, mesh);

    // 9. Element check.
    const int element_errors = CHKELM(ctl, u, mesh);

    // 10. A node or element error, a reading error, or a request ends with the mesh check.
    const bool errors = node_errors > 0 || element_errors == 1 || in.read_error != 0;
    if (errors || ctl.MESHCK > 0) mesh_check_end(run, errors);

    // 11.-19. Matrix structure, solution and the normal end.
    run_solution_stage(run);
}

}  // namespace sol
