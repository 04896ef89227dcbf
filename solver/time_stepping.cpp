// Time stepping of the solution: problem kinds, step growth, landing on TMAX and on event
// times, step cuts with the restoring of the step's starting state, and the ends.
#include <cmath>
#include <span>

#include "recordio/recordio.hpp"
#include "boundary_groups.hpp"
#include "solution.hpp"
#include "result_file.hpp"

namespace sol {

namespace {

// Event-time tolerance: single-precision 1.0E-5 widened to double.
constexpr double kEventTol = double(1.0E-5f);

template <class T>
std::span<T> whole(const Span1<T>& a) { return a.span(); }
template <class T>
std::span<T> whole(const Span2<T>& a) { return a.span(); }

template <class T>
void copy(const Span1<T>& from, const Span1<T>& to) {
    std::copy(from.data(), from.data() + from.size(), to.data());
}

// Saves (save = true) or restores the step's starting state: the nodal and element state in
// memory copies (STORE = 1) or as the first record of unit 3, then the boundary groups and
// the rain faces as records of unit 3, each array whole.
void keep_state(SolverRun& run, SolutionArrays& s, bool save) {
    const MeshArrays& m = run.mesh;
    // One record of whole arrays, written or read back in the same order.
    auto record = [save](auto... arrays) {
        if (save)
            rio::write_unf(3, {rio::Item(arrays)...});
        else
            rio::read_unf(3, {rio::Target(arrays)...});
    };
    auto move = [save](const auto& live, const auto& kept) {
        if (save)
            copy(live, kept);
        else
            copy(kept, live);
    };
    rio::rewind(3);
    if (run.ctl.STORE == 1) {
        move(m.PSI, s.PSI_S);
        move(s.HOLD, s.HOLD_S);
        move(m.Q, s.Q_S);
        move(m.QINIT, s.QINIT_S);
        move(m.KODE, s.KODE_S);
        move(m.MTYP, s.MTYP_S);
    } else {
        record(whole(m.PSI), whole(s.HOLD), whole(m.Q), whole(m.KODE), whole(m.MTYP),
               whole(m.QINIT));
    }
    record(whole(s.IHBN), whole(s.NHN), whole(s.IQBN), whole(s.NQN), whole(m.IFSEEP),
           whole(m.KSEEP));
    record(whole(s.IRFACE), whole(s.IRT), whole(s.IET), whole(s.RFACE));
}

void write_step_header(const SolverRun& run, const DriverState& d) {
    const char* fmt = "(/20X,20A4/20X,'TIME =',1PE13.5,5X,'TIME STEP =',I4/)";
    rio::write(run.units.IW, fmt, {rio::Item::words(run.ctl.TITLE, 4), d.TIME, d.NSTEP});
    rio::write(rio::kConsoleOut, fmt, {rio::Item::words(run.ctl.TITLE, 4), d.TIME, d.NSTEP});
}

// Next step length after an accepted unsteady step: growth, then landing on TMAX, then on
// the next event time not above TMAX.
void next_step(const Control& c, DriverState& d) {
    if (c.DTMAX > d.DT) d.DT = d.DT * c.FACT;
    if (d.DT > c.DTMAX) d.DT = c.DTMAX;
    double T1 = d.TIME + d.DT;
    if (T1 > c.TMAX || 0.2 * d.DT > std::abs(d.DT + d.TIME - c.TMAX)) {
        d.DT = c.TMAX - d.TIME;
        T1 = d.TIME + d.DT;
    }
    if (d.event_pointer <= d.NEVTIM && d.TEVENT[d.event_pointer - 1] <= d.TIME + kEventTol &&
        d.landing == 1)
        ++d.event_pointer;
    d.landing = 0;
    // An event already passed would give a negative step: it is skipped.
    while (d.event_pointer <= d.NEVTIM && d.TEVENT[d.event_pointer - 1] <= d.TIME) ++d.event_pointer;
    if (d.event_pointer <= d.NEVTIM) {
        const double t = d.TEVENT[d.event_pointer - 1];
        // Events beyond TMAX are never landed on: no step may end past TMAX.
        if (t <= c.TMAX && (T1 > t || 0.2 * d.DT > std::abs((t - d.TIME) - d.DT))) {
            d.DT = t - d.TIME;
            T1 = d.TIME + d.DT;
            d.landing = 1;
        }
    }
    d.TIME = T1;
}

// An unsteady pass with a step that is not positive would never reach TMAX.
void check_step_length(const SolverRun& run, const DriverState& d) {
    if (d.NSTEP >= 1 && !(d.DT > 0.0)) {
        rio::write(run.units.IW, "(' ** ERROR ** TIME STEP DATA -- Group F ')");
        rio::write(run.units.IW,
                   "(' ** ERROR ** TIME STEP NOT POSITIVE: DT =',1PE13.5,' AT TIME =',1PE13.5)",
                   {d.DT, d.TIME});
        rio::stop(3333);
    }
}

}  // namespace

SolutionEnd SOLUTN(SolverRun& run, SolutionArrays& s, std::int64_t NWK) {
    Control& c = run.ctl;
    const Units& u = run.units;
    DriverState d;
    d.DT = c.DT;
    d.DTOLD = c.DT;

    // 1-2. The head, flux, change and material-change groups; stop 3333 on an error.
    read_solution_groups(run, s);
    // 3. Active elements and nodes.
    SETACT(c, run.mesh, s);
    // 4. The event times the steps land on; without them steps land only on TMAX.
    if (c.IEVOFF == 0) d.TEVENT = EVTIME(event_sources(c, s));
    d.NEVTIM = static_cast<int>(d.TEVENT.size());
    // Heads at the start of the step begin as zeros.
    std::fill(s.HOLD.data(), s.HOLD.data() + s.HOLD.size(), 0.0);

    // 5. Start of the time loop.
    if (c.KIND < 0) {
        d.TIME = d.DT;
        d.NSTEP = 1;
    } else {
        d.TIME = 0.0;
        d.NSTEP = 0;
    }
    d.CUMUL = 0.0;

    for (;;) {
        // One pass of a step.
        check_step_length(run, d);
        boundary_conditions(run, s, d);
        write_step_header(run, d);
        if (d.LAA < 1)
            keep_state(run, s, true);
        else
            rio::write(u.IW, "(//20X,'RECUL=',I5//)", {d.LAA});
        nodal_fluxes(run, s);

        const PassOutcome outcome = RESET(run, s, d, NWK);
        if (outcome == PassOutcome::Abandoned) return SolutionEnd::Unfinished;
        if (outcome == PassOutcome::Cut) {
            d.LAA = d.LAA + 1;
            d.ITER = 0;
            d.TIME = (d.TIME - d.DT) + d.DT * 0.5;
            d.DT = d.DT * 0.5;
            if (d.LAA >= c.NCUL) {
                rio::write(u.IW, "(//' ***LAA .GE. NCUL*********************')");
                return SolutionEnd::Unfinished;
            }
            keep_state(run, s, false);
            continue;
        }

        accepted_outputs(run, s, d);

        bool ended = false;
        if (c.KIND > 0) {
            ended = true;
        } else {
            d.NSTEP = d.NSTEP + 1;
            d.DTOLD = d.DT;
            // The run ends once TIME has reached TMAX (within a thousandth of the step).
            if (d.TIME >= c.TMAX - 0.001 * d.DT) ended = true;
        }
        if (ended) {
            rio::write(u.IW, "(//' ******GET GOOD RESULT*******')");
            if (c.KIND != -2) return SolutionEnd::Good;
            // Unsteady then steady: one more steady pass on the arrays as the run left them.
            c.KIND = 1;
            d.NSTEP = 0;
            d.TIME = 0.0;
            d.CUMUL = 0.0;
            d.ITER = 0;
            d.LAA = 0;
            continue;
        }
        next_step(c, d);
        d.ITER = 0;
        d.LAA = 0;
    }
}

}  // namespace sol
