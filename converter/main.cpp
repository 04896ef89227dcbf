// Result converter: the solver's result file as listings, TECPLOT, FEMAP, MicroAVS, PLOXEN,
// point values or restart records.
#include "cnvmain.hpp"
#include "recordio/recordio.hpp"

int main() { return rio::run_program("converter", cnv::CNVMAIN); }
