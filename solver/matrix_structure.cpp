// Compressed-row structure of the global matrix (MAXA, ISP) and its database "fort.55".
#include "matrix_structure.hpp"

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

#include "recordio/recordio.hpp"

namespace sol {

namespace {

constexpr int kDatabaseUnit = 55;
constexpr int kMaxRow = 500;       // entries of one row, its own node included
constexpr int kRowShown = 27;      // entries of the row printed with the limit message

[[noreturn]] void database_different() {
    rio::write(rio::kConsoleOut, "*", {"--- PCG-MATRIX ADDRESS DATA BASE DIFFERENT "});
    rio::stop(1111);
}

// Node-to-element incidence: for node n the elements holding it, in ascending order, each
// once. Only the first NPE slots of an element count, and only node numbers in 1..NUMNP
// get a list (other slot values still join the rows of the element's valid nodes).
struct Incidence {
    std::vector<Index> start;         // 0-based: elements of node n at start[n-1]..start[n]-1
    std::vector<Index> elem;
};

int nodes_of(const MeshArrays& mesh, std::int64_t j) {
    const Index npe = mesh.NPE(j);
    const std::int64_t slots = mesh.NOD.ld();
    if (npe <= 0) return 0;
    return static_cast<int>(std::min<std::int64_t>(npe, slots));
}

Incidence build_incidence(const MeshArrays& mesh, int NUMNP, int NUMEL) {
    Incidence inc;
    inc.start.assign(static_cast<std::size_t>(NUMNP) + 1, 0);
    // last[n]: the last element counted for node n, so a repeated slot counts once.
    std::vector<Index> last(static_cast<std::size_t>(NUMNP) + 1, 0);
    const std::int64_t ld = mesh.NOD.ld();
    const Index* nod = mesh.NOD.data();

    // Visits every (node, element) pair once, elements ascending; a repeated slot counts once.
    auto each_incidence = [&](auto&& visit) {
        std::fill(last.begin(), last.end(), 0);
        for (Index j = 1; j <= NUMEL; ++j) {
            const int np = nodes_of(mesh, j);
            const Index* e = nod + (j - 1) * ld;
            for (int l = 0; l < np; ++l) {
                const Index n = e[l];
                if (n < 1 || n > NUMNP || last[n] == j) continue;
                last[n] = j;
                visit(n, j);
            }
        }
    };
    // 1. Count the elements of every node (summed into places below).
    each_incidence([&](Index n, Index) { ++inc.start[n]; });
    // 2. Running sums give each node's first place; fill in ascending element order.
    for (int n = 1; n <= NUMNP; ++n) inc.start[n] += inc.start[n - 1];
    inc.elem.resize(static_cast<std::size_t>(inc.start[NUMNP]));
    std::vector<Index> next(inc.start.begin(), inc.start.end() - 1);
    each_incidence([&](Index n, Index j) {
        inc.elem[static_cast<std::size_t>(next[n - 1]++)] = j;
    });
    return inc;
}

// The related nodes of node n in the order they are met: n first, then the nodes of each
// element holding n (ascending elements, slot order), each once. `mark` holds n for every
// valid node already in the list. Calls `on_overflow(element, node)` when an append would
// make the list longer than 500 entries.
template <class Overflow>
int related_nodes(const MeshArrays& mesh, const Incidence& inc, std::vector<Index>& mark,
                  int NUMNP, Index n, std::array<Index, kMaxRow>& list,
                  Overflow on_overflow) {
    const std::int64_t ld = mesh.NOD.ld();
    const Index* nod = mesh.NOD.data();
    int len = 1;
    list[0] = n;
    mark[n] = n;
    for (Index p = inc.start[n - 1]; p < inc.start[n]; ++p) {
        const Index j = inc.elem[static_cast<std::size_t>(p)];
        const int np = nodes_of(mesh, j);
        const Index* e = nod + (j - 1) * ld;
        for (int l = 0; l < np; ++l) {
            const Index k = e[l];
            if (k >= 1 && k <= NUMNP) {
                if (mark[k] == n) continue;
            } else if (std::find(list.begin(), list.begin() + len, k) != list.begin() + len) {
                continue;  // a slot value outside the nodes: searched in the list itself
            }
            if (len == kMaxRow) {
                on_overflow(j, k, list);
                return len;
            }
            if (k >= 1 && k <= NUMNP) mark[k] = n;
            list[static_cast<std::size_t>(len++)] = k;
        }
    }
    return len;
}

}  // namespace

std::int64_t COLHT(const Control& ctl, const Units& u, const MeshArrays& mesh) {
    const int NUMNP = ctl.NUMNP;
    const int NUMEL = ctl.NUMEL;
    Span1<Index> MAXA = mesh.MAXA;

    if (ctl.IDBASE != 0) {
        // Reuse: records 1 and 2 of the database, checked against this mesh.
        rio::write(rio::kConsoleOut, "*", {" START READING PCG-MATRIX"});
        Index NUMNP0 = 0;
        Index NWK = 0;
        rio::read_unf(kDatabaseUnit, {NUMNP0, NWK});
        rio::write(rio::kConsoleOut, "*", {"NUMNP0,NWK=,", NUMNP0, NWK});
        if (static_cast<std::int64_t>(NUMNP0) != static_cast<std::int64_t>(NUMNP) + 1) database_different();
        rio::read_unf(kDatabaseUnit, {MAXA.span()});
        // Row pointers of another mesh would send the row walks outside the matrix: every
        // row must hold at least its diagonal and the last pointer must close at NWK.
        const Index* maxa = MAXA.data();
        if (maxa[0] != 1) database_different();
        for (int n = 1; n <= NUMNP; ++n)
            if (maxa[n] <= maxa[n - 1]) database_different();
        if (static_cast<std::int64_t>(maxa[NUMNP]) - 1 != NWK) database_different();
        rio::write(rio::kConsoleOut, "*", {" FINISH READING PCG-MATRIX-IS"});
        return NWK;
    }

    // 1. Elements of every node (this replaces the scan of every element per node).
    const Incidence inc = build_incidence(mesh, NUMNP, NUMEL);
    std::vector<Index> mark(static_cast<std::size_t>(NUMNP) + 1, 0);
    std::array<Index, kMaxRow> list{};

    // 2. Row lengths and row pointers.
    const auto overflow = [&](Index element, Index node,
                              const std::array<Index, kMaxRow>& row) {
        rio::write(u.IW,
                   "(//' ****** ERROR IN COLHT --- > RELATIONSHIP NODE NUMBER >27 AT ELEMENT NO. ',"
                   "I6,3X,'ERROR NODAL POINT NO.',I6/' ******* NODAL POINTS *******'/2(10I6/),7I6)",
                   {element, node, std::span<const Index>(row.data(), kRowShown)});
        rio::stop(4444);
    };
    // The entries are counted in 64 bits. The pointers are INTEGER*4: once the count passes
    // that range no further pointer is stored, and the count goes back to the caller, whose
    // dimension check of IB (no longer than that range either) lists the sizes and stops.
    std::int64_t pos = 1;
    MAXA(1) = 1;
    for (Index n = 1; n <= NUMNP; ++n) {
        if (n % 10000 == 0) rio::write(rio::kConsoleOut, "*", {"sub. COLHT on searching node=", n});
        pos += related_nodes(mesh, inc, mark, NUMNP, n, list, overflow);
        if (pos <= kIndexMax) MAXA(n + 1) = static_cast<Index>(pos);
    }

    // 3. Entry count; 4. database records 1 and 2, when the pointers could be held.
    const std::int64_t NWK = pos - 1;
    if (pos > kIndexMax) return NWK;
    rio::write_unf(kDatabaseUnit, {static_cast<Index>(NUMNP + 1), static_cast<Index>(NWK)});
    rio::write_unf(kDatabaseUnit, {MAXA.span()});
    return NWK;
}

void ADRSK(const Control& ctl, const MeshArrays& mesh, std::int64_t NWK, Span1<Index>& ISP) {
    const int NUMNP = ctl.NUMNP;
    const Index nwk = static_cast<Index>(NWK);
    rio::write(rio::kConsoleOut, "*", {" NWK in ADRSK, ", nwk});
    const std::span<Index> isp = ISP.span().first(static_cast<std::size_t>(NWK));

    if (ctl.IDBASE != 0) {
        rio::write(rio::kConsoleOut, "*", {" START READING PCG-MATRIX-ISP"});
        rio::read_unf(kDatabaseUnit, {isp});
        // Column numbers of another mesh: 0 (a node of no element) or a node of this mesh.
        for (const Index c : isp)
            if (c < 0 || c > NUMNP) database_different();
        rio::write(rio::kConsoleOut, "*", {" FINISH READING PCG-MATRIX-ISP"});
        return;
    }

    // Each row: its node first, then the other related nodes ascending. A node that belongs
    // to no element keeps the 0 its diagonal entry was given.
    const Incidence inc = build_incidence(mesh, NUMNP, ctl.NUMEL);
    std::vector<Index> mark(static_cast<std::size_t>(NUMNP) + 1, 0);
    std::array<Index, kMaxRow> list{};
    const Index* maxa = mesh.MAXA.data();
    Index* out = isp.data();
    const auto no_room = [](Index, Index, const std::array<Index, kMaxRow>&) {
        rio::stop(9999);
    };
    for (Index n = 1; n <= NUMNP; ++n) {
        if (n % 10000 == 0) rio::write(rio::kConsoleOut, "*", {"sub. ADRSK on searching node=", n});
        const Index first = maxa[n - 1];
        const Index room = maxa[n] - first;
        if (inc.start[n] == inc.start[n - 1]) continue;  // in no element
        const int len = related_nodes(mesh, inc, mark, NUMNP, n, list, no_room);
        // Row pointers from another mesh: a column finds no place in its row.
        if (len > room || first < 1 || static_cast<std::int64_t>(first) - 1 + len > NWK) rio::stop(9999);
        if (len - 1 >= 2) ISORT(std::span<Index>(list.data() + 1, static_cast<std::size_t>(len - 1)));
        std::copy(list.begin(), list.begin() + len, out + (first - 1));
    }

    rio::write_unf(kDatabaseUnit, {isp});
}

int ISORT(std::span<Index> list) {
    const std::size_t n = list.size();
    if (n <= 1) return -1;
    for (std::size_t i = 1; i < n; ++i) {
        const Index v = list[i];
        std::size_t k = i;
        while (k > 0 && list[k - 1] > v) {
            list[k] = list[k - 1];
            --k;
        }
        list[k] = v;
    }
    return 0;
}

}  // namespace sol
