// The two work arrays BD and IB and the model arrays cut out of them as slices.
#pragma once

#include <cstdint>
#include <vector>

#include "core/work_storage.hpp"
#include "model.hpp"

namespace sol {

struct WorkArrays {
    std::int64_t MTOTBD = 0, MTOTIB = 0;
    core::WorkStorage<double> BD;   // MTOTBD words, zeroed
    core::WorkStorage<Index> IB;    // MTOTIB words, zeroed
};

// Per-material tables: pair k of material m in row k of column m.
struct MaterialTables {
    Span2<double> THKR, RKR;              // (MXNRK, NUMMAT)
    Span2<double> THPS, PSIT, THCA, CAP;  // (MXNPSI, NUMMAT)
};

// Mesh part of the work arrays, fixed before the element group is read.
struct MeshArrays {
    MaterialTables tab;
    Span1<double> Q, PSIINI, PSI, QINIT, X, Y, Z;  // NUMNP
    Span1<double> SEPVAL;                          // MSEP
    Span1<std::int32_t> MTYP;                      // NUMEL
    Span2<std::int32_t> NOD;                       // (8, NUMEL)
    Span1<std::int32_t> KODE;                      // NUMNP
    Span1<std::int32_t> KSEEP, IFSEEP;             // MSEP
    Span1<std::int32_t> MAXA;                      // NUMNP + 1
    Span1<std::int32_t> NPE;                       // NUMEL
};

// Totals of the mesh part (BD1, IB1), in 64-bit arithmetic.
struct MeshTotals {
    std::int64_t BD1 = 0, IB1 = 0;
};
MeshTotals mesh_totals(const Control& ctl);

// Cuts the mesh part out of BD and IB (the caller has checked the totals).
MeshArrays cut_mesh(WorkArrays& w, const Control& ctl);

// Totals of the whole run once NWK is known (BD total, IB total).
struct RunTotals {
    std::int64_t BD = 0, IB = 0;
};
RunTotals run_totals(const Control& ctl, std::int64_t NWK);

// Solution part of the work arrays, cut after the matrix structure is known.
struct SolutionArrays {
    // Real work array BD.
    Span1<double> SK;                     // NWK: global matrix
    Span1<double> HW, GRAV, CAPV, HOLD;   // NUMNP
    Span1<double> SKS;                    // NWK when STORE = 1, else 1
    Span1<double> GRAVS, PREV;            // NUMNP when STORE = 1, else 1: saved G, previous iterate
    Span1<double> PSI_S, HOLD_S, Q_S, QINIT_S;  // step's starting state (STORE = 1)
    Span2<double> RFACE;                  // (d(NRFACE), 2): RFACT, horizontal area
    Span1<double> QRN;                    // d(NRNODE): rain flux of each rain-node entry
    Span2<double> TRAIN, RRAIN;           // (d(NRRPT), d(NRR))
    Span2<double> TEVAP, REVAP;           // (d(NEVPT), d(NEV))
    Span2<double> THB, HHB;               // (d(NHBT), d(NHB))
    Span2<double> TQB, QQB;               // (d(NQBT), d(NQB))
    Span2<double> QGRP;                   // (d(NQB), d(NQBN))
    Span1<double> TNEWC;                  // d(NNEWC)
    Span1<double> TMATC;                  // d(NMATC)
    Span2<double> NEWCB_V1, NEWCB_V2, NEWCB_V3;  // (d(MXNWCB), d(NNEWC))
    Span2<double> NEWCR_V;                // (d(MXNWCR), d(NNEWC))
    Span1<double> TH;                     // NUMEL: element moisture content

    // Integer work array IB.
    Span1<std::int32_t> ISP;              // NWK: column numbers
    Span1<std::int32_t> IFREE;            // NUMNP: free nodes of the solve
    Span1<std::int32_t> KODE_S;           // NUMNP when STORE = 1, else 1
    Span1<std::int32_t> IRNODE;           // d(NRNODE)
    Span1<std::int32_t> IRT, IET;         // d(NRFACE)
    Span2<std::int32_t> IRFACE;           // (d(NRFACE), 7)
    Span1<std::int32_t> NRTP, NETP;       // d(NRR), d(NEV)
    Span1<std::int32_t> NHN;              // d(NHB)
    Span2<std::int32_t> IHBN;             // (d(NHB), d(NHBN))
    Span1<std::int32_t> NHTP;             // d(NHB)
    Span1<std::int32_t> NQN;              // d(NQB)
    Span2<std::int32_t> IQBN;             // (d(NQB), d(NQBN))
    Span1<std::int32_t> NQTP;             // d(NQB)
    Span1<std::int32_t> NEWCH_N;          // d(NNEWC)
    Span2<std::int32_t> NEWCH_1, NEWCH_2, NEWCH_3;              // (d(MXNWCH), d(NNEWC))
    Span1<std::int32_t> NEWCQ_N;
    Span2<std::int32_t> NEWCQ_1, NEWCQ_2, NEWCQ_3;              // (d(MXNWCQ), d(NNEWC))
    Span1<std::int32_t> NEWCB_N;
    Span2<std::int32_t> NEWCB_1, NEWCB_2, NEWCB_3, NEWCB_4;     // (d(MXNWCB), d(NNEWC))
    Span1<std::int32_t> MATCE_N;          // d(NMATC)
    Span2<std::int32_t> MATCE_1, MATCE_2; // (d(MXMATE), d(NMATC))
    Span1<std::int32_t> MATCM_N;
    Span2<std::int32_t> MATCM_1, MATCM_2; // (d(MXMATM), d(NMATC))
    Span1<std::int32_t> MTYP_S;           // NUMEL when STORE = 1, else 1
    Span1<std::int32_t> NEWCR_N;          // d(NNEWC)
    Span2<std::int32_t> NEWCR_1, NEWCR_2, NEWCR_3, NEWCR_4, NEWCR_5;  // (d(MXNWCR), d(NNEWC))
    Span1<std::int32_t> EFLAG;            // NUMEL: 1 = element removed
    Span1<std::int32_t> NFLAG;            // NUMNP: 1 = node of no active element

    // Work vectors of the conjugate-gradient solve and the element velocities, held beside
    // the work arrays for the whole run.
    std::vector<double> driver_work;
    Span1<double> RES, PDIR, DIAG;        // NUMNP
    Span2<double> VEL;                    // (3, NUMEL): VX, VY, VZ of each element
};

// Cuts ISP (right after the mesh part of IB).
Span1<std::int32_t> cut_isp(WorkArrays& w, const MeshTotals& mt, std::int64_t NWK);

// Cuts the whole solution part; the caller has checked the run totals.
void cut_solution(WorkArrays& w, const Control& ctl, const MeshTotals& mt, std::int64_t NWK,
                  SolutionArrays& s);

}  // namespace sol
