// Storage the converter keeps for the whole run: the output mesh, the material table, the
// writers' counters and the located points.
#pragma once

#include <cstdint>
#include <vector>

#include "core/arrays.hpp"

namespace cnv {

using core::Index;
using core::kIndexMax;
using core::Span1;
using core::Span2;

inline constexpr char kProgram[] = "converter";
inline constexpr std::int32_t kMaxPoints = 4444;  // points of the output mesh
inline constexpr std::int32_t kMaxCells = 4444;   // cells of the output mesh
inline constexpr std::int32_t kMaxMaterialRows = 999;  // rows of "MAT.LST"
inline constexpr std::int32_t kMaxFemapProperty = 99999;  // largest property number of I5

// Output mesh of the output data file: points 1..NPT at XP, YP, ZP (indexed by point number),
// cells 1..NCELL of four point numbers (third = fourth: a triangle), and per point the total
// head HP, pressure head PP and section distance DSEC of the time being written (0.0 until set).
struct OutputMesh {
private:
    // Declared first: the views below are cut from it.
    std::vector<double> real_ = std::vector<double>(6 * kMaxPoints, 0.0);
    std::vector<std::int32_t> int_ = std::vector<std::int32_t>(4 * kMaxCells, 0);

public:
    std::int32_t NPT = 0, NCELL = 0;
    Span1<double> XP{real_.data(), kMaxPoints};
    Span1<double> YP{real_.data() + kMaxPoints, kMaxPoints};
    Span1<double> ZP{real_.data() + 2 * kMaxPoints, kMaxPoints};
    Span1<double> HP{real_.data() + 3 * kMaxPoints, kMaxPoints};
    Span1<double> PP{real_.data() + 4 * kMaxPoints, kMaxPoints};
    Span1<double> DSEC{real_.data() + 5 * kMaxPoints, kMaxPoints};
    Span2<std::int32_t> ICELL{int_.data(), kMaxCells, 4};

    OutputMesh() = default;
    OutputMesh(const OutputMesh&) = delete;
    OutputMesh& operator=(const OutputMesh&) = delete;
};

// Material coefficient table of "MAT.LST": row r for material r, columns 1 to 3 the divisors of
// the velocity components; rows the file does not give hold 0.0. MATREAD is 1 once read.
struct MaterialTable {
private:
    std::vector<double> store_ = std::vector<double>(3 * kMaxMaterialRows, 0.0);

public:
    std::int32_t MATREAD = 0;
    Span2<double> MATT{store_.data(), kMaxMaterialRows, 3};

    MaterialTable() = default;
    MaterialTable(const MaterialTable&) = delete;
    MaterialTable& operator=(const MaterialTable&) = delete;
};

// Counters and units of the writers: MicroAVS step blocks, FEMAP output sets, the listing
// writers' unit and the FEMAP writers' unit.
struct WriterCounters {
    std::int32_t NAVS = 0;
    std::int32_t NSETF = 0;
    std::int32_t IW = 6;
    std::int32_t IFEM = 6;
};

// Located output-mesh points: the four node numbers of the tetrahedron holding point i and
// their weights (0 and 0.0 for a point never located).
struct PointWeights {
private:
    std::vector<std::int32_t> n_ = std::vector<std::int32_t>(4 * kMaxPoints, 0);
    std::vector<double> w_ = std::vector<double>(4 * kMaxPoints, 0.0);

public:
    Span2<std::int32_t> NTET{n_.data(), kMaxPoints, 4};
    Span2<double> WTET{w_.data(), kMaxPoints, 4};

    PointWeights() = default;
    PointWeights(const PointWeights&) = delete;
    PointWeights& operator=(const PointWeights&) = delete;
};

}  // namespace cnv

namespace cnv {

// File units of the converter.
inline constexpr int kOutUnit = 6;    // output file of the chosen form
inline constexpr int kAvsTmpUnit = 8; // "AVS.tmp"
inline constexpr int kMatUnit = 15;   // "MAT.LST"
inline constexpr int kDataUnit = 17;  // output data file

// Everything the converter keeps for the whole run besides the work arrays.
struct ConverterState {
    OutputMesh mesh;
    MaterialTable mat;
    WriterCounters cnt;
    PointWeights pts;
};

}  // namespace cnv
