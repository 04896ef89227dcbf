// Time histories of listed nodes and elements from a result file, as CSV files.
#include "history.hpp"
#include "recordio/recordio.hpp"

int main() { return rio::run_program("history", his::HISMAIN); }
