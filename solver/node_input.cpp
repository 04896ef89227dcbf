// Node input: node records with interpolation of skipped nodes (group K), boundary-code
// ranges (group KA) and initial-value ranges (group KB).
#include "input.hpp"
#include "recordio/recordio.hpp"

namespace sol {

namespace {
constexpr int kNodeFileUnit = 22;
constexpr int kSharedFileUnit = 21;
constexpr std::string_view kNodeError = "(' ** ERROR ** NODE  DATA -- Group K ')";
constexpr std::string_view kKodeError = "(' ** ERROR ** KODE DATA -- Group KA ')";
constexpr std::string_view kInitError = "(' ** ERROR ** INIT DATA -- Group KB ')";
constexpr std::string_view kNodeNumberError = "(' ERROR IN NPIN AT N=',I5)";

// A range record reaching outside the nodes: the group's line, the node line, the flag.
void range_error(const Units& u, InputState& in, std::string_view group_line, std::int64_t node) {
    rio::write(u.IW, group_line);
    rio::write(u.IW, kNodeNumberError, {static_cast<Index>(node)});
    in.read_error = 1;
}
}  // namespace

int NPIN(const Control& ctl, Units& u, InputState& in, MeshArrays& a) {
    const Index NUMNP = ctl.NUMNP;
    const double IHEAD = ctl.IHEAD;

    // 1. Title and column heads.
    rio::write(u.IW,
               "(////' NODAL POINT INFORMATION'//'  NODE NO.',6X,'KODE',7X,'-X-',12X,'-Y-',12X,"
               "'-Z-',11X,'.PSI.',12X,'Q'/)");

    // 2. Separate node file (with SEPFIL = 1 the nodes follow the elements on unit 21).
    const int saved_ir = u.IR;
    if (ctl.SEPFIL > 0) {
        std::string name(40, ' ');
        const std::string saved = in.KEYWD;
        rio::read(u.IR, "(A5,A40)", {in.KEYWD, name});
        check_keyword(u, in, saved, "NODE ", kNodeError);
        if (ctl.SEPFIL == 1) {
            u.IR = kSharedFileUnit;
        } else {
            rio::open(kNodeFileUnit, name, rio::Status::Unknown, rio::Form::Formatted);
            u.IR = kNodeFileUnit;
        }
    }

    // 3. Node loop; P is the last node made complete.
    Index P = 0;
    Index N = 0, kode = 0;
    double x = 0.0, y = 0.0, z = 0.0, head = 0.0, q = 0.0;
    while (true) {
        // 3.1 One record.
        if (ctl.LISTIN == 0) {
            const std::string saved = in.KEYWD;
            rio::read(u.IR, "(A5,I7,I3,5E10.3,A1)", {in.KEYWD, N, kode, x, y, z, head, q});
            check_keyword(u, in, saved, "NODE ", kNodeError);
        } else {
            rio::read(u.IR, "*", {in.KEYWD, N, kode, x, y, z, head, q});
        }
        // 3.2 Stored at N; heads become pressure heads. A number outside the nodes, or a first
        // record other than node 1, is not stored.
        const bool in_range = N >= 1 && N <= NUMNP && (P > 0 || N == 1);
        if (in_range) {
            a.KODE(N) = kode;
            a.X(N) = x;
            a.Y(N) = y;
            a.Z(N) = z;
            a.Q(N) = q;
            a.QINIT(N) = q;
            a.PSI(N) = head - IHEAD * z;
        }
        // 3.3 Node numbers must rise; the group ends at once.
        if (!in_range || N <= P) {
            rio::write(u.IW, kNodeNumberError, {N});
            return 1;
        }
        // 3.4 Nodes between two records on the straight line between them.
        if (N > P + 1) {
            const double D = N - P;
            const double dx = (a.X(N) - a.X(P)) / D, dy = (a.Y(N) - a.Y(P)) / D;
            const double dz = (a.Z(N) - a.Z(P)) / D, dpsi = (a.PSI(N) - a.PSI(P)) / D;
            for (Index k = P + 1; k < N; ++k) {
                a.KODE(k) = a.KODE(P);
                a.Q(k) = a.Q(P);
                a.QINIT(k) = a.Q(P);
                a.X(k) = a.X(k - 1) + dx;
                a.Y(k) = a.Y(k - 1) + dy;
                a.Z(k) = a.Z(k - 1) + dz;
                a.PSI(k) = a.PSI(k - 1) + dpsi;
            }
        }
        // 3.5
        P = N;
        if (P >= NUMNP) break;
    }

    // 4. Back to the model file.
    if (ctl.SEPFIL > 0) {
        rio::close(u.IR);
        u.IR = saved_ir;
    }

    // 5. Group KA: codes over node ranges.
    for (int r = 1; r <= ctl.NKODE; ++r) {
        Index N1 = 0, N2 = 0, INC = 0, code = 0;
        const std::string saved = in.KEYWD;
        rio::read(u.IR, "(A5,3I7,I4)", {in.KEYWD, N1, N2, INC, code});
        check_keyword(u, in, saved, "KODE ", kKodeError);
        if (INC == 0) INC = 1;
        if (N2 == 0) N2 = N1;
        const NodeRange nr = clip_range(N1, N2, INC, 1, NUMNP);
        if (nr.has_bad) range_error(u, in, kKodeError, nr.first_bad);
        for (std::int64_t k = nr.kmin; k <= nr.kmax; ++k) a.KODE(N1 + k * INC) = code;
    }

    // 6. Group KB: initial values over node ranges, by option.
    for (int r = 1; r <= ctl.NINIT; ++r) {
        Index N1 = 0, N2 = 0, INC = 0;
        std::string OPT(1, ' ');
        double VALUE = 0.0;
        const std::string saved = in.KEYWD;
        rio::read(u.IR, "(A5,3I7,A1,F23.0)", {in.KEYWD, N1, N2, INC, OPT, VALUE});
        check_keyword(u, in, saved, "INIT ", kInitError);
        if (INC == 0) INC = 1;
        if (N2 == 0) N2 = N1;
        const NodeRange nr = clip_range(N1, N2, INC, 1, NUMNP);
        if (nr.has_bad) range_error(u, in, kInitError, nr.first_bad);
        const char opt = OPT[0];
        for (std::int64_t k = nr.kmin; k <= nr.kmax; ++k) {
            const std::int64_t n = N1 + k * INC;
            switch (opt) {
                case 'H': a.PSI(n) = VALUE - a.Z(n); break;  // a total head
                case 'P': a.PSI(n) = VALUE; break;           // a pressure head
                case 'Q':
                    a.Q(n) = VALUE;
                    a.QINIT(n) = VALUE;
                    break;
                default: a.PSI(n) = VALUE - IHEAD * a.Z(n); break;
            }
        }
    }

    // 8. Node table and the initial pressure heads.
    for (Index i = 1; i <= NUMNP; ++i) {
        rio::write(u.IW, "(I8,I4,5E15.6)",
                   {i, a.KODE(i), a.X(i), a.Y(i), a.Z(i), a.PSI(i), a.Q(i)});
        a.PSIINI(i) = a.PSI(i);
    }
    return 0;
}

}  // namespace sol
