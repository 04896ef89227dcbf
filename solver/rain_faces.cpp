// Rain and evaporation faces: group L, the faces' nodes and horizontal areas, the face-area
// file and the rain-node list.
#include "rain.hpp"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

#include "input.hpp"
#include "recordio/recordio.hpp"

namespace sol {

namespace {

constexpr int kFaceAreaUnit = 155;  // never opened by name, so the file is "fort.155"
constexpr int kRainStop = 8001;

// Local node numbers of each face, in the order the face is walked; a prism's triangles
// leave the fourth place 0.
constexpr int kHexFaces[6][4] = {{1, 2, 3, 4}, {1, 5, 6, 2}, {2, 6, 7, 3},
                                 {3, 7, 8, 4}, {4, 8, 5, 1}, {5, 8, 7, 6}};
constexpr int kPrismFaces[5][4] = {{1, 2, 3, 0}, {1, 4, 5, 2}, {2, 5, 6, 3}, {3, 6, 4, 1}, {4, 6, 5, 0}};

// Number of faces of an element with `npe` nodes (0: no face table).
int faces_of(int npe) { return npe == 8 ? 6 : npe == 6 ? 5 : 0; }

// One value of group L that cannot be stored: the group line and the detail line.
void limit(const Units& u, InputState& in, std::string_view keyword, std::string_view group,
           std::string_view name, std::int64_t value, std::int64_t lo, std::int64_t hi) {
    group_error_line(u, keyword, group);
    report_limit(u, in, name, value, lo, hi);
}

// The RAINR or EVAPO tables: for each, the head record with its point count NT, then the NT
// (time, value) pairs, three to a record. Points past `cap` are read and dropped. Returns
// true when a table had more points than `cap`, its first two times are equal or a time lies
// below the one before it.
bool read_tables(const Units& u, InputState& in, std::string_view keyword,
                 std::string_view group, int tables, int cap, const Span2<double>& T,
                 const Span2<double>& V, const Span1<Index>& NTP) {
    bool bad = false;
    const int room = std::max(cap, 0);
    for (int t = 1; t <= tables; ++t) {
        Index NT = 0;
        const std::string saved = in.KEYWD;
        rio::read(u.IR, "(A5,I5)", {in.KEYWD, NT});
        check_keyword_group(u, in, saved, keyword, group);
        // Equal first two times: a look-up before them would divide by a zero interval. A
        // time below the one before it: the look-up would never reach the points past it.
        auto check_times = [&](const double* times) {
            if (NT >= 2 && times[0] == times[1]) {
                group_error_line(u, keyword, group);
                report_equal_first_times(u, in, keyword, t, times[0]);
                bad = true;
            }
            if (const TableOrderFault f = table_order_fault(times, NT, false); f.point != 0) {
                group_error_line(u, keyword, group);
                report_descending_time(u, in, keyword, t, f.point + 1, times[f.point]);
                bad = true;
            }
        };
        if (NT <= room) {
            rio::read(u.IR, "(6F10.0)", {rio::Target::loop(NT, &T(1, t), &V(1, t))});
            NTP(t) = NT;
            check_times(&T(1, t));
            continue;
        }
        // Too many points: the whole table is read so the records stay in step.
        limit(u, in, keyword, group, "NT", NT, 0, cap);
        bad = true;
        std::vector<double> times(static_cast<std::size_t>(NT)), values(times.size());
        rio::read(u.IR, "(6F10.0)", {rio::Target::loop(NT, times.data(), values.data())});
        for (int j = 1; j <= room; ++j) {
            T(j, t) = times[j - 1];
            V(j, t) = values[j - 1];
        }
        NTP(t) = room;
        check_times(times.data());
    }
    return bad;
}

// Group L. Returns true when a value could not be stored.
bool read_group_L(const Control& c, const Units& u, InputState& in, const MeshArrays& mesh,
                  SolutionArrays& s) {
    bool bad = false;
    // 1. RAIN record.
    Index NRL = 0;
    {
        const std::string saved = in.KEYWD;
        rio::read(u.IR, "(A5,I5)", {in.KEYWD, NRL});
        check_keyword_group(u, in, saved, "RAIN ", "L");
    }

    // 2. RAINE records, expanded into entries from entry 1; entries left over stay empty.
    for (int i = 1; i <= c.NRFACE; ++i) {
        for (int col = 1; col <= 7; ++col) s.IRFACE(i, col) = 0;
        s.IRT(i) = 0;
        s.IET(i) = 0;
        s.RFACE(i, 1) = 0.0;
        s.RFACE(i, 2) = 0.0;
    }
    std::int64_t entries = 0;
    for (Index r = 1; r <= NRL; ++r) {
        Index E1 = 0, E2 = 0, INC = 0, IFACE = 0, IRT = 0, IET = 0;
        double RFACT = 0.0;
        const std::string saved = in.KEYWD;
        rio::read(u.IR, "(A5,3I7,3I3,F10.0)", {in.KEYWD, E1, E2, INC, IFACE, IRT, IET, RFACT});
        check_keyword_group(u, in, saved, "RAINE", "LA");
        if (E2 < 1) E2 = E1;
        if (INC == 0) INC = 1;
        auto problem = [&](std::string_view name, std::int64_t v, std::int64_t lo, std::int64_t hi) {
            limit(u, in, "RAINE", "LA ", name, v, lo, hi);
            bad = true;
        };
        if (IRT < 0 || IRT > std::max(c.NRR, 0)) problem("IRT", IRT, 0, std::max(c.NRR, 0));
        if (IET < 0 || IET > std::max(c.NEV, 0)) problem("IET", IET, 0, std::max(c.NEV, 0));
        // Integer division truncating toward zero, as the counted loop of the record does.
        const std::int64_t count = (std::int64_t(E2) - E1 + INC) / INC;
        bool element_reported = false, face_reported = false;
        for (std::int64_t k = 0; k < count; ++k) {
            if (entries >= c.NRFACE) {
                problem("ENTRY", entries + 1, 1, c.NRFACE);
                entries += count - k;
                break;
            }
            const std::int64_t e = E1 + k * INC;
            if (e > c.NUMEL) {
                if (!element_reported) problem("ELEMENT", e, 1, c.NUMEL);
                element_reported = true;
            } else if (e >= 1 && !face_reported) {
                const int nf = faces_of(mesh.NPE(e));
                if (nf > 0 && (IFACE < 1 || IFACE > nf)) {
                    problem("IFACE", IFACE, 1, nf);
                    face_reported = true;
                }
            }
            ++entries;
            s.IRFACE(entries, 1) = static_cast<Index>(e);
            s.IRFACE(entries, 3) = IFACE;
            s.IRT(entries) = IRT;
            s.IET(entries) = IET;
            s.RFACE(entries, 1) = RFACT;
        }
    }

    // 3., 4. Rainfall and evaporation tables.
    bad |= read_tables(u, in, "RAINR", "LB ", c.NRR, c.NRRPT, s.TRAIN, s.RRAIN, s.NRTP);
    bad |= read_tables(u, in, "EVAPO", "LC ", c.NEV, c.NEVPT, s.TEVAP, s.REVAP, s.NETP);
    return bad;
}

// Face nodes, horizontal area and face-area record of every entry with an element.
void build_faces(const Control& c, const MeshArrays& mesh, SolutionArrays& s) {
    for (int i = 1; i <= c.NRFACE; ++i) {
        const Index e = s.IRFACE(i, 1);
        if (e < 1) {
            s.IRFACE(i, 2) = 0;
            continue;
        }
        // An element outside the mesh or a face number outside its faces has no face.
        int n = 0;
        const int* local = nullptr;
        const int face = s.IRFACE(i, 3);
        if (e <= c.NUMEL && face >= 1 && face <= faces_of(mesh.NPE(e))) {
            if (mesh.NPE(e) == 8) {
                n = 4;
                local = kHexFaces[face - 1];
            } else {
                n = (face == 1 || face > 4) ? 3 : 4;
                local = kPrismFaces[face - 1];
            }
        }
        s.IRFACE(i, 2) = n;
        for (int k = 0; k < 4; ++k) s.IRFACE(i, 4 + k) = k < n ? mesh.NOD(local[k], e) : 0;
        const double area = FAREA(s.IRFACE, mesh.X, mesh.Y, i);
        s.RFACE(i, 2) = area;
        rio::write(kFaceAreaUnit, "*", {e, area});
    }
}

// The distinct face nodes in order of first appearance; each face node is then replaced by
// its place in the list.
void build_rain_nodes(const Control& c, const Units& u, SolutionArrays& s) {
    for (int j = 1; j <= c.NRNODE; ++j) s.IRNODE(j) = 0;
    std::vector<Index> place(static_cast<std::size_t>(c.NUMNP) + 1, 0);
    Index listed = 0;
    for (int i = 1; i <= c.NRFACE; ++i) {
        const int n = s.IRFACE(i, 2);
        for (int col = 4; col < 4 + n; ++col) {
            const Index node = s.IRFACE(i, col);
            if (node < 1 || node > c.NUMNP || place[node] != 0) continue;
            if (listed >= c.NRNODE) {
                rio::write(u.IW, "(' ** ERROR ** RAIN DATA -- Group L  ')");
                rio::write(u.IW, "(' ** ERROR ** MORE THAN NRNODE =',I8,' RAIN NODES')", {c.NRNODE});
                rio::stop(kRainStop);
            }
            s.IRNODE(++listed) = node;
            place[node] = listed;
        }
    }
    for (int i = 1; i <= c.NRFACE; ++i) {
        if (s.IRFACE(i, 2) <= 0) continue;
        for (int col = 4; col <= 7; ++col) {
            const Index node = s.IRFACE(i, col);
            if (node >= 1 && node <= c.NUMNP) s.IRFACE(i, col) = place[node];
        }
    }
}

}  // namespace

double FAREA(const Span2<Index>& IRFACE, const Span1<double>& X, const Span1<double>& Y,
             std::int64_t i) {
    const Index n1 = IRFACE(i, 4);
    if (n1 < 1) return 0.0;
    auto tri = [&](Index a, Index b, Index c) {
        return std::abs((X(b) - X(a)) * (Y(c) - Y(a)) - (Y(b) - Y(a)) * (X(c) - X(a))) * 0.5;
    };
    double area = tri(n1, IRFACE(i, 5), IRFACE(i, 6));
    if (IRFACE(i, 2) == 4) area += tri(n1, IRFACE(i, 6), IRFACE(i, 7));
    return area;
}

void RDRAIN(const Control& ctl, const Units& u, InputState& in, const MeshArrays& mesh,
            SolutionArrays& s, int rebuild) {
    if (rebuild != kRainRebuild && read_group_L(ctl, u, in, mesh, s)) rio::stop(kRainStop);
    build_faces(ctl, mesh, s);
    build_rain_nodes(ctl, u, s);
}

}  // namespace sol
