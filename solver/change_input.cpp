// Reading of the change events: NEWC events (group U) and MATC events (group V).
#include <algorithm>
#include <string>

#include "change_events.hpp"
#include "input.hpp"
#include "recordio/recordio.hpp"

namespace sol {

namespace {

// One keyword record: reads `format` with the keyword first, then applies the keyword rule.
// A wrong keyword prints the group's line and sets the flag; returns false then.
bool read_record(const Units& u, InputState& in, const char* format, rio::Targets items,
                 std::string_view keyword, std::string_view group, bool report = true) {
    const std::string saved = in.KEYWD;
    rio::read(u.IR, format, items);
    if (keyword_ok(in, saved, keyword)) return true;
    if (report) group_error_line(u, keyword, group);
    in.read_error = 1;
    return false;
}

// A value outside the model: the group's error line, the limit line, the flag.
void out_of_model(const Units& u, InputState& in, std::string_view keyword,
                  std::string_view group, std::string_view name, std::int64_t value,
                  std::int64_t lo, std::int64_t hi) {
    group_error_line(u, keyword, group);
    report_limit(u, in, name, value, lo, hi);
}

// Count record (A5,10I5) of one line kind; returns how many lines the table may keep: the
// count, or the maximum when the count is above it (reported).
struct Count {
    int read = 0;    // lines that follow the count record
    int stored = 0;  // lines kept
};
Count read_count(const Units& u, InputState& in, std::string_view keyword,
                 std::string_view count_group, std::string_view name, int maximum) {
    Index n = 0;
    const std::string key(keyword);
    read_record(u, in, "(A5,10I5)", {in.KEYWD, n}, key, count_group);
    Count c{n, n};
    if (n > maximum) {
        out_of_model(u, in, keyword, count_group, name, n, 0, maximum);
        c.stored = maximum;
    }
    return c;
}

// Flag character of a NEWCB line: "C" 1, "N" -1, blank and any other character 0.
Index flag_of(char ch) {
    if (ch == 'C') return 1;
    if (ch == 'N') return -1;
    return 0;
}

// Faces of an element: 6 for a hexahedron, 5 for a prism, none for other node counts.
int faces_of(int npe) {
    if (npe == 8) return 6;
    if (npe == 6) return 5;
    return 0;
}

// NEWCH or NEWCQ lines of event k (same layout): node, flag, target group. `points`, when
// given, holds the table point counts of the target groups (NHTP of the head groups): a node
// sent to a head group without a table would be held at head 0 without a word.
void read_group_lines(const Control& c, const Units& u, InputState& in, std::string_view keyword,
                      std::string_view group, int nbound, const Count& n, int k,
                      const Span2<Index>& node_of, const Span2<Index>& flag_of_line,
                      const Span2<Index>& group_of,
                      const Span1<Index>* points = nullptr) {
    for (int i = 1; i <= n.read; ++i) {
        Index node = 0, flag = 0, g = 0;
        read_record(u, in, "(A5,I7,I3,2I5)", {in.KEYWD, node, flag, g}, keyword, group);
        if (node > c.NUMNP) out_of_model(u, in, keyword, group, "NODE", node, 1, c.NUMNP);
        // The target group matters only on a line that moves a node.
        if (node >= 1 && flag != -1 && g > nbound)
            out_of_model(u, in, keyword, group, "GROUP", g, 1, std::max(nbound, 0));
        if (points && node >= 1 && flag != -1 && g >= 1 && g <= nbound && (*points)(g) < 1)
            out_of_model(u, in, keyword, group, "NHTP", (*points)(g), 1, c.NHBT);
        if (i > n.stored) continue;
        node_of(i, k) = node;
        flag_of_line(i, k) = flag;
        group_of(i, k) = g;
    }
}

// Count record and lines of a MATCE or MATCM list of event m: (element or old material, new
// material). A first number below 1 is an error; an element above `elements` (when that is
// not 0) and a new material above NUMMAT are outside the model.
void read_material_lines(const Control& c, const Units& u, InputState& in,
                         std::string_view keyword, std::string_view count_group,
                         std::string_view group, std::string_view count_name, int maximum,
                         int elements, int m, const Span1<Index>& count,
                         const Span2<Index>& first, const Span2<Index>& second) {
    const Count n = read_count(u, in, keyword, count_group, count_name, maximum);
    count(m) = n.stored;
    for (int i = 1; i <= n.read; ++i) {
        Index a = 0, mat = 0;
        // A first number below 1 is reported like a wrong keyword, on the same one line.
        const bool keyword_right =
            read_record(u, in, "(A5,I7,I3)", {in.KEYWD, a, mat}, keyword, group, false);
        if (!keyword_right || a < 1) {
            group_error_line(u, keyword, group);
            in.read_error = 1;
        }
        if (elements > 0 && a > elements)
            out_of_model(u, in, keyword, group, "ELEMENT", a, 1, elements);
        if (a >= 1 && mat > c.NUMMAT)
            out_of_model(u, in, keyword, group, "MATERIAL", mat, 1, c.NUMMAT);
        if (i > n.stored) continue;
        first(i, m) = a;
        second(i, m) = mat;
    }
}

}  // namespace

void RDNEWC(const Control& c, const Units& u, InputState& in, const MeshArrays& mesh,
            SolutionArrays& s) {
    for (int k = 1; k <= c.NNEWC; ++k) {
        // 1. Group U: the event time.
        double t = 0.0;
        read_record(u, in, "(A5,6F10.0)", {in.KEYWD, t}, "NEWC ", "U  ");
        s.TNEWC(k) = t;
        s.NEWCH_N(k) = s.NEWCQ_N(k) = s.NEWCB_N(k) = s.NEWCR_N(k) = 0;

        // 2. Groups UA, UA': moves between head groups.
        if (c.MXNWCH > 0) {
            const Count n = read_count(u, in, "NEWCH", "UA ", "NNWCH", c.MXNWCH);
            s.NEWCH_N(k) = n.stored;
            read_group_lines(c, u, in, "NEWCH", "UA'", c.NHB, n, k, s.NEWCH_1, s.NEWCH_2,
                             s.NEWCH_3, &s.NHTP);
        }

        // 3. Groups UB, UB': moves between flux groups.
        if (c.MXNWCQ > 0) {
            const Count n = read_count(u, in, "NEWCQ", "UB ", "NNWCQ", c.MXNWCQ);
            s.NEWCQ_N(k) = n.stored;
            read_group_lines(c, u, in, "NEWCQ", "UB'", c.NQB, n, k, s.NEWCQ_1, s.NEWCQ_2,
                             s.NEWCQ_3);
        }

        // 4. Groups UC, UC': new codes and values; V1 becomes a pressure head.
        if (c.MXNWCB > 0) {
            const Count n = read_count(u, in, "NEWCB", "UC ", "NNWCB", c.MXNWCB);
            s.NEWCB_N(k) = n.stored;
            for (int i = 1; i <= n.read; ++i) {
                Index node = 0, code = 0;
                std::string c1(1, ' '), c2(1, ' ');
                double v1 = 0.0, v2 = 0.0, v3 = 0.0;
                read_record(u, in, "(A5,I7,I3,A1,F9.0,A1,F9.0,F10.0)",
                            {in.KEYWD, node, code, c1, v1, c2, v2, v3}, "NEWCB", "UC'");
                if (node > c.NUMNP) out_of_model(u, in, "NEWCB", "UC'", "NODE", node, 1, c.NUMNP);
                if (node >= 1 && node <= c.NUMNP) v1 = v1 - c.IHEAD * mesh.Z(node);
                if (i > n.stored) continue;
                s.NEWCB_1(i, k) = node;
                s.NEWCB_2(i, k) = code;
                s.NEWCB_3(i, k) = flag_of(c1[0]);
                s.NEWCB_4(i, k) = flag_of(c2[0]);
                s.NEWCB_V1(i, k) = v1;
                s.NEWCB_V2(i, k) = v2;
                s.NEWCB_V3(i, k) = v3;
            }
        }

        // 5. Groups UD, UD': rain faces added or removed.
        if (c.MXNWCR > 0) {
            const Count n = read_count(u, in, "NEWCR", "UD ", "NNWCR", c.MXNWCR);
            s.NEWCR_N(k) = n.stored;
            for (int i = 1; i <= n.read; ++i) {
                Index e = 0, flag = 0, iface = 0, irt = 0, iet = 0;
                double rfact = 0.0;
                read_record(u, in, "(A5,I7,I3,I4,2I3,F10.0)",
                            {in.KEYWD, e, flag, iface, irt, iet, rfact}, "NEWCR", "UD'");
                if (e > c.NUMEL) out_of_model(u, in, "NEWCR", "UD'", "ELEMENT", e, 1, c.NUMEL);
                // Face and tables matter only on a line that adds a face.
                if (e >= 1 && e <= c.NUMEL && flag != -1) {
                    const int faces = faces_of(mesh.NPE(e));
                    if (faces > 0 && (iface < 1 || iface > faces))
                        out_of_model(u, in, "NEWCR", "UD'", "IFACE", iface, 1, faces);
                    if (irt < 0 || irt > std::max(c.NRR, 0))
                        out_of_model(u, in, "NEWCR", "UD'", "IRT", irt, 0, std::max(c.NRR, 0));
                    if (iet < 0 || iet > std::max(c.NEV, 0))
                        out_of_model(u, in, "NEWCR", "UD'", "IET", iet, 0, std::max(c.NEV, 0));
                }
                if (i > n.stored) continue;
                s.NEWCR_1(i, k) = e;
                s.NEWCR_2(i, k) = flag;
                s.NEWCR_3(i, k) = iface;
                s.NEWCR_4(i, k) = irt;
                s.NEWCR_5(i, k) = iet;
                s.NEWCR_V(i, k) = rfact;
            }
        }
    }
}

void RDMATC(const Control& c, const Units& u, InputState& in, SolutionArrays& s) {
    for (int m = 1; m <= c.NMATC; ++m) {
        // 1. Group V: the event time.
        double t = 0.0;
        read_record(u, in, "(A5,6F10.0)", {in.KEYWD, t}, "MATC ", "V  ");
        s.TMATC(m) = t;
        s.MATCE_N(m) = s.MATCM_N(m) = 0;

        // 2. Groups VA, VA': elements given a new material.
        if (c.MXMATE > 0)
            read_material_lines(c, u, in, "MATCE", "VA ", "VA'", "NMATE", c.MXMATE, c.NUMEL, m,
                                s.MATCE_N, s.MATCE_1, s.MATCE_2);
        // 3. Groups VB, VB': one material replaced by another; an old material above NUMMAT
        // matches no element and is allowed.
        if (c.MXMATM > 0)
            read_material_lines(c, u, in, "MATCM", "VB ", "VB'", "NMATM", c.MXMATM, 0, m,
                                s.MATCM_N, s.MATCM_1, s.MATCM_2);
    }
}

}  // namespace sol
