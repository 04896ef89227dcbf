// Reading the result file after its title and counts: the model part and the step blocks.
#pragma once

#include <cstdint>
#include <string_view>

#include "first_menu.hpp"
#include "core/arrays.hpp"

namespace pp {

using core::kIndexMax;
using core::Span1;
using core::Span2;

// Model part, two list-directed statements on `unit`: X, Y, Z, PSI, Q, KODE for every node,
// then NOD(1..NPEMAX, e) and MTYP(e) for every element. KODE or MTYP given as an empty view are
// read and dropped. For indexed connectivity every NOD(k, e) must lie in 0..NUMNP, and every
// MTYP(e) read must be at most MTYPMAX: otherwise the file is refused (stop 2222, naming
// `program` and the record of the first such value). The end of the file is fatal error 24.
void read_model_part(std::string_view program, int unit, Index NUMNP, Index NUMEL,
                     Index NPEMAX, const Span1<double>& X, const Span1<double>& Y,
                     const Span1<double>& Z, const Span1<double>& PSI, const Span1<double>& Q,
                     const Span1<Index>& KODE, const Span2<Index>& NOD,
                     const Span1<Index>& MTYP,
                     Connectivity nod = Connectivity::Indexed,
                     Index MTYPMAX = kIndexMax);

// Step head NSTEP, TIME; false at the end of the file (the end of the steps). With
// `unreadable` given, a value that cannot be read also returns false, quietly, and sets it.
[[nodiscard]] bool read_step_head(int unit, Index& NSTEP, double& TIME,
                                  bool* unreadable = nullptr);

// Step values, three list-directed statements: PSI, Q, KODE for every node; VX, VY, VZ for
// every element; TH for every element. KODE given as an empty view is read and dropped. With
// `end_ok` a block cut short returns false; without it the end of the file is fatal error 24.
// With `unreadable` given, a value that cannot be read also returns false, quietly, and sets it.
[[nodiscard]] bool read_step_values(int unit, bool end_ok, Index NUMNP, Index NUMEL,
                                    const Span1<double>& PSI, const Span1<double>& Q,
                                    const Span1<Index>& KODE, const Span1<double>& VX,
                                    const Span1<double>& VY, const Span1<double>& VZ,
                                    const Span1<double>& TH, bool* unreadable = nullptr);

}  // namespace pp
