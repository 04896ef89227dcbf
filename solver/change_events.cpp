// Applying the change events: NEWC events on the boundary groups, node codes and rain faces,
// MATC events on the element materials, and the firing of the events due in a pass.
#include <cstdlib>

#include "change_events.hpp"
#include "rain.hpp"
#include "recordio/recordio.hpp"

namespace sol {

namespace {

// An event is due this much before its time: single-precision 0.001 widened to double.
constexpr double kDueTol = double(0.001f);

// The head or the flux groups as one NEWC line kind sees them.
struct Groups {
    int count;                   // NHB or NQB
    int slots;                   // NHBN or NQBN
    Span1<Index> nodes;          // NHN or NQN
    Span2<Index> slot;           // IHBN or IQBN (slot value 0 = empty)
    const char* keyword;         // "NEWCH" or "NEWCQ"
    const char* group;           // "UA'" or "UB'"
};

// A node bound for a group with no empty slot would lose its boundary condition.
[[noreturn]] void no_empty_slot(const Units& u, const Groups& gr, int g, int n, double TIME) {
    rio::write(u.IW, "(' ** ERROR ** ',A5,' DATA -- Group ',A3)", {gr.keyword, gr.group});
    rio::write(u.IW, "(' ** ERROR ** GROUP',I5,' HAS NO EMPTY SLOT FOR NODE',I8,' AT TIME',1PE13.5)",
               {g, n, TIME});
    rio::stop(3333);
}

// Puts node n into the first empty slot of group g.
void enter_group(const Units& u, const Groups& gr, int g, int n, double TIME) {
    for (int i = 1; i <= gr.slots; ++i) {
        if (gr.slot(g, i) == 0) {
            gr.nodes(g) = gr.nodes(g) + 1;
            gr.slot(g, i) = n;
            return;
        }
    }
    no_empty_slot(u, gr, g, n, TIME);
}

// One NEWCH or NEWCQ line on node n. Flag -1: n leaves the first slot that holds it (Left).
// Otherwise n leaves every group slot that holds it until, with g > 0, it enters group g
// (Entered); a node in no group enters g when g >= 1. The caller sets the code from the end.
enum class LineEnd { Nothing, Left, Entered };
LineEnd move_node(const Units& u, const Groups& gr, int n, int flag, int g, double TIME) {
    if (flag == -1) {
        for (int j = 1; j <= gr.count; ++j) {
            if (gr.nodes(j) <= 0) continue;
            for (int i = 1; i <= gr.slots; ++i) {
                if (gr.slot(j, i) != n) continue;
                gr.slot(j, i) = 0;
                gr.nodes(j) = gr.nodes(j) - 1;
                return LineEnd::Left;
            }
        }
        return LineEnd::Nothing;
    }
    bool found = false;
    for (int j = 1; j <= gr.count; ++j) {
        if (gr.nodes(j) <= 0) continue;
        for (int i = 1; i <= gr.slots; ++i) {
            if (gr.slot(j, i) != n) continue;
            found = true;
            gr.slot(j, i) = 0;
            gr.nodes(j) = gr.nodes(j) - 1;
            if (g > 0) {
                enter_group(u, gr, g, n, TIME);
                return LineEnd::Entered;
            }
        }
    }
    if (!found && g >= 1) {
        enter_group(u, gr, g, n, TIME);
        return LineEnd::Entered;
    }
    return LineEnd::Nothing;
}

// Q(n) after a NEWCB line: the input flow ("C"), V2 ("N"), or `otherwise` (blank). V2 also
// becomes the node's input flow: every pass starts Q from QINIT, so an inflow set in Q alone
// would be lost in the same pass.
void set_flow(MeshArrays& m, int n, int c2, double v2, double otherwise) {
    if (c2 == -1) m.QINIT(n) = v2;
    m.Q(n) = (c2 == 1 || c2 == -1) ? m.QINIT(n) : otherwise;
}

// One NEWCB line: node n gets code c, with its head, flow and seepage entry as the old and
// new codes require.
void new_code(const Control& ctl, MeshArrays& m, int n, int c, int c1, int c2, double v1,
              double v2, double v3) {
    const int c0 = m.KODE(n);
    if (std::abs(c0) == 2 && std::abs(c) != 2) {
        // A seepage node leaves its first seepage entry.
        for (int j = 1; j <= ctl.MAXSEP; ++j) {
            if (m.IFSEEP(j) > 0 && m.KSEEP(j) == n) {
                m.KSEEP(j) = 0;
                m.IFSEEP(j) = m.IFSEEP(j) - 1;
                break;
            }
        }
        m.KODE(n) = c;
        if (c == 1 && c1 == -1) m.PSI(n) = v1;
        if (c == 0) set_flow(m, n, c2, v2, m.Q(n));
    } else if (c == 0) {
        m.KODE(n) = 0;
        if (c1 == -1) m.PSI(n) = v1;
        set_flow(m, n, c2, v2, m.Q(n));
    } else if (c == 1) {
        m.KODE(n) = 1;
        if (c1 == -1) m.PSI(n) = v1;
    } else if (std::abs(c) == 2) {
        // A new seepage node takes the first free entry; with none free nothing changes.
        for (int j = 1; j <= ctl.MAXSEP; ++j) {
            if (m.IFSEEP(j) != 0) continue;
            m.KODE(n) = c;
            m.IFSEEP(j) = 1;
            m.KSEEP(j) = n;
            m.SEPVAL(j) = v3;
            if (c == 2) m.PSI(n) = 0.0;
            set_flow(m, n, c2, v2, 0.0);
            break;
        }
    }
}

}  // namespace

void APNEWC(int k, SolverRun& run, SolutionArrays& s, double TIME) {
    const Control& c = run.ctl;
    const Units& u = run.units;
    MeshArrays& m = run.mesh;

    // 1. NEWCH lines: the head-group pass of the step sets the codes of group nodes; a node
    // freed from its group becomes free.
    const Groups head{c.NHB, c.NHBN, s.NHN, s.IHBN, "NEWCH", "UA'"};
    for (int i = 1; i <= s.NEWCH_N(k); ++i) {
        const int n = s.NEWCH_1(i, k), flag = s.NEWCH_2(i, k);
        if (n < 1) continue;
        if (move_node(u, head, n, flag, s.NEWCH_3(i, k), TIME) == LineEnd::Left) m.KODE(n) = 0;
    }

    // 2. NEWCQ lines: a node entering a flux group becomes free.
    const Groups flux{c.NQB, c.NQBN, s.NQN, s.IQBN, "NEWCQ", "UB'"};
    for (int i = 1; i <= s.NEWCQ_N(k); ++i) {
        const int n = s.NEWCQ_1(i, k), flag = s.NEWCQ_2(i, k);
        if (n < 1) continue;
        if (move_node(u, flux, n, flag, s.NEWCQ_3(i, k), TIME) == LineEnd::Entered)
            m.KODE(n) = 0;
    }

    // 3. NEWCB lines: new codes, heads, flows and seepage entries.
    for (int i = 1; i <= s.NEWCB_N(k); ++i) {
        const int n = s.NEWCB_1(i, k);
        if (n < 1) continue;
        new_code(c, m, n, s.NEWCB_2(i, k), s.NEWCB_3(i, k), s.NEWCB_4(i, k), s.NEWCB_V1(i, k),
                 s.NEWCB_V2(i, k), s.NEWCB_V3(i, k));
    }

    // 4. NEWCR lines: rain faces added to free entries or removed with all faces of their
    // element; then every rain node is freed and the faces and rain nodes are rebuilt.
    if (s.NEWCR_N(k) < 1) return;
    for (int i = 1; i <= s.NEWCR_N(k); ++i) {
        const int e = s.NEWCR_1(i, k);
        if (e < 1) continue;
        if (s.NEWCR_2(i, k) != -1) {
            for (int f = 1; f <= c.NRFACE; ++f) {
                if (s.IRFACE(f, 1) != 0) continue;
                s.IRFACE(f, 1) = e;
                s.IRFACE(f, 3) = s.NEWCR_3(i, k);
                s.IRT(f) = s.NEWCR_4(i, k);
                s.IET(f) = s.NEWCR_5(i, k);
                s.RFACE(f, 1) = s.NEWCR_V(i, k);
                break;
            }
        } else {
            for (int f = 1; f <= c.NRFACE; ++f)
                if (s.IRFACE(f, 1) == e) s.IRFACE(f, 1) = 0;
        }
    }
    for (int j = 1; j <= c.NRNODE; ++j) {
        const int n = s.IRNODE(j);
        if (n > 0) m.KODE(n) = 0;
    }
    RDRAIN(c, run.units, run.input, m, s, kRainRebuild);
}

bool apply_matc(int ev, const Control& c, MeshArrays& m, SolutionArrays& s) {
    bool removed = false;
    // 1. MATCM lines in order, so that a later line sees what an earlier one gave.
    for (int i = 1; i <= s.MATCM_N(ev); ++i) {
        const int old_mat = s.MATCM_1(i, ev), new_mat = s.MATCM_2(i, ev);
        if (old_mat <= 0) continue;
        for (int e = 1; e <= c.NUMEL; ++e) {
            if (m.MTYP(e) != old_mat) continue;
            m.MTYP(e) = new_mat;
            if (new_mat < 1) removed = true;
        }
    }
    // 2. MATCE lines.
    for (int i = 1; i <= s.MATCE_N(ev); ++i) {
        const int e = s.MATCE_1(i, ev);
        if (e <= 0) continue;
        m.MTYP(e) = s.MATCE_2(i, ev);
        if (m.MTYP(e) < 1) removed = true;
    }
    return removed;
}

void fire_due_events(SolverRun& run, SolutionArrays& s, const DriverState& d) {
    const Control& c = run.ctl;
    if (d.NSTEP <= 0) return;
    // 1. NEWC events before MATC events, each in its input order.
    bool fired = false;
    for (int k = 1; k <= c.NNEWC; ++k) {
        if (s.TNEWC(k) > 0.0 && d.TIME + kDueTol >= s.TNEWC(k)) {
            APNEWC(k, run, s, d.TIME);
            s.TNEWC(k) = -1.0;
            fired = true;
        }
    }
    // Their lines may free or recode nodes that a removal left to no active element (a node
    // leaving a head group, entering a flux group, given a new code, or reset as a rain node):
    // such nodes, with an empty matrix row, stay out of the solve.
    if (fired) switch_off_orphan_nodes(c, run.mesh, s);
    // 2. MATC events; the active elements and nodes are recomputed once, and only when an
    // element was removed (an element given back a material waits for a later removal).
    bool removed = false;
    for (int ev = 1; ev <= c.NMATC; ++ev) {
        if (s.TMATC(ev) > 0.0 && d.TIME + kDueTol >= s.TMATC(ev)) {
            if (apply_matc(ev, c, run.mesh, s)) removed = true;
            s.TMATC(ev) = -1.0;
        }
    }
    if (removed) SETACT(c, run.mesh, s);
}

}  // namespace sol
