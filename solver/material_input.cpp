// Material input: unit constants (group G), properties with rotation (group H) and the
// unsaturated tables (groups I,J) with the derived specific-moisture-capacity table.
#include <cmath>

#include "input.hpp"
#include "recordio/recordio.hpp"

namespace sol {

namespace {
constexpr std::string_view kUnitError = "(' ** ERROR ** UNIT DATA -- Group G ')";
constexpr std::string_view kPropError = "(' ** ERROR ** PROP DATA -- Group H ')";
constexpr std::string_view kUnsatError = "(' ** ERROR ** UNSAT DATA -- Group I,J ')";
// Degrees to radians: pi/180 as a single-precision value widened to double.
constexpr double kDegToRad = double(0.01745329238474369f);

// First element of column m of a table (no bounds test: the column may be empty).
double* column(const Span2<double>& t, int m) { return t.data() + (m - 1) * t.ld(); }

// One look-up column of a material's tables that the look-up cannot use: the error line of
// the group and the line naming the material, the table and the two points.
void report_table_order(const Units& u, InputState& in, std::string_view fault, int m,
                        const TableOrderFault& f) {
    rio::write(u.IW, kUnsatError);
    rio::write(u.IW, "(' ** ERROR ** ',A,' OF MATERIAL',I3,' AT POINTS',I4,' AND',I4)",
               {fault, m, f.point, f.point + 1});
    in.read_error = 1;
}
}  // namespace

TableOrderFault table_order_fault(const double* x, int n, bool first_two_equal) {
    // The first interval is extrapolated below the table: its length divides.
    if (first_two_equal && n >= 2 && x[1] == x[0]) return {1, true};
    // A value below the one before it: the look-up would never reach the points past it.
    for (int k = 1; k < n; ++k)
        if (x[k] < x[k - 1]) return {k, false};
    return {};
}

void rotate_conductivity(const double ANG[3][3], double K1, double K2, double K3,
                         std::array<std::array<double, 3>, 3>& CONDT) {
    double A[3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) A[i][j] = std::cos(ANG[i][j] * kDegToRad);
    // CONDT = A^T diag(K1, K2, K3) A, summed over the principal axes in order.
    for (int j = 0; j < 3; ++j) {
        for (int k = 0; k < 3; ++k) {
            CONDT[j][k] = A[0][j] * K1 * A[0][k] + A[1][j] * K2 * A[1][k] + A[2][j] * K3 * A[2][k];
        }
    }
}

std::vector<int> capacity_table(MaterialTables& tab, int m, int NPSI) {
    std::vector<int> equal;
    double* THPS = column(tab.THPS, m);
    double* PSIT = column(tab.PSIT, m);
    double* THCA = column(tab.THCA, m);
    double* CAP = column(tab.CAP, m);
    for (int k = 0; k + 1 < NPSI; ++k) {
        const double dpsi = PSIT[k + 1] - PSIT[k];
        if (dpsi == 0.0) {
            equal.push_back(k + 1);
            CAP[k] = 0.0;
        } else {
            CAP[k] = (THPS[k + 1] - THPS[k]) / dpsi;
        }
        THCA[k] = (THPS[k] + THPS[k + 1]) * 0.5;
    }
    // The driest point closes the table with no capacity.
    if (NPSI >= 1) {
        THCA[NPSI - 1] = THPS[NPSI - 1];
        CAP[NPSI - 1] = 0.0;
    }
    return equal;
}

// Reads groups G, H, I,J and prints them. Flags the run (with the group's error line) on a
// CONS2 of 0, a porosity of 0 for a material in use when the run has an unsteady stage,
// equal successive pressure heads in a table, and a look-up column of a table that descends
// or whose first two values are equal.
void RDPROP(const Control& ctl, const Units& u, InputState& in, Materials& mat,
            MaterialTables& tab, const Span1<Index>& MTYP) {
    const int NUMMAT = ctl.NUMMAT;

    // 1. Group G.
    {
        const std::string saved = in.KEYWD;
        rio::read(u.IR, "(A5,2E10.3)", {in.KEYWD, mat.CONS1, mat.CONS2});
        check_keyword(u, in, saved, "UNIT ", kUnitError);
    }
    // Every nodal discharge is divided by CONS2.
    if (mat.CONS2 == 0.0) {
        rio::write(u.IW, kUnitError);
        rio::write(u.IW, "(' ** ERROR ** CONS2 IS ZERO')");
        in.read_error = 1;
    }
    rio::write(u.IW,
               "(///'  UNITS ARE CONTROLED BY THE FOLLOWING CONSTANTS -'//'  CONS1 =',1PE12.3,"
               "3X,'CONS2 =',1PE12.3////' MATERIAL',7X,'K1',13X,'K2',13X,'K3',10X,'POPOSITY',"
               "10X,'SS'/)",
               {mat.CONS1, mat.CONS2});

    // 2. Group H.
    for (Index m = 1; m <= NUMMAT; ++m) {
        const std::string saved = in.KEYWD;
        mat.IROT[m] = 0;
        rio::read(u.IR, "(A4,1X,5E10.3,I5)",
                  {in.KEYWD, mat.K1[m], mat.K2[m], mat.K3[m], mat.POROSITY[m], mat.SS[m],
                   mat.IROT[m]});
        if (mat.IROT[m] != 0) {
            double ANG[3][3];
            for (auto& row : ANG) rio::read(u.IR, "(5X,3F10.0)", {row[0], row[1], row[2]});
            rotate_conductivity(ANG, mat.K1[m], mat.K2[m], mat.K3[m], mat.CONDT[m]);
        }
        check_keyword(u, in, saved, "PROP ", kPropError, KeywordRule::FirstFour);
        rio::write(u.IW, "(I8,E17.5,4E15.5)",
                   {m, mat.K1[m], mat.K2[m], mat.K3[m], mat.POROSITY[m], mat.SS[m]});
    }
    // The storage term of an unsteady stage divides by the porosity of every material in use.
    if (ctl.KIND <= 0) {
        std::array<bool, kMaxMat + 1> used{};
        for (std::int64_t e = 1; e <= MTYP.size(); ++e) {
            const int mt = MTYP(e);
            if (mt >= 1 && mt <= NUMMAT) used[mt] = true;
        }
        for (Index m = 1; m <= NUMMAT; ++m) {
            if (used[m] && mat.POROSITY[m] == 0.0) {
                rio::write(u.IW, kPropError);
                rio::write(u.IW, "(' ** ERROR ** POROSITY IS ZERO FOR MATERIAL',I3)", {m});
                in.read_error = 1;
            }
        }
    }

    // 3. Groups I,J.
    for (Index m = 1; m <= NUMMAT; ++m) {
        const int NRK = mat.NRK[m];
        const int NPSI = mat.NPSI[m];
        double* THKR = column(tab.THKR, m);
        double* RKR = column(tab.RKR, m);
        double* THPS = column(tab.THPS, m);
        double* PSIT = column(tab.PSIT, m);
        double* THCA = column(tab.THCA, m);
        double* CAP = column(tab.CAP, m);

        // 3.1 Block head: no blank repetition here.
        rio::read(u.IR, "(A5)", {in.KEYWD});
        if (!keyword_ok(in, in.KEYWD, "UNSAT", KeywordRule::NoRepeat)) {
            rio::write(u.IW, kUnsatError);
        }
        // 3.2, 3.3 The two tables; suctions are stored as negative pressure heads.
        rio::read(u.IR, "(8E10.3)", {rio::Target::loop(NRK, THKR, RKR)});
        rio::read(u.IR, "(8E10.3)", {rio::Target::loop(NPSI, THPS, PSIT)});
        for (int k = 0; k < NPSI; ++k) PSIT[k] = -PSIT[k];

        // 3.4 Capacity table.
        mat.NCAP[m] = NPSI;
        for (Index k : capacity_table(tab, m, NPSI)) {
            rio::write(u.IW, kUnsatError);
            rio::write(u.IW,
                       "(' ** ERROR ** EQUAL PRESSURE HEADS IN TABLE OF MATERIAL',I3,' AT POINT',I4)",
                       {m, k});
            in.read_error = 1;
        }
        // The look-up values of the three tables, pressure heads, moisture contents of the
        // conductivity table and of the capacity table, must not descend, and the first two
        // must differ (equal pressure heads anywhere are refused just above).
        if (const TableOrderFault f = table_order_fault(PSIT, NPSI, false); f.point != 0)
            report_table_order(u, in, "DESCENDING PRESSURE HEADS IN TABLE", m, f);
        if (const TableOrderFault f = table_order_fault(THKR, NRK, true); f.point != 0)
            report_table_order(u, in,
                               f.equal ? "EQUAL MOISTURE CONTENTS IN CONDUCTIVITY TABLE"
                                       : "DESCENDING MOISTURE CONTENTS IN CONDUCTIVITY TABLE",
                               m, f);
        if (const TableOrderFault f = table_order_fault(THCA, mat.NCAP[m], true); f.point != 0)
            report_table_order(u, in,
                               f.equal ? "EQUAL MOISTURE CONTENTS IN CAPACITY TABLE"
                                       : "DESCENDING MOISTURE CONTENTS IN CAPACITY TABLE",
                               m, f);

        // 3.5 The three tables of the material.
        rio::write(u.IW,
                   "(//' TABLE OF RELATIVE CONDUCTIVITY VERSUS MOISTURE CONTENT FOR MATERIAL',I3/"
                   "5(2X,'RELA-CON',4X,'MOIS-CON',2X)/)",
                   {m});
        rio::write(u.IW, "(10E12.4)", {rio::Item::loop(NRK, RKR, THKR)});
        rio::write(u.IW,
                   "(//' TABLE OF PRESSURE HEAD VERSUS MOISTURE CONTENT FOR MATERIAL',I3/"
                   "5(2X,'PRES-HE ',4X,'MOIS-CON',2X)/)",
                   {m});
        rio::write(u.IW, "(10E12.4)", {rio::Item::loop(NPSI, PSIT, THPS)});
        rio::write(u.IW,
                   "(//' TABLE OF SPECIFIC MOISTURE CAPACITY VERSUS MOISTURECONTENT FOR MATERIAL ',"
                   "I3/5(2X,'SPECI-CA',4X,'MOIS-CON',2X)/)",
                   {m});
        rio::write(u.IW, "(10E12.4)", {rio::Item::loop(mat.NCAP[m], CAP, THCA)});
    }
}

}  // namespace sol
