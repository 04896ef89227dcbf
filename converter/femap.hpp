// FEMAP neutral file: the model blocks of the 3-D model and of the output mesh, and the output
// sets with their node and element vectors, one set per written time.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "arrays.hpp"

namespace gw::femap {

// Start of every extremes search: single-precision 9.9E+30 widened to double, so a vector
// without items shows 9.9E+30 and -9.9E+30.
inline constexpr double kNoExtreme = double(9.9E+30f);

// Smallest and largest value of a vector and the items holding them. Values are compared in
// double before any rounding; only a strictly smaller (larger) value replaces the extreme, so
// ties keep the lower item when items come in increasing order.
struct Extremes {
    double min = kNoExtreme;
    double max = -kNoExtreme;
    std::int32_t imin = 1;
    std::int32_t imax = 1;

    void take(std::int32_t item, double v) {
        if (v < min) {
            min = v;
            imin = item;
        }
        if (v > max) {
            max = v;
            imax = item;
        }
    }
};

// One row of the vector member table: the constant fields of an output vector's records.
struct VectorMember {
    std::int32_t number;
    std::string_view number_text;      // record 1 after the set number: ",10,1,"
    std::string_view title;            // record 2
    std::string_view first_component;  // record 4
    std::string_view type_text;        // record 6 after the two item numbers
    bool real8;                        // data records in REAL*8 (else REAL*4)
};

// The row of vector `number` (10..17, 70010..70017).
const VectorMember& member(std::int32_t number);

// Values of vector 70015 + (c - 1), c = 1..3: the velocity component `v` of an element of
// material `m` divided by its coefficient MATT(m, c). Material numbers outside the table's
// rows 1..999 and coefficients that are not positive give 0.0 rather than a quotient by an
// absent or zero divisor.
double coefficient_quotient(double v, std::int32_t m, const Span2<const double>& MATT, int c);

// Model blocks 100, 401, 402, 403 and 404 of the 3-D model on `unit`: nodes without NFLAG 1
// with coordinates rounded to single precision, elements without EFLAG 1 as hexahedra or
// prisms with their material number as property number, properties 1..MATMAX.
void write_model_3d(int unit, const Span1<const double>& X, const Span1<const double>& Y,
                    const Span1<const double>& Z, const Span2<const std::int32_t>& NOD,
                    std::int32_t NUMNP, std::int32_t NUMEL, const Span1<const std::int32_t>& MTYP,
                    std::int32_t MATMAX, const Span1<const std::int32_t>& EFLAG,
                    const Span1<const std::int32_t>& NFLAG);

// The same blocks for the output mesh: points 1..NPT with double coordinates, cells 1..NCELL
// (ICELL(c, 1..4); third point equal to the fourth: triangle) with property 1.
void write_model_mesh(int unit, std::int32_t NPT, const Span1<const double>& XP,
                      const Span1<const double>& YP, const Span1<const double>& ZP,
                      std::int32_t NCELL, const Span2<const std::int32_t>& ICELL);

// Output set `nset` of the output mesh: block 450, then block 451 with the pressure head PP
// and total head HP of points 1..NPT.
void write_set_mesh(int unit, std::int32_t nset, double TIME, std::int32_t NSTEP,
                    std::int32_t NPT, const Span1<const double>& PP, const Span1<const double>& HP);

// Node averages of the element values: NVX, NVY, NVZ, NTH and NCNT of every node from the
// elements without EFLAG 1 that list it (a node listed twice counts twice); 0.0 where no
// such element lists the node.
void average_to_nodes(std::int32_t NUMNP, std::int32_t NUMEL, const Span2<const std::int32_t>& NOD,
                      const Span1<const double>& VX, const Span1<const double>& VY,
                      const Span1<const double>& VZ, const Span1<const double>& TH,
                      const Span1<const std::int32_t>& EFLAG, const Span1<double>& NVX,
                      const Span1<double>& NVY, const Span1<double>& NVZ, const Span1<double>& NTH,
                      const Span1<std::int32_t>& NCNT);

// Values of the 3-D model for one output set.
struct ModelSet {
    std::int32_t NUMNP = 0, NUMEL = 0;
    Span1<const double> PSI, Z, Q;              // per node
    Span1<const double> NVX, NVY, NVZ, NTH;     // node averages
    Span1<const double> VX, VY, VZ, TH;         // per element
    Span1<const std::int32_t> MTYP, EFLAG, NFLAG;
};

// Output set `nset` of the 3-D model: block 450, then block 451 with node vectors 10..17 and
// element vectors 70010..70014 and, when MATREAD is 1, the coefficient vectors 70015..70017.
void write_set_model(int unit, std::int32_t nset, double TIME, std::int32_t NSTEP,
                     const ModelSet& s, std::int32_t MATREAD, const Span2<const double>& MATT);

}  // namespace gw::femap
