// Control values, switches, unit numbers and per-material tables of one solver run.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/arrays.hpp"

namespace sol {

// The solver's model arrays are the core's 1-based views of the work arrays.
using core::Index;
using core::kIndexMax;
using core::kIndexMin;
using core::SliceCursor;
using core::Span1;
using core::Span2;

inline constexpr int kMaxMat = 99;

// Counts and switches of the header records, the values derived from them, and the TIME
// record. Read once at the start of a run; KIND, DT change during the solution.
struct Control {
    std::string TITLE = std::string(80, ' ');
    // Control record.
    int NUMNP = 0, NUMEL = 0, NUMMAT = 0, IHEAD = 0, ITMAX = 0, ITSCH = 0, MAXSEP = 0;
    int NPEMAX = 8;
    int NPEMAX_READ = 0;  // item 8 as read (the node-history file records it)
    int NINTXY = 0, NINTZ = 0, NCUL = 0, KIND = 0, ITMAX0 = 0, ITCGF = 0, ISCR = 0, MESHCK = 0;
    // Boundary-count records.
    int NHB = 0, NHBN = 0, NHBT = 0, NQB = 0, NQBN = 0, NQBT = 0;
    int NRFACE = 0, NRNODE = 0, NRRPT = 0, NRR = 0, NEVPT = 0, NEV = 0;
    double PSIRN = 0.0;
    // Option record.
    int NKODE = 0, NINIT = 0, IBTIME = 0, SEPFIL = 0, LISTIN = 0, IELVAR = 0, IEVOFF = 0;
    int IHBFIX = 0, NDCNT = 0, ITHSW = 0;
    double OMEGA = 0.0;
    int IDBASE = 0;
    // NEWC and MATC count records.
    int NNEWC = 0, MXNWCH = 0, MXNWCQ = 0, MXNWCB = 0, MXNWCR = 0;
    int NMATC = 0, MXMATE = 0, MXMATM = 0;
    // Derived.
    int STORE = 1;     // 1: step state and saved matrix in memory; else scratch units 2, 3, 4
    int ITMAXCG = 0;   // conjugate-gradient iteration limit
    int MSEP = 1;      // seepage-list dimension
    std::int64_t MXEVT = 0;
    int MXNRK = 0, MXNPSI = 0;
    // TIME record (group F).
    double DT = 0.0, DTMAX = 0.0, FACT = 0.0, TMAX = 0.0, EPSLN = 0.0;
    int NPRINT = 1, NPOST = 1;
};

// Dimension copy of a count: the count when it is 1 or more, else 1.
inline std::int64_t dim(int count) { return count >= 1 ? count : 1; }

// Fixed unit numbers: input records, listing, result file.
struct Units {
    int IR = 1;
    int IW = 6;
    int IPOST = 10;
};

// Unit constants and the per-material property block (tables live in BD).
struct Materials {
    double CONS1 = 0.0, CONS2 = 0.0;
    // Indexed by material number 1..99 (entry 0 unused).
    std::array<double, kMaxMat + 1> K1{}, K2{}, K3{}, POROSITY{}, SS{};
    std::array<int, kMaxMat + 1> IROT{}, NRK{}, NPSI{}, NCAP{};
    // CONDT(j, k, m) is CONDT[m][j-1][k-1].
    std::array<std::array<std::array<double, 3>, 3>, kMaxMat + 1> CONDT{};
};

// State shared by the keyword-group readers: the keyword buffer (the keyword of the last
// keyword record read, after its own substitution) and the reading-phase error flag that
// sends the run to the mesh-check-only end.
struct InputState {
    std::string KEYWD = "     ";
    int read_error = 0;
};

// Node-history entries of "NDLIST.DAT".
struct NodeHistory {
    static constexpr int kMaxEntries = 200;
    std::array<int, kMaxEntries + 1> NDFRST{}, NDLAST{}, NDSTEP{};
};

}  // namespace sol
