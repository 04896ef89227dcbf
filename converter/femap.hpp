// FEMAP neutral files: the pieces the model and result writers share, beside the writers
// themselves (declared with the other output forms).
#pragma once

#include <cstdint>
#include <string_view>

#include "globals.hpp"

namespace cnv::femap {

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

// Value of vector 70014 + c (c = 1..3) for an element of material `m` with velocity component
// `v`: v / MATT(m, c). Material numbers outside the table's rows 1..999 and coefficients that
// are not positive (a row "MAT.LST" does not give holds 0.0) give 0.0 rather than a quotient by
// an absent or zero divisor.
double coefficient_quotient(double v, std::int32_t m, const Span2<double>& MATT, int c);

}  // namespace cnv::femap
