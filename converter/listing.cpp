// Result listing "OUTPUT.TXT": node table with discharge sums, element velocity table.
#include <string>

#include "recordio/recordio.hpp"
#include "writers.hpp"

namespace cnv {

namespace {

constexpr int IW = kOutUnit;

// Items of three columns per line; a last, partly filled line is padded with zero items.
class ItemLine {
public:
    void add(std::int32_t n, double a, double b, double c) {
        num_[k_] = n;
        v_[k_][0] = a;
        v_[k_][1] = b;
        v_[k_][2] = c;
        if (++k_ == 3) flush();
    }
    void finish() {
        if (k_ == 0) return;
        while (k_ < 3) {
            num_[k_] = 0;
            v_[k_][0] = v_[k_][1] = v_[k_][2] = 0.0;
            ++k_;
        }
        flush();
    }

private:
    void flush() {
        rio::write(IW, "(1X,3(I6,1P,3E12.4))",
                   {num_[0], v_[0][0], v_[0][1], v_[0][2], num_[1], v_[1][0], v_[1][1], v_[1][2],
                    num_[2], v_[2][0], v_[2][1], v_[2][2]});
        k_ = 0;
    }
    std::int32_t num_[3] = {0, 0, 0};
    double v_[3][3] = {};
    int k_ = 0;
};

void title_block(const std::string& TITLE, double TIME, std::int32_t NSTEP) {
    rio::write(IW, "(/20X,A80/20X,'TIME =',1PE13.5,5X,'TIME STEP =',I4/)", {TITLE, TIME, NSTEP});
}

}  // namespace

void LSTNOD(const RealView& Q, const RealView& PSI, const RealView& Z, Index NUMNP,
            const std::string& TITLE, double TIME, Index NSTEP, const IntView& NFLAG) {
    // 1. Title block and column heading.
    title_block(TITLE, TIME, NSTEP);
    rio::write(IW, "(////1X,3(' NODE    HEAD       PRESS HEAD   DISCHARGE ')//)");
    // 2-4. Printed nodes three to a line; positive and negative discharges summed apart.
    double QP = 0.0, QM = 0.0;
    ItemLine line;
    for (Index i = 1; i <= NUMNP; ++i) {
        if (NFLAG(i) == 1) continue;
        line.add(i, PSI(i) + Z(i), PSI(i), Q(i));
        if (Q(i) > 0.0) QP += Q(i);
        if (Q(i) < 0.0) QM += Q(i);
    }
    line.finish();
    // 5. The sums.
    rio::write(IW, "(//'***   QP( +  ) =',1PE13.5/'***   QM( -  ) =',1PE13.5)", {QP, QM});
}

void LSTELM(const RealView& VX, const RealView& VY, const RealView& VZ, Index NUMEL,
            const std::string& TITLE, double TIME, Index NSTEP, const IntView& EFLAG) {
    title_block(TITLE, TIME, NSTEP);
    rio::write(IW, "(////1X,3(' ELEM     VX          VY          VZ       ')//)");
    ItemLine line;
    for (Index e = 1; e <= NUMEL; ++e) {
        if (EFLAG(e) == 1) continue;
        line.add(e, VX(e), VY(e), VZ(e));
    }
    line.finish();
}

}  // namespace cnv
