// Conjugate-gradient solve of the free heads and the discharges at prescribed nodes.
#pragma once

#include <cstdint>

#include "model.hpp"
#include "work_arrays.hpp"

namespace sol {

// Diagonally preconditioned CG on the compressed rows for the nodes with KODE < 1.
// PSI holds the prescribed heads and the previous iterate on entry, the new free heads on
// return. GRAV is the right-hand side on entry and the work vector A*p afterwards. Listing
// lines on unit u.IW. Returns only on convergence; stops 999 after the failure line at the
// iteration limit, and at once on a zero diagonal at a free node, a zero p.Ap with p.r not
// zero, or a measure that is not finite. Columns outside 1..NUMNP are skipped.
void SOLVCG(const Units& u, Span1<double>& SK, Span1<double>& GRAV, Span1<double>& PSI,
            const Span1<Index>& ISP, const Span1<Index>& MAXA, Span1<double>& RES,
            Span1<double>& PDIR, const Span1<Index>& KODE, Span1<Index>& IFREE,
            Span1<double>& DIAG, int NUMNP, int ITMAXCG);

// Restores the conductivity matrix K and gravity term G of the pass (from SKS/GRAVS or
// scratch unit 2) into SK/GRAV and forms Q at every node with KODE >= 1; free nodes keep
// their Q. Columns outside 1..NUMNP are skipped.
void DISCHG(const Control& ctl, const Materials& mat, Span1<double>& SK, Span1<double>& GRAV,
            const Span1<Index>& KODE, const Span1<double>& PSI, const Span1<double>& HOLD,
            const Span1<Index>& ISP, const Span1<Index>& MAXA,
            const Span1<double>& SKS, const Span1<double>& GRAVS, Span1<double>& Q, int NUMNP,
            std::int64_t NWK, int NSTEP);

}  // namespace sol
