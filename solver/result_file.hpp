// Result file (unit 10) and second result file (unit 9) read by the post-processors.
#pragma once

#include <cstdint>
#include <string>

#include "model.hpp"
#include "recordio/recordio.hpp"
#include "work_arrays.hpp"

namespace sol {

// Rewinds units 10 and 9; writes the title and counts on unit 9 and flushes them to the file,
// then the title, counts, nodes (X, Y, Z, PSIINI, Q, KODE) and elements (NOD(1..8), MTYP) on
// unit 10.
void WRHEAD(const Control& ctl, const Units& u, const MeshArrays& mesh);

// Step block 0 of a mesh-check-only run: time 0, PSIINI, Q, KODE, zero velocities and, when
// ITHSW = 0, zero moisture contents; the block is flushed to the file (a write failure is
// fatal error 38 here).
void WRPLT0(const Control& ctl, const Units& u, const MeshArrays& mesh);

// One step block: NSTEP and TIME, then PSI, Q, KODE per node, VEL(1..3, e) per element and,
// when ITHSW = 0, TH per element; flushed to the file like the step-0 block.
void WRPLT(const Control& ctl, const Units& u, const Span2<double>& VEL /*(3,NUMEL)*/,
           const Span1<double>& PSI, const Span1<double>& Q, const Span1<double>& TH,
           const Span1<Index>& KODE, int NSTEP, double TIME);

}  // namespace sol
