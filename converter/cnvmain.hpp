// Main routine of the converter: the dialogue, the inputs and the work arrays.
#pragma once

#include <cstdint>

#include "globals.hpp"

namespace cnv {

// The whole run: "MAT.LST", the first menu, the output form and its file, the output-time
// question and the output data file's first record, the work arrays, then RESCNV.
void CNVMAIN();

// Reads "MAT.LST" into the table when the file exists (MATREAD 1); nothing when it does not.
// More than 999 records are refused (stop 2222).
void read_material_table(MaterialTable& mat);

}  // namespace cnv
