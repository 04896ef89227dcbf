// Element matrices, global assembly and the element velocities of a solved pass.
#pragma once

#include <cstdint>

#include "model.hpp"
#include "work_arrays.hpp"

namespace gw {

// Arrays of the global system (slices of BD and IB, or the driver's own work vectors).
struct SystemArrays {
    Span1<double> SK;     // NWK: global matrix, rows by MAXA, columns by ISP
    Span1<double> SKS;    // NWK when STORE = 1 (saved conductivity matrix), else 1
    Span1<double> GRAV;   // NUMNP: gravity term, then right-hand side
    Span1<double> GRAVS;  // NUMNP when STORE = 1 (saved gravity term), else 1
    Span1<double> CAPV;   // NUMNP: lumped capacity
    Span1<double> HW;     // NUMNP: work heads
    Span1<double> HOLD;   // NUMNP: heads at the start of the step
    Span1<std::int32_t> ISP;  // NWK: column numbers
};

// Piecewise-linear look-up y(x) in column m of the tables XT, YT with N points.
// A table with no point gives 0.0.
double TABINT(const Span2<double>& XT, const Span2<double>& YT, double x, int N, int m);

// Builds the effective system of one pass (steady, fully implicit or Crank-Nicolson) from
// every active element (EFLAG not 1, MTYP >= 0). Keeps the conductivity system in SKS/GRAVS
// (STORE = 1) or as one record on scratch unit 2. Stops 3333 on a look-up in an empty table.
void ASSEMB(const Control& ctl, const Units& u, const Materials& mat, const MeshArrays& mesh,
            SystemArrays& sys, const Span1<std::int32_t>& EFLAG, int NSTEP, double DT,
            double DTOLD, int ITER);

// Darcy velocity at the centre VEL(1..3, e) and moisture content TH(e) of every active
// element; inactive elements keep their values.
void VELOC(const Control& ctl, const Units& u, const Materials& mat, const MeshArrays& mesh,
           const Span1<std::int32_t>& EFLAG, Span2<double>& VEL, Span1<double>& TH);

}  // namespace gw
