// Change events: reading groups U and V, and applying NEWC and MATC events.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "change_events.hpp"
#include "../support/scratch_dir.hpp"

namespace {

using namespace sol;

// Records of the model file, built column by column.
std::string rec(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string rec(const char* fmt, ...) {
    char b[128];
    va_list ap;
    va_start(ap, fmt);
    std::vsnprintf(b, sizeof b, fmt, ap);
    va_end(ap);
    return b;
}
std::string time_rec(const char* kw, const char* t) { return rec("%-5s%10s", kw, t); }
std::string count_rec(const char* kw, int n) { return rec("%-5s%5d", kw, n); }
std::string group_rec(const char* kw, int node, int flag, int g) {
    return rec("%-5s%7d%3d%5d", kw, node, flag, g);
}
std::string code_rec(const char* kw, int node, int code, char c1, const char* v1, char c2,
                     const char* v2, const char* v3) {
    return rec("%-5s%7d%3d%c%9s%c%9s%10s", kw, node, code, c1, v1, c2, v2, v3);
}
std::string face_rec(const char* kw, int e, int flag, int iface, int irt, int iet,
                     const char* rfact) {
    return rec("%-5s%7d%3d%4d%3d%3d%10s", kw, e, flag, iface, irt, iet, rfact);
}
std::string mat_rec(const char* kw, int a, int b) { return rec("%-5s%7d%3d", kw, a, b); }

// A column of two hexahedra (nodes 4L+1..4L+4 at z = L, element 1 below element 2) with room
// for three head groups, two flux groups, two seepage entries, three rain faces and the
// event tables, cut from work arrays as a run cuts them.
class ChangeEvents : public test_support::ScratchDirTest {
protected:
    void SetUp() override {
        ScratchDirTest::SetUp();
        Control& c = run.ctl;
        c.NUMNP = 12, c.NUMEL = 2, c.NUMMAT = 3, c.IHEAD = 1;
        c.MAXSEP = 2, c.MSEP = 2;
        c.NHB = 3, c.NHBN = 2, c.NHBT = 1, c.NQB = 2, c.NQBN = 2, c.NQBT = 1;
        c.NRFACE = 3, c.NRNODE = 8, c.NRR = 1, c.NRRPT = 1, c.NEV = 1, c.NEVPT = 1;
        c.NNEWC = 2, c.MXNWCH = 3, c.MXNWCQ = 2, c.MXNWCB = 3, c.MXNWCR = 2;
        c.NMATC = 2, c.MXMATE = 2, c.MXMATM = 2;
        c.MXNRK = c.MXNPSI = 1;
        c.MXEVT = dim(c.NRRPT) + dim(c.NEVPT) + dim(c.NHBT) + dim(c.NQBT) + dim(c.NNEWC) +
                  dim(c.NMATC);
        run.units.IW = kListing;
        run.mesh_totals = mesh_totals(c);
        const RunTotals t = run_totals(c, 0);
        run.work.BD = core::allocate_storage<double>(t.BD, core::Pages::Normal);
        run.work.IB = core::allocate_storage<Index>(t.IB, core::Pages::Normal);
        run.mesh = cut_mesh(run.work, c);
        cut_solution(run.work, c, run.mesh_totals, 0, s);
        MeshArrays& m = run.mesh;
        // Corners (1, 1), (0, 1), (0, 0), (1, 0) of every layer, as the elements number them.
        const double cx[4] = {1, 0, 0, 1}, cy[4] = {1, 1, 0, 0};
        for (int n = 1; n <= 12; ++n) {
            m.X(n) = cx[(n - 1) % 4];
            m.Y(n) = cy[(n - 1) % 4];
            m.Z(n) = (n - 1) / 4;
        }
        const int rows[2][8] = {{5, 6, 7, 8, 1, 2, 3, 4}, {9, 10, 11, 12, 5, 6, 7, 8}};
        for (int e = 1; e <= 2; ++e) {
            for (int k = 1; k <= 8; ++k) m.NOD(k, e) = rows[e - 1][k - 1];
            m.NPE(e) = 8;
            m.MTYP(e) = e;
        }
        SETACT(c, m, s);
        // Every head group has its table point, so that NEWCH lines may send nodes to it.
        for (int g = 1; g <= c.NHB; ++g) s.NHTP(g) = 1;
    }

    // Writes the records as the model file on unit IR.
    void model(const std::vector<std::string>& records) {
        std::ofstream f("MODEL.DAT", std::ios::binary);
        for (const auto& r : records) f << r << "\r\n";
        f.close();
        rio::open(run.units.IR, "MODEL.DAT", rio::Status::Old, rio::Form::Formatted);
    }
    // The next record of the model file, columns 1-5 (the reader must have stopped before it).
    std::string next_keyword() {
        std::string kw(5, ' ');
        rio::read(run.units.IR, "(A5)", {kw});
        return kw;
    }

    SolverRun run;
    SolutionArrays s;
};

// Every line kind, the count records that positive maxima make obligatory (MXNWCH 0: no UA
// records), the V1 conversion to a pressure head and the flag characters.
TEST_F(ChangeEvents, ReadsEveryLineKindOfGroupU) {
    run.ctl.MXNWCH = 0;
    run.mesh.Z(12) = 10.0;
    model({time_rec("NEWC ", "5.0"), count_rec("NEWCQ", 1), group_rec("NEWCQ", 3, -1, 2),
           count_rec("NEWCB", 3), code_rec("NEWCB", 12, 1, 'N', "12.5", ' ', "", ""),
           code_rec("     ", 4, 2, ' ', "1.5", 'C', "0.25", "0.7"),
           code_rec("NEWCB", 6, 0, 'X', "1.0", 'N', "3.5", ""),
           count_rec("NEWCR", 1), face_rec("NEWCR", 2, 0, 1, 1, 1, "0.5"),
           time_rec("NEWC ", "7.5"), count_rec("NEWCQ", 0), count_rec("NEWCB", 0),
           count_rec("NEWCR", 0), "END  "});
    RDNEWC(run.ctl, run.units, run.input, run.mesh, s);
    EXPECT_EQ(next_keyword(), "END  ");
    EXPECT_EQ(run.input.read_error, 0);
    EXPECT_EQ(listing(), "");
    EXPECT_EQ(s.TNEWC(1), 5.0);
    EXPECT_EQ(s.TNEWC(2), 7.5);
    EXPECT_EQ(s.NEWCH_N(1), 0);
    EXPECT_EQ(s.NEWCQ_N(1), 1);
    EXPECT_EQ(s.NEWCQ_1(1, 1), 3);
    EXPECT_EQ(s.NEWCQ_2(1, 1), -1);
    EXPECT_EQ(s.NEWCQ_3(1, 1), 2);
    ASSERT_EQ(s.NEWCB_N(1), 3);
    // Total head 12.5 at elevation 10 with IHEAD 1: pressure head 2.5.
    EXPECT_EQ(s.NEWCB_1(1, 1), 12);
    EXPECT_EQ(s.NEWCB_2(1, 1), 1);
    EXPECT_EQ(s.NEWCB_3(1, 1), -1);
    EXPECT_EQ(s.NEWCB_4(1, 1), 0);
    EXPECT_EQ(s.NEWCB_V1(1, 1), 2.5);
    EXPECT_EQ(s.NEWCB_3(2, 1), 0);
    EXPECT_EQ(s.NEWCB_4(2, 1), 1);
    EXPECT_EQ(s.NEWCB_V1(2, 1), 1.5 - 0.0);
    EXPECT_EQ(s.NEWCB_V2(2, 1), 0.25);
    EXPECT_EQ(s.NEWCB_V3(2, 1), 0.7);
    // Any other flag character counts as blank.
    EXPECT_EQ(s.NEWCB_3(3, 1), 0);
    EXPECT_EQ(s.NEWCB_4(3, 1), -1);
    EXPECT_EQ(s.NEWCB_V1(3, 1), 1.0 - 1.0);
    ASSERT_EQ(s.NEWCR_N(1), 1);
    EXPECT_EQ(s.NEWCR_1(1, 1), 2);
    EXPECT_EQ(s.NEWCR_3(1, 1), 1);
    EXPECT_EQ(s.NEWCR_4(1, 1), 1);
    EXPECT_EQ(s.NEWCR_5(1, 1), 1);
    EXPECT_EQ(s.NEWCR_V(1, 1), 0.5);
    EXPECT_EQ(s.NEWCQ_N(2) + s.NEWCB_N(2) + s.NEWCR_N(2), 0);
}

TEST_F(ChangeEvents, ReadsGroupV) {
    run.ctl.MXMATE = 0;
    model({time_rec("MATC ", "3.0"), count_rec("MATCM", 2), mat_rec("MATCM", 1, 2),
           mat_rec("     ", 2, 0), time_rec("MATC ", "4.0"), count_rec("MATCM", 0), "END  "});
    RDMATC(run.ctl, run.units, run.input, s);
    EXPECT_EQ(next_keyword(), "END  ");
    EXPECT_EQ(listing(), "");
    EXPECT_EQ(s.TMATC(1), 3.0);
    EXPECT_EQ(s.TMATC(2), 4.0);
    ASSERT_EQ(s.MATCM_N(1), 2);
    EXPECT_EQ(s.MATCM_1(2, 1), 2);
    EXPECT_EQ(s.MATCM_2(2, 1), 0);
    EXPECT_EQ(s.MATCE_N(1) + s.MATCM_N(2), 0);
}

// Every reading fault: the group line, the limit line where a number leaves the model, the
// flag, every record of the group read, nothing stored past a table.
TEST_F(ChangeEvents, ReadingFaultsAreReportedAndTheGroupStaysInStep) {
    struct Case {
        const char* why;
        bool newc;
        std::vector<std::string> records;
        const char* listing;
    };
    auto u = [](std::vector<std::string> ua, std::vector<std::string> ub,
                std::vector<std::string> uc, std::vector<std::string> ud) {
        std::vector<std::string> r{time_rec("NEWC ", "1.0")};
        for (auto* part : {&ua, &ub, &uc, &ud}) r.insert(r.end(), part->begin(), part->end());
        r.push_back(time_rec("NEWC ", "2.0"));
        for (const char* kw : {"NEWCH", "NEWCQ", "NEWCB", "NEWCR"}) r.push_back(count_rec(kw, 0));
        return r;
    };
    const auto ua0 = std::vector<std::string>{count_rec("NEWCH", 0)};
    const auto ub0 = std::vector<std::string>{count_rec("NEWCQ", 0)};
    const auto uc0 = std::vector<std::string>{count_rec("NEWCB", 0)};
    const auto ud0 = std::vector<std::string>{count_rec("NEWCR", 0)};
    const Case cases[] = {
        {"NEWCH count above MXNWCH", true,
         u({count_rec("NEWCH", 4), group_rec("NEWCH", 1, 0, 1), group_rec("NEWCH", 2, 0, 1),
            group_rec("NEWCH", 3, 0, 1), group_rec("NEWCH", 4, 0, 1)},
           ub0, uc0, ud0),
         " ** ERROR ** NEWCH DATA -- Group UA \r\n"
         " ** LIMIT ** NNWCH            4 NOT IN         0 TO         3\r\n"},
        {"node above NUMNP and target group above NHB", true,
         u({count_rec("NEWCH", 2), group_rec("NEWCH", 13, 0, 1), group_rec("NEWCH", 5, 0, 4)},
           ub0, uc0, ud0),
         " ** ERROR ** NEWCH DATA -- Group UA'\r\n"
         " ** LIMIT ** NODE            13 NOT IN         1 TO        12\r\n"
         " ** ERROR ** NEWCH DATA -- Group UA'\r\n"
         " ** LIMIT ** GROUP            4 NOT IN         1 TO         3\r\n"},
        {"flag -1 and nodes below 1 do not use the target group", true,
         u({count_rec("NEWCH", 2), group_rec("NEWCH", 5, -1, 9), group_rec("NEWCH", 0, 0, 9)},
           ub0, uc0, ud0),
         ""},
        {"flux target group above NQB", true,
         u(ua0, {count_rec("NEWCQ", 1), group_rec("NEWCQ", 5, 0, 3)}, uc0, ud0),
         " ** ERROR ** NEWCQ DATA -- Group UB'\r\n"
         " ** LIMIT ** GROUP            3 NOT IN         1 TO         2\r\n"},
        {"NEWCB node above NUMNP, and a wrong keyword on the count record", true,
         u(ua0, ub0, {count_rec("NEWCX", 1), code_rec("NEWCB", 13, 1, 'N', "1.0", ' ', "", "")},
           ud0),
         " ** ERROR ** NEWCB DATA -- Group UC \r\n"
         " ** ERROR ** NEWCB DATA -- Group UC'\r\n"
         " ** LIMIT ** NODE            13 NOT IN         1 TO        12\r\n"},
        {"a wrong keyword alone sets the flag", true,
         u({count_rec("NEWCX", 0)}, ub0, uc0, ud0),
         " ** ERROR ** NEWCH DATA -- Group UA \r\n"},
        {"NEWCR element, face and tables outside the model", true,
         u(ua0, ub0, uc0,
           {count_rec("NEWCR", 2), face_rec("NEWCR", 3, -1, 0, 0, 0, ""),
            face_rec("NEWCR", 1, 0, 7, 2, -1, "1.0")}),
         " ** ERROR ** NEWCR DATA -- Group UD'\r\n"
         " ** LIMIT ** ELEMENT          3 NOT IN         1 TO         2\r\n"
         " ** ERROR ** NEWCR DATA -- Group UD'\r\n"
         " ** LIMIT ** IFACE            7 NOT IN         1 TO         6\r\n"
         " ** ERROR ** NEWCR DATA -- Group UD'\r\n"
         " ** LIMIT ** IRT              2 NOT IN         0 TO         1\r\n"
         " ** ERROR ** NEWCR DATA -- Group UD'\r\n"
         " ** LIMIT ** IET             -1 NOT IN         0 TO         1\r\n"},
        {"MATCE count, elements and materials", false,
         {time_rec("MATC ", "1.0"), count_rec("MATCE", 3), mat_rec("MATCE", 0, 1),
          mat_rec("MATCE", 3, 1), mat_rec("MATCE", 1, 4), count_rec("MATCM", 0),
          time_rec("MATC ", "2.0"), count_rec("MATCE", 0), count_rec("MATCM", 0)},
         " ** ERROR ** MATCE DATA -- Group VA \r\n"
         " ** LIMIT ** NMATE            3 NOT IN         0 TO         2\r\n"
         " ** ERROR ** MATCE DATA -- Group VA'\r\n"
         " ** ERROR ** MATCE DATA -- Group VA'\r\n"
         " ** LIMIT ** ELEMENT          3 NOT IN         1 TO         2\r\n"
         " ** ERROR ** MATCE DATA -- Group VA'\r\n"
         " ** LIMIT ** MATERIAL         4 NOT IN         1 TO         3\r\n"},
        {"MATCM old material below 1, new one above NUMMAT; an old one above is harmless",
         false,
         {time_rec("MATC ", "1.0"), count_rec("MATCE", 0), count_rec("MATCM", 2),
          mat_rec("MATCM", 0, 1), mat_rec("MATCM", 9, 4), time_rec("MATC ", "2.0"),
          count_rec("MATCE", 0), count_rec("MATCM", 1), mat_rec("MATCM", 9, 0)},
         " ** ERROR ** MATCM DATA -- Group VB'\r\n"
         " ** ERROR ** MATCM DATA -- Group VB'\r\n"
         " ** LIMIT ** MATERIAL         4 NOT IN         1 TO         3\r\n"},
        {"a wrong MATC keyword; a wrong keyword on an element below 1 gives one line", false,
         {time_rec("MATX ", "1.0"), count_rec("MATCE", 1), mat_rec("MATCX", 0, 1),
          count_rec("MATCM", 0), time_rec("MATC ", "2.0"), count_rec("MATCE", 0),
          count_rec("MATCM", 0)},
         " ** ERROR ** MATC  DATA -- Group V  \r\n"
         " ** ERROR ** MATCE DATA -- Group VA'\r\n"},
    };
    for (const Case& c : cases) {
        auto records = c.records;
        records.push_back("END  ");
        rio::close(kListing);
        std::remove("LIST.TXT");
        model(records);
        run.input = InputState{};
        rio::open(kListing, "LIST.TXT", rio::Status::Unknown, rio::Form::Formatted);
        if (c.newc)
            RDNEWC(run.ctl, run.units, run.input, run.mesh, s);
        else
            RDMATC(run.ctl, run.units, run.input, s);
        EXPECT_EQ(next_keyword(), "END  ") << c.why;
        EXPECT_EQ(listing(), c.listing) << c.why;
        EXPECT_EQ(run.input.read_error, c.listing[0] ? 1 : 0) << c.why;
        rio::close(run.units.IR);
        // The table keeps the lines up to its maximum.
        if (&c == &cases[0]) {
            EXPECT_EQ(s.NEWCH_N(1), 3);
            EXPECT_EQ(s.NEWCH_1(3, 1), 3);
        }
    }
}

// NEWCH lines: a move between groups, a node leaving every group, a node in no group entering
// one, and flag -1 freeing a node from its first group only.
TEST_F(ChangeEvents, HeadGroupLinesMoveAndFreeNodes) {
    s.IHBN(1, 1) = 5, s.IHBN(1, 2) = 6, s.NHN(1) = 2;
    s.IHBN(2, 2) = 6, s.NHN(2) = 1;
    run.mesh.KODE(5) = 1;
    s.NEWCH_N(1) = 3;
    const int lines[3][3] = {{5, 0, 3}, {6, 0, 0}, {7, 0, 2}};
    for (int i = 0; i < 3; ++i)
        s.NEWCH_1(i + 1, 1) = lines[i][0], s.NEWCH_2(i + 1, 1) = lines[i][1],
                      s.NEWCH_3(i + 1, 1) = lines[i][2];
    APNEWC(1, run, s, 10.0);
    EXPECT_EQ(s.NHN(1), 0);
    EXPECT_EQ(s.IHBN(1, 1), 0);
    EXPECT_EQ(s.IHBN(1, 2), 0);
    EXPECT_EQ(s.NHN(2), 1);
    EXPECT_EQ(s.IHBN(2, 1), 7);
    EXPECT_EQ(s.IHBN(2, 2), 0);
    EXPECT_EQ(s.NHN(3), 1);
    EXPECT_EQ(s.IHBN(3, 1), 5);
    EXPECT_EQ(run.mesh.KODE(5), 1);  // the head-group pass sets it

    // Flag -1: node 7 leaves group 2 and becomes free; node 8 in no group keeps its code.
    s.IHBN(3, 2) = 7, s.NHN(3) = 2;
    run.mesh.KODE(7) = 1, run.mesh.KODE(8) = 1;
    s.NEWCH_N(2) = 2;
    s.NEWCH_1(1, 2) = 7, s.NEWCH_2(1, 2) = -1;
    s.NEWCH_1(2, 2) = 8, s.NEWCH_2(2, 2) = -1;
    APNEWC(2, run, s, 10.0);
    EXPECT_EQ(s.NHN(2), 0);
    EXPECT_EQ(s.IHBN(2, 1), 0);
    EXPECT_EQ(s.NHN(3), 2);
    EXPECT_EQ(s.IHBN(3, 2), 7);
    EXPECT_EQ(run.mesh.KODE(7), 0);
    EXPECT_EQ(run.mesh.KODE(8), 1);
    EXPECT_EQ(listing(), "");
}

// NEWCQ lines: entering a flux group frees the node; leaving with flag -1 keeps its code.
TEST_F(ChangeEvents, FluxGroupLinesSetCodesOnEntry) {
    run.mesh.KODE(9) = -4;
    s.NEWCQ_N(1) = 1;
    s.NEWCQ_1(1, 1) = 9, s.NEWCQ_3(1, 1) = 2;
    APNEWC(1, run, s, 10.0);
    EXPECT_EQ(s.NQN(2), 1);
    EXPECT_EQ(s.IQBN(2, 1), 9);
    EXPECT_EQ(run.mesh.KODE(9), 0);
    run.mesh.KODE(9) = 4;
    s.NEWCQ_N(2) = 1;
    s.NEWCQ_1(1, 2) = 9, s.NEWCQ_2(1, 2) = -1;
    APNEWC(2, run, s, 10.0);
    EXPECT_EQ(s.NQN(2), 0);
    EXPECT_EQ(s.IQBN(2, 1), 0);
    EXPECT_EQ(run.mesh.KODE(9), 4);
}

// A node bound for a full group stops the run instead of being dropped.
TEST_F(ChangeEvents, FullTargetGroupStops3333) {
    s.IQBN(1, 1) = 5, s.IQBN(1, 2) = 6, s.NQN(1) = 2;
    s.NEWCQ_N(1) = 1;
    s.NEWCQ_1(1, 1) = 7, s.NEWCQ_3(1, 1) = 1;
    EXPECT_EQ(stop_code([&] { APNEWC(1, run, s, 12.5); }), 3333);
    EXPECT_EQ(listing(),
              " ** ERROR ** NEWCQ DATA -- Group UB'\r\n"
              " ** ERROR ** GROUP    1 HAS NO EMPTY SLOT FOR NODE       7 AT TIME  1.25000E+01\r\n");
}

// NEWCB lines, one per branch: old code c0, new code c, the flag characters and values, and
// the seepage entries before and after (entry 1 holds node 5 unless the case says otherwise).
TEST_F(ChangeEvents, NewCodeLinesFollowOldAndNewCodes) {
    struct Case {
        const char* why;
        int c0, c, c1, c2;
        bool both_entries_used;
        int kode;
        double psi, q;
        int kseep1, ifseep1, kseep2, ifseep2;
        double sepval2;
    };
    // Before: PSI 9, Q 8, QINIT 7; V1 1.5, V2 2.5, V3 3.5.
    const Case cases[] = {
        {"seepage node freed, input flow", 2, 0, 0, 1, false, 0, 9, 7, 0, 0, 0, 0, 0},
        {"seepage node held, head given", -2, 1, -1, 0, false, 1, 1.5, 8, 0, 0, 0, 0, 0},
        {"seepage node gets another code", 2, 9, 0, 0, false, 9, 9, 8, 0, 0, 0, 0, 0},
        {"free node, head and flow given", 0, 0, -1, -1, false, 0, 1.5, 2.5, 5, 1, 0, 0, 0},
        {"free node, nothing given", 0, 0, 0, 0, false, 0, 9, 8, 5, 1, 0, 0, 0},
        {"fixed head kept", 0, 1, 0, 0, false, 1, 9, 8, 5, 1, 0, 0, 0},
        {"new seepage node, blank C2", 0, 2, 0, 0, false, 2, 0, 0, 5, 1, 5, 1, 3.5},
        {"new non-seeping node, input flow", 0, -2, 0, 1, false, -2, 9, 7, 5, 1, 5, 1, 3.5},
        {"node already seeping takes a further entry", 2, 2, 0, -1, false, 2, 0, 2.5, 5, 1,
         5, 1, 3.5},
        {"no free seepage entry", 0, 2, 0, 0, true, 0, 9, 8, 5, 1, 6, 1, 0},
        {"other codes change nothing", -4, 4, -1, -1, false, -4, 9, 8, 5, 1, 0, 0, 0},
    };
    MeshArrays& m = run.mesh;
    for (const Case& c : cases) {
        m.KODE(5) = c.c0, m.PSI(5) = 9, m.Q(5) = 8, m.QINIT(5) = 7;
        m.KSEEP(1) = 5, m.IFSEEP(1) = 1, m.SEPVAL(1) = 0;
        m.KSEEP(2) = c.both_entries_used ? 6 : 0, m.IFSEEP(2) = c.both_entries_used;
        m.SEPVAL(2) = 0;
        s.NEWCB_N(1) = 1;
        s.NEWCB_1(1, 1) = 5, s.NEWCB_2(1, 1) = c.c, s.NEWCB_3(1, 1) = c.c1;
        s.NEWCB_4(1, 1) = c.c2;
        s.NEWCB_V1(1, 1) = 1.5, s.NEWCB_V2(1, 1) = 2.5, s.NEWCB_V3(1, 1) = 3.5;
        APNEWC(1, run, s, 10.0);
        EXPECT_EQ(m.KODE(5), c.kode) << c.why;
        EXPECT_EQ(m.PSI(5), c.psi) << c.why;
        EXPECT_EQ(m.Q(5), c.q) << c.why;
        EXPECT_EQ(m.KSEEP(1), c.kseep1) << c.why;
        EXPECT_EQ(m.IFSEEP(1), c.ifseep1) << c.why;
        EXPECT_EQ(m.KSEEP(2), c.kseep2) << c.why;
        EXPECT_EQ(m.IFSEEP(2), c.ifseep2) << c.why;
        EXPECT_EQ(m.SEPVAL(2), c.sepval2) << c.why;
    }
}

// NEWCR lines: a face added to the first free entry, every face of an element removed, every
// rain node freed whatever held it, then the faces, areas and rain nodes rebuilt.
TEST_F(ChangeEvents, RainFaceLinesAddAndRemoveFacesThenRebuild) {
    MeshArrays& m = run.mesh;
    s.IRFACE(1, 1) = 2, s.IRFACE(1, 3) = 1;
    s.IRFACE(2, 1) = 2, s.IRFACE(2, 3) = 2;
    const int rain_nodes[4] = {9, 10, 11, 12};
    const int codes[4] = {1, 2, -4, 4};
    for (int j = 1; j <= 4; ++j) {
        s.IRNODE(j) = rain_nodes[j - 1];
        m.KODE(rain_nodes[j - 1]) = codes[j - 1];
    }
    s.NEWCR_N(1) = 2;
    s.NEWCR_1(1, 1) = 1, s.NEWCR_3(1, 1) = 1, s.NEWCR_4(1, 1) = 1, s.NEWCR_5(1, 1) = 1;
    s.NEWCR_V(1, 1) = 0.5;
    s.NEWCR_1(2, 1) = 2, s.NEWCR_2(2, 1) = -1;
    APNEWC(1, run, s, 10.0);
    EXPECT_EQ(s.IRFACE(1, 1), 0);
    EXPECT_EQ(s.IRFACE(2, 1), 0);
    EXPECT_EQ(s.IRFACE(3, 1), 1);
    EXPECT_EQ(s.IRFACE(3, 3), 1);
    EXPECT_EQ(s.IRT(3), 1);
    EXPECT_EQ(s.IET(3), 1);
    EXPECT_EQ(s.RFACE(3, 1), 0.5);
    for (int n : rain_nodes) EXPECT_EQ(m.KODE(n), 0) << n;
    // Rebuilt: the top face of element 1 (nodes 5-8, a unit square) is the only face; the
    // rain nodes are its nodes and the face holds their positions.
    EXPECT_EQ(s.IRFACE(3, 2), 4);
    EXPECT_EQ(s.RFACE(3, 2), 1.0);
    for (int j = 1; j <= 4; ++j) {
        EXPECT_EQ(s.IRNODE(j), 4 + j);
        EXPECT_EQ(s.IRFACE(3, 3 + j), j);
    }
    EXPECT_EQ(s.IRNODE(5), 0);

    // With every entry taken, an added face changes nothing.
    s.IRFACE(1, 1) = s.IRFACE(2, 1) = 2;
    s.NEWCR_N(2) = 1;
    s.NEWCR_1(1, 2) = 1, s.NEWCR_3(1, 2) = 6;
    APNEWC(2, run, s, 10.0);
    EXPECT_EQ(s.IRFACE(1, 1), 2);
    EXPECT_EQ(s.IRFACE(2, 1), 2);
    EXPECT_EQ(s.IRFACE(3, 1), 1);
    EXPECT_EQ(s.IRFACE(3, 3), 1);
}

// MATC events: chained MATCM lines, a removal running SETACT, a material given back not
// running it; firing only in unsteady passes, within 0.001 of TIME, NEWC before MATC.
TEST_F(ChangeEvents, DueEventsFireOnceInOrder) {
    MeshArrays& m = run.mesh;
    for (int n = 9; n <= 12; ++n) m.KODE(n) = 1;
    m.KODE(10) = -4;
    // NEWC event 1 frees node 9; MATC event 1 turns material 1 into 3, then 3 into 0.
    s.TNEWC(1) = 10.0;
    s.NEWCB_N(1) = 1;
    s.NEWCB_1(1, 1) = 9, s.NEWCB_2(1, 1) = 0;
    s.TMATC(1) = 10.0 + 0.001;
    s.MATCM_N(1) = 2;
    s.MATCM_1(1, 1) = 2, s.MATCM_2(1, 1) = 3;
    s.MATCM_1(2, 1) = 3, s.MATCM_2(2, 1) = 0;
    // Due only in a later step.
    s.TNEWC(2) = 10.0011;
    s.TMATC(2) = 10.0011;
    s.MATCE_N(2) = 1;
    s.MATCE_1(1, 2) = 2, s.MATCE_2(1, 2) = 1;

    DriverState d;
    d.TIME = 10.0;
    d.NSTEP = 0;
    fire_due_events(run, s, d);
    EXPECT_EQ(s.TNEWC(1), 10.0) << "no event fires in the steady stage";

    d.NSTEP = 3;
    fire_due_events(run, s, d);
    EXPECT_EQ(s.TNEWC(1), -1.0);
    EXPECT_EQ(s.TMATC(1), -1.0);
    EXPECT_EQ(s.TNEWC(2), 10.0011);
    EXPECT_EQ(s.TMATC(2), 10.0011);
    EXPECT_EQ(m.MTYP(1), 1);
    EXPECT_EQ(m.MTYP(2), 0);
    EXPECT_EQ(s.EFLAG(2), 1);
    // The top nodes belong to no active element: the freed node 9 and the rain node 10 are
    // switched off, the fixed heads keep code 1. Had MATC come first, node 9 would be 0.
    EXPECT_EQ(m.KODE(9), 9);
    EXPECT_EQ(m.KODE(10), 9);
    EXPECT_EQ(m.KODE(11), 1);
    EXPECT_EQ(s.NFLAG(5), 0);

    // Element 2 given material 1 again: no SETACT, the element stays out until a removal.
    d.TIME = 10.1;
    fire_due_events(run, s, d);
    EXPECT_EQ(m.MTYP(2), 1);
    EXPECT_EQ(s.EFLAG(2), 1);
    EXPECT_EQ(m.KODE(9), 9);
    // A fired event never fires again; a time of 0 never fires.
    m.MTYP(2) = 7;
    s.TNEWC(1) = 0.0;
    fire_due_events(run, s, d);
    EXPECT_EQ(m.MTYP(2), 7);
    EXPECT_EQ(m.KODE(9), 9);
}

}  // namespace
