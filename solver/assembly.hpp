// Element matrices, global assembly and the element velocities of a solved pass.
#pragma once

#include <array>
#include <cstdint>

#include "model.hpp"
#include "shape.hpp"
#include "work_arrays.hpp"

namespace sol {

// Arrays of the global system (slices of BD and IB, or the driver's own work vectors).
struct SystemArrays {
    Span1<double> SK;     // NWK: global matrix, rows by MAXA, columns by ISP
    Span1<double> SKS;    // NWK when STORE = 1 (saved conductivity matrix), else 1
    Span1<double> GRAV;   // NUMNP: gravity term, then right-hand side
    Span1<double> GRAVS;  // NUMNP when STORE = 1 (saved gravity term), else 1
    Span1<double> CAPV;   // NUMNP: lumped capacity
    Span1<double> HW;     // NUMNP: work heads
    Span1<double> HOLD;   // NUMNP: heads at the start of the step
    Span1<Index> ISP;         // NWK: column numbers
};

// Piecewise-linear look-up y(x) in column m of the tables XT, YT with N points: the last
// value at or above the last point, the first interval extended below the first point.
// A table with no point gives 0.0.
double TABINT(const Span2<double>& XT, const Span2<double>& YT, double x, int N, int m);

// Stops 3333 with the group I,J error lines when material m has an empty pressure-head or
// relative-conductivity table, so an unsaturated head has nothing to be looked up in.
void require_unsat_tables(const Units& u, const Materials& mat, int m);

// Everything an element routine reads and adds into during one assembly.
struct ElementContext {
    const Control& ctl;
    const Units& u;
    const Materials& mat;
    const MeshArrays& mesh;
    SystemArrays& sys;
};

// Fixed-size work of one element, reused for every element of an assembly.
struct ElementWork {
    int NNODE = 0;
    std::array<Index, 8> NODE{};         // global node numbers of the slots
    Xyze XYZE{};
    Mat3 CONE{};                         // conductivity tensor of the material
    std::array<std::array<double, 8>, 8> SE{};  // SE(a, b) = SE[a-1][b-1]
    double STC = 0.0;    // CONS1 x SS / POROSITY
    double SATSW = 1.0;  // storage switch of variant A
    ShapePoint sp;
};

// Material number of element e when it takes part in the system and the velocities (EFLAG
// not 1, material in 1..NUMMAT, 6 or 8 nodes, all in 1..NUMNP), with its NNODE, NODE and
// XYZE set in w; 0 when it does not.
int gather_element(const Control& ctl, const MeshArrays& mesh, const Span1<Index>& EFLAG,
                   int e, ElementWork& w);

// Conductivity tensor of material m: CONDT when IROT(m) is non-zero, else diag(K1, K2, K3).
Mat3 material_tensor(const Materials& mat, int m);

// Sets CONE, zeroes SE and has the element routine of NNODE and IELVAR add the element's
// terms into SK (through ADDSK), GRAV and CAPV. NNODE, NODE, XYZE, STC and SATSW are set
// by the caller. Node counts other than 6 and 8 add nothing.
void ELSET(const ElementContext& c, ElementWork& w, int m);

// Variant A (properties at each integration point) and variant B (properties at the nodes,
// interpolated) for hexahedra and prisms. Each adds into GRAV and CAPV and accumulates SE.
void ELEM8A(const ElementContext& c, ElementWork& w, int m);
void ELEM6A(const ElementContext& c, ElementWork& w, int m);
void ELEM8B(const ElementContext& c, ElementWork& w, int m);
void ELEM6B(const ElementContext& c, ElementWork& w, int m);

// Adds SE into SK at the positions of the element's node pairs. A column missing from a row
// read back from the database (IDBASE not 0) means the structure belongs to another mesh:
// console line and stop 1111. Node numbers outside 1..NUMNP are skipped.
void ADDSK(const ElementContext& c, const ElementWork& w);

// Builds the effective system of one pass (steady, fully implicit or Crank-Nicolson) from
// every active element (EFLAG not 1, MTYP >= 0). Keeps the conductivity system in SKS/GRAVS
// (STORE = 1) or as one record on scratch unit 2. Stops 3333 on a look-up in an empty table.
void ASSEMB(const Control& ctl, const Units& u, const Materials& mat, const MeshArrays& mesh,
            SystemArrays& sys, const Span1<Index>& EFLAG, int NSTEP, double DT,
            double DTOLD, int ITER);

// Darcy velocity at the centre VEL(1..3, e) and moisture content TH(e) of every active
// element; inactive elements keep their values. Stops 3333 on a look-up in an empty table.
void VELOC(const Control& ctl, const Units& u, const Materials& mat, const MeshArrays& mesh,
           const Span1<Index>& EFLAG, Span2<double>& VEL, Span1<double>& TH);

}  // namespace sol
