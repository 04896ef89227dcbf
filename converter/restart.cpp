// Restart records: the node state at a chosen time, in the layout of the solver's node records.
#include <cmath>
#include <cstdio>

#include "first_menu.hpp"
#include "prompts.hpp"
#include "recordio/recordio.hpp"
#include "writers.hpp"

namespace cnv {

namespace {

// The time tolerance 1.0E-8 is a single-precision constant widened to double.
constexpr double EPSRST = double(1.0E-8f);

// Codes beyond -2..2 (rain codes, inactive nodes) are not node-record codes: written as 0.
std::int32_t restart_code(std::int32_t k) { return std::abs(k) > 2 ? 0 : k; }

}  // namespace

void RSTASK(RestartAnswers& ans) {
    using pp::prompt;
    prompt(pp::kRestartTime);
    rio::read(rio::kConsoleIn, "*", {ans.TRST});
    prompt(pp::kRestartHeadMenu);
    prompt(pp::kRestartPressureHead);
    prompt(pp::kRestartTotalHead);
    ans.IHEAD = pp::ask_int();
    prompt(pp::kRestartFlowMenu);
    prompt(pp::kRestartFlowInitial);
    prompt(pp::kRestartFlowComputed);
    ans.IFLOW = pp::ask_int();
}

bool WRRST(const RestartAnswers& ans, const RealView& PSI, const RealView& Q, const IntView& KODE,
           double TIME, double TPREV, const RealView& PSIRST, const RealView& QRST,
           const IntView& KODRST, const RealView& QINIT, const RealView& X, const RealView& Y,
           const RealView& Z, const std::string& TITLE, Index NUMNP) {
    // 1. A block before the restart time becomes the previous state.
    if (ans.TRST < TPREV || TIME < ans.TRST) {
        for (Index i = 1; i <= NUMNP; ++i) {
            PSIRST(i) = PSI(i);
            QRST(i) = Q(i);
            KODRST(i) = KODE(i);
        }
        return false;
    }
    // 2. TPREV <= TRST <= TIME: title, times, one node record per node.
    rio::write(kOutUnit, "(A80)", {TITLE});
    rio::write(kOutUnit, "(' TIME=',3(E15.7))", {ans.TRST, TPREV, TIME});
    const bool exact = std::fabs(TIME - TPREV) <= EPSRST && std::fabs(TIME - ans.TRST) <= EPSRST;
    const double a = ans.TRST - TPREV, b = TIME - ans.TRST, d = TIME - TPREV;
    for (Index i = 1; i <= NUMNP; ++i) {
        Index code;
        double head, flow;
        if (exact) {  // the block lies at the restart time: its own values
            code = KODE(i);
            head = ans.IHEAD == 1 ? PSI(i) + Z(i) : PSI(i);
            flow = ans.IFLOW == 1 ? Q(i) : QINIT(i);
        } else {  // between the previous block and this one; codes of the previous block
            code = KODRST(i);
            const double p = (PSI(i) * a + PSIRST(i) * b) / d;
            head = ans.IHEAD == 1 ? p + Z(i) : p;
            flow = ans.IFLOW == 0 ? QINIT(i) : (Q(i) * a + QRST(i) * b) / d;
        }
        rio::write(kOutUnit, "('NODE ',I7,I3,5(1PE10.3))",
                   {i, restart_code(code), X(i), Y(i), Z(i), head, flow});
    }
    return true;
}

void restart_not_bracketed(const RestartAnswers& ans, std::int64_t blocks, double first_time,
                           double last_time) {
    char line[160];
    if (blocks == 0) {
        std::snprintf(line, sizeof line,
                      "converter: result file: no step block to restart from at time %.7E",
                      ans.TRST);
    } else {
        std::snprintf(line, sizeof line,
                      "converter: result file: restart time %.7E is not within its times "
                      "%.7E to %.7E",
                      ans.TRST, first_time, last_time);
    }
    rio::write(rio::kStdErr, "(A)", {std::string_view(line)});
    rio::stop(2222);
}

}  // namespace cnv
