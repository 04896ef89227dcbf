// FEMAP neutral output sets: the set block and the node and element vectors of the 3-D model
// and of the output mesh, all written by one vector writer driven by the member table.
#include <algorithm>
#include <array>
#include <cmath>
#include <span>
#include <string_view>

#include "femap.hpp"
#include "node_averages.hpp"
#include "recordio/recordio.hpp"
#include "writers.hpp"

namespace cnv {

namespace femap {

namespace {

constexpr std::string_view kNoComponents = "0,0,0,0,0,0,0,0,0,0,";

// Type texts: a scalar or vector of node values (7) or of element values (8).
constexpr std::array<VectorMember, 16> kMembers = {{
    {10, ",10,1,", "Pressure Head", kNoComponents, ",6,7,", false},
    {11, ",11,1,", "Total Head", kNoComponents, ",6,7,", false},
    {12, ",12,1,", "Q", kNoComponents, ",6,7,", false},
    {13, ",13,1,", "Velocity(Node)", "14,15,16,0,0,0,0,0,0,0,", ",1,7,", true},
    {14, ",14,1,", "X Velocity(Node)", "14,0,0,0,0,0,0,0,0,0,", ",1,7,", true},
    {15, ",15,1,", "Y Velocity(Node)", "0,15,0,0,0,0,0,0,0,0,", ",1,7,", true},
    {16, ",16,1,", "Z Velocity(Node)", "0,0,16,0,0,0,0,0,0,0,", ",1,7,", true},
    {17, ",17,1,", "NTH", kNoComponents, ",6,7,", false},
    {70010, ",70010,1,", "Velocity", "70011,70012,70013,0,0,0,0,0,0,0,", ",1,8,", false},
    {70011, ",70011,1,", "X Velocity", "70011,0,0,0,0,0,0,0,0,0,", ",1,8,", false},
    {70012, ",70012,1,", "Y Velocity", "70012,0,0,0,0,0,0,0,0,0,", ",1,8,", false},
    {70013, ",70013,1,", "Z Velocity", "70013,0,0,0,0,0,0,0,0,0,", ",1,8,", false},
    {70014, ",70014,1,", "TH", kNoComponents, ",1,8,", false},
    {70015, ",70015,1,", "ix", "70015,0,0,0,0,0,0,0,0,0,", ",1,8,", false},
    {70016, ",70016,1,", "iy", "70016,0,0,0,0,0,0,0,0,0,", ",1,8,", false},
    {70017, ",70017,1,", "iz", "70017,0,0,0,0,0,0,0,0,0,", ",1,8,", false},
}};

void text(int unit, std::string_view t) { rio::write(unit, "*", {t}); }

void close_block(int unit) { rio::write(unit, "(I5)", {std::int32_t{-1}}); }

// Block 450: set number, title "NSTEP T=time", and the time as the set's value.
void set_block(int unit, std::int32_t nset, double TIME, std::int32_t NSTEP) {
    const float time4 = static_cast<float>(TIME);
    rio::write(unit, "(I5)", {std::int32_t{-1}});
    rio::write(unit, "(I6)", {std::int32_t{450}});
    rio::write(unit, "*", {nset});
    rio::write(unit, "(I4,' T=',1PE12.4)", {NSTEP, time4});
    text(unit, "0,0,");
    rio::write(unit, "*", {time4});
    text(unit, "1,");
    text(unit, "  ");
    close_block(unit);
}

void open_vectors(int unit) {
    rio::write(unit, "(I5)", {std::int32_t{-1}});
    rio::write(unit, "(I6)", {std::int32_t{451}});
}

// The data records "k, value" of the items k = 1..n with keep(k), value rounded to T, then the
// end record -1 with a zero of T; a list-directed statement each, 1024 statements to a call.
template <class T, class Keep, class Data>
void write_records(int unit, std::int32_t n, Keep keep, Data data) {
    constexpr std::int64_t kPerCall = 1024;
    std::array<std::int32_t, kPerCall> item;
    std::array<T, kPerCall> value;
    std::int64_t held = 0;
    auto flush = [&] {
        const std::size_t h = static_cast<std::size_t>(held);
        rio::write_rows(unit, held, {std::span<std::int32_t>(item.data(), h), ",", std::span<T>(value.data(), h)});
        held = 0;
    };
    for (std::int32_t k = 1; k <= n; ++k) {
        if (!keep(k)) continue;
        item[static_cast<std::size_t>(held)] = k;
        value[static_cast<std::size_t>(held)] = static_cast<T>(data(k));
        if (++held == kPerCall) flush();
    }
    if (held > 0) flush();
    rio::write(unit, "*", {std::int32_t{-1}, ",", T{0}});
}

// Writes output vector `number` of set `nset` over the items k = 1..n with keep(k):
//   1. the extremes of value(k), in double, over those items in increasing order;
//   2. the seven header records with the extremes rounded to single precision;
//   3. one record per item with data(k), rounded to single precision unless the member
//      writes REAL*8, and the end record -1 with a zero of the same precision.
template <class Keep, class Value, class Data>
void write_vector(int unit, std::int32_t nset, std::int32_t number, std::int32_t n, Keep keep,
                  Value value, Data data) {
    const VectorMember& m = member(number);
    Extremes ex;
    for (std::int32_t k = 1; k <= n; ++k)
        if (keep(k)) ex.take(k, value(k));

    rio::write(unit, "*", {nset, m.number_text});
    text(unit, m.title);
    const float lo = static_cast<float>(ex.min), hi = static_cast<float>(ex.max);
    const float big = static_cast<float>(std::max(std::abs(ex.min), std::abs(ex.max)));
    rio::write(unit, "*", {lo, hi, big});
    text(unit, m.first_component);
    text(unit, kNoComponents);
    rio::write(unit, "*", {ex.imin, ",", ex.imax, m.type_text});
    text(unit, "0,1,1,");

    if (m.real8) {
        write_records<double>(unit, n, keep, data);
    } else {
        write_records<float>(unit, n, keep, data);
    }
}

// The common case: the data records show the value the extremes were taken from.
template <class Keep, class Value>
void write_vector(int unit, std::int32_t nset, std::int32_t number, std::int32_t n, Keep keep,
                  Value value) {
    write_vector(unit, nset, number, n, keep, value, value);
}

}  // namespace

const VectorMember& member(std::int32_t number) {
    for (const VectorMember& m : kMembers)
        if (m.number == number) return m;
    return kMembers.front();  // not reached: callers name table rows only
}

double coefficient_quotient(double v, std::int32_t m, const Span2<double>& MATT, int c) {
    if (m < 1 || m > kMaxMaterialRows) return 0.0;
    const double coef = MATT(m, c);
    return coef > 0.0 ? v / coef : 0.0;
}

}  // namespace femap

using femap::write_vector;

void FEMMSH(const OutputMesh& mesh, double TIME, Index NSTEP, WriterCounters& cnt) {
    const int unit = cnt.IFEM;
    const Index nset = ++cnt.NSETF;
    femap::set_block(unit, nset, TIME, NSTEP);
    femap::open_vectors(unit);
    const auto every = [](Index) { return true; };
    write_vector(unit, nset, 10, mesh.NPT, every, [&](Index k) { return mesh.PP(k); });
    write_vector(unit, nset, 11, mesh.NPT, every, [&](Index k) { return mesh.HP(k); });
    femap::close_block(unit);
}

void FEMAVG(const RealView& Z, const RealView& PSI, const RealView& NVX, const RealView& NVY,
            const RealView& NVZ, const RealView& VX, const RealView& VY, const RealView& VZ,
            const RealView& Q, const RealView& TH, const RealView& NTH, const IntView& NCNT,
            const NodView& NOD, Index NUMNP, Index NUMEL, Index NPEMAX, const IntView& MTYP,
            double TIME, Index NSTEP, const IntView& EFLAG, const IntView& NFLAG,
            const MaterialTable& mat, WriterCounters& cnt) {
    // The node averages feed vectors 13 to 17.
    average_to_nodes(VX, VY, VZ, &TH, NVX, NVY, NVZ, &NTH, NCNT, NOD, NUMNP, NUMEL, NPEMAX, EFLAG);
    FEMMOD(NUMEL, NUMNP, VX, VY, VZ, PSI, Z, NVX, NVY, NVZ, Q, TH, NTH, MTYP, TIME, NSTEP, EFLAG,
           NFLAG, mat, cnt);
}

void FEMMOD(Index NUMEL, Index NUMNP, const RealView& VX, const RealView& VY, const RealView& VZ,
            const RealView& PSI, const RealView& Z, const RealView& NVX, const RealView& NVY,
            const RealView& NVZ, const RealView& Q, const RealView& TH, const RealView& NTH,
            const IntView& MTYP, double TIME, Index NSTEP, const IntView& EFLAG,
            const IntView& NFLAG, const MaterialTable& mat, WriterCounters& cnt) {
    const int unit = cnt.IFEM;
    const Index nset = ++cnt.NSETF;
    femap::set_block(unit, nset, TIME, NSTEP);
    femap::open_vectors(unit);

    const auto node = [&](Index k) { return NFLAG(k) != 1; };
    const auto kept = [&](Index k) { return EFLAG(k) != 1; };
    const auto every = [](Index) { return true; };
    const Index NN = NUMNP, NE = NUMEL;

    // Node vectors.
    write_vector(unit, nset, 10, NN, node, [&](Index k) { return PSI(k); });
    write_vector(unit, nset, 11, NN, node, [&](Index k) { return PSI(k) + Z(k); });
    write_vector(unit, nset, 12, NN, node, [&](Index k) { return Q(k); });
    write_vector(unit, nset, 13, NN, node, [&](Index k) {
        return std::sqrt((NVX(k) * NVX(k) + NVY(k) * NVY(k)) + NVZ(k) * NVZ(k));
    });
    write_vector(unit, nset, 14, NN, node, [&](Index k) { return NVX(k); });
    write_vector(unit, nset, 15, NN, node, [&](Index k) { return NVY(k); });
    write_vector(unit, nset, 16, NN, node, [&](Index k) { return NVZ(k); });
    write_vector(unit, nset, 17, NN, node, [&](Index k) { return NTH(k); });

    // Element vectors. The speed's extremes come from the double components; its data
    // records from the components rounded to single precision, squared and summed there.
    write_vector(
        unit, nset, 70010, NE, kept,
        [&](Index k) { return std::sqrt((VX(k) * VX(k) + VY(k) * VY(k)) + VZ(k) * VZ(k)); },
        [&](Index k) {
            const float x = static_cast<float>(VX(k)), y = static_cast<float>(VY(k)),
                        z = static_cast<float>(VZ(k));
            return std::sqrt((x * x + y * y) + z * z);
        });
    write_vector(unit, nset, 70011, NE, kept, [&](Index k) { return VX(k); });
    write_vector(unit, nset, 70012, NE, kept, [&](Index k) { return VY(k); });
    write_vector(unit, nset, 70013, NE, kept, [&](Index k) { return VZ(k); });
    write_vector(unit, nset, 70014, NE, kept, [&](Index k) { return TH(k); });

    // Velocity components over the coefficients of "MAT.LST", every element included; a
    // removed element (negative material) shows 0.0.
    if (mat.MATREAD == 1) {
        const RealView* V[3] = {&VX, &VY, &VZ};
        for (int c = 1; c <= 3; ++c) {
            write_vector(unit, nset, 70014 + c, NE, every, [&](Index k) {
                return femap::coefficient_quotient((*V[c - 1])(k), MTYP(k), mat.MATT, c);
            });
        }
    }
    femap::close_block(unit);
}

}  // namespace cnv
