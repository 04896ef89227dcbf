// Result-file reader shared by the converter and the history program.
#include "result_file.hpp"

#include <string>

#include "recordio/recordio.hpp"
#include "refusal.hpp"

namespace pp {

namespace {

// A dropped value: every iteration of the loop reads into the same place.
rio::Strided<Index> int_member(const Span1<Index>& a, Index& scratch) {
    if (a.data() == nullptr) return {&scratch, 1, 0};
    return {a.data(), 1, 1};
}

// One list-directed statement of a step block: a fatal end of the file unless `end_ok`, and
// with `unreadable` given an unreadable value that returns false quietly and sets it.
bool read_block_statement(int unit, bool end_ok, bool* unreadable, rio::Targets items) {
    if (unreadable != nullptr) {
        const rio::ReadOutcome r = rio::read_or_error(unit, "*", items);
        *unreadable = r == rio::ReadOutcome::Error;
        if (r == rio::ReadOutcome::End && !end_ok) rio::fatal(24, unit);
        return r == rio::ReadOutcome::Read;
    }
    if (!end_ok) {
        rio::read(unit, "*", items);
        return true;
    }
    return rio::read_or_end(unit, "*", items);
}

}  // namespace

void read_model_part(std::string_view program, int unit, Index NUMNP, Index NUMEL,
                     Index NPEMAX, const Span1<double>& X, const Span1<double>& Y,
                     const Span1<double>& Z, const Span1<double>& PSI, const Span1<double>& Q,
                     const Span1<Index>& KODE, const Span2<Index>& NOD,
                     const Span1<Index>& MTYP, Connectivity nod, Index MTYPMAX) {
    Index drop = 0;
    rio::read(unit, "*",
              {rio::Target::loop(NUMNP, X.data(), Y.data(), Z.data(), PSI.data(), Q.data(),
                               int_member(KODE, drop))});
    const std::int64_t first = rio::record_number(unit) + 1;
    rio::read(unit, "*",
              {rio::Target::loop(NUMEL, rio::Strided<Index>{NOD.data(), NPEMAX, NPEMAX},
                               int_member(MTYP, drop))});
    // Every writer and the node flags of the converter index with the element node numbers;
    // a writer may name no more materials than its blocks can.
    const bool materials = MTYP.data() != nullptr && MTYPMAX < kIndexMax;
    if (nod == Connectivity::Unused && !materials) return;
    // The record of value k of element e, as the solver lays the element group out.
    auto refuse_value = [&](std::int64_t e, std::int64_t k, const std::string& what) {
        const std::int64_t value = (e - 1) * (NPEMAX + 1) + (k - 1);
        refuse(program, "result file " + rio::unit_name(unit),
               first + rio::list_record_of<rio::Kind::Int4>(value),
               "element " + std::to_string(e) + what);
    };
    for (std::int64_t e = 1; e <= NUMEL; ++e) {
        for (std::int64_t k = 1; nod == Connectivity::Indexed && k <= NPEMAX; ++k) {
            const Index n = NOD(k, e);
            if (n < 0 || n > NUMNP) {
                refuse_value(e, k, " node " + std::to_string(n) + " not in 0 to " +
                                       std::to_string(NUMNP));
            }
        }
        if (materials && MTYP(e) > MTYPMAX) {
            refuse_value(e, NPEMAX + 1, " material " + std::to_string(MTYP(e)) + " above " +
                                            std::to_string(MTYPMAX));
        }
    }
}

bool read_step_head(int unit, Index& NSTEP, double& TIME, bool* unreadable) {
    return read_block_statement(unit, true, unreadable, {NSTEP, TIME});
}

bool read_step_values(int unit, bool end_ok, Index NUMNP, Index NUMEL,
                      const Span1<double>& PSI, const Span1<double>& Q,
                      const Span1<Index>& KODE, const Span1<double>& VX,
                      const Span1<double>& VY, const Span1<double>& VZ, const Span1<double>& TH,
                      bool* unreadable) {
    Index drop = 0;
    const rio::Target nodes =
        rio::Target::loop(NUMNP, PSI.data(), Q.data(), int_member(KODE, drop));
    const rio::Target vel = rio::Target::loop(NUMEL, VX.data(), VY.data(), VZ.data());
    const std::span<double> th(TH.data(), static_cast<std::size_t>(NUMEL));
    return read_block_statement(unit, end_ok, unreadable, {nodes}) &&
           read_block_statement(unit, end_ok, unreadable, {vel}) &&
           read_block_statement(unit, end_ok, unreadable, {th});
}

}  // namespace pp
