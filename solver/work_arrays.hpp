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
    Span1<Index> MTYP;                             // NUMEL
    Span2<Index> NOD;                              // (8, NUMEL)
    Span1<Index> KODE;                             // NUMNP
    Span1<Index> KSEEP, IFSEEP;                    // MSEP
    Span1<Index> MAXA;                             // NUMNP + 1
    Span1<Index> NPE;                              // NUMEL
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
    Span1<Index> ISP;                     // NWK: column numbers
    Span1<Index> IFREE;                   // NUMNP: free nodes of the solve
    Span1<Index> KODE_S;                  // NUMNP when STORE = 1, else 1
    Span1<Index> IRNODE;                  // d(NRNODE)
    Span1<Index> IRT, IET;                // d(NRFACE)
    Span2<Index> IRFACE;                  // (d(NRFACE), 7)
    Span1<Index> NRTP, NETP;              // d(NRR), d(NEV)
    Span1<Index> NHN;                     // d(NHB)
    Span2<Index> IHBN;                    // (d(NHB), d(NHBN))
    Span1<Index> NHTP;                    // d(NHB)
    Span1<Index> NQN;                     // d(NQB)
    Span2<Index> IQBN;                    // (d(NQB), d(NQBN))
    Span1<Index> NQTP;                    // d(NQB)
    Span1<Index> NEWCH_N;                 // d(NNEWC)
    Span2<Index> NEWCH_1, NEWCH_2, NEWCH_3;                     // (d(MXNWCH), d(NNEWC))
    Span1<Index> NEWCQ_N;
    Span2<Index> NEWCQ_1, NEWCQ_2, NEWCQ_3;                     // (d(MXNWCQ), d(NNEWC))
    Span1<Index> NEWCB_N;
    Span2<Index> NEWCB_1, NEWCB_2, NEWCB_3, NEWCB_4;            // (d(MXNWCB), d(NNEWC))
    Span1<Index> MATCE_N;                 // d(NMATC)
    Span2<Index> MATCE_1, MATCE_2; // (d(MXMATE), d(NMATC))
    Span1<Index> MATCM_N;
    Span2<Index> MATCM_1, MATCM_2; // (d(MXMATM), d(NMATC))
    Span1<Index> MTYP_S;                  // NUMEL when STORE = 1, else 1
    Span1<Index> NEWCR_N;                 // d(NNEWC)
    Span2<Index> NEWCR_1, NEWCR_2, NEWCR_3, NEWCR_4, NEWCR_5;         // (d(MXNWCR), d(NNEWC))
    Span1<Index> EFLAG;                   // NUMEL: 1 = element removed
    Span1<Index> NFLAG;                   // NUMNP: 1 = node of no active element

    // Work vectors of the conjugate-gradient solve and the element velocities, held beside
    // the work arrays for the whole run.
    std::vector<double> driver_work;
    Span1<double> RES, PDIR, DIAG;        // NUMNP
    Span2<double> VEL;                    // (3, NUMEL): VX, VY, VZ of each element
};

// Cuts ISP (right after the mesh part of IB).
Span1<Index> cut_isp(WorkArrays& w, const MeshTotals& mt, std::int64_t NWK);

// Cuts the whole solution part; the caller has checked the run totals.
void cut_solution(WorkArrays& w, const Control& ctl, const MeshTotals& mt, std::int64_t NWK,
                  SolutionArrays& s);

}  // namespace sol
