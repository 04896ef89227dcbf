// Conversion: the rest of the output data file, the model part, the time-0 output and the step
// loop with its output times.
#pragma once

#include <cstdint>
#include <string>

#include "globals.hpp"
#include "work_arrays.hpp"

namespace cnv {

// Converts the result file open on unit 5 (after its counts) in output form IFORM; with ITSPEC 1
// or IFORM 4 the output data file is open on unit 17 after its first record (NTOUT). Returns
// when the result file ends, when every output time is written, or when "RESTART.DAT" is
// written. Refuses (stop 2222) output data beyond the fixed tables, element node numbers
// outside 0..NUMNP and, for FEMAP (IFORM 2), material numbers above 99999. The output data file
// is closed once the mesh form's files are open.
void RESCNV(Slices& s, const std::string& TITLE, std::int32_t IFORM, std::int32_t NTOUT,
            std::int32_t ITSPEC, ConverterState& st);

// Reads the output data file after its first record: the NTOUT output times (DONE set to 0),
// NPT and NCELL, the points and the cells; the file stays open. Refuses (stop 2222) NPT or NCELL
// outside 0..4444, point numbers outside 1..4444 and cell point numbers outside 1..NPT.
void read_output_data(const Span1<double>& TOUT, const Span1<std::int32_t>& DONE,
                      std::int32_t NTOUT, OutputMesh& mesh);

}  // namespace cnv
