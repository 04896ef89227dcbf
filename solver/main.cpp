// Groundwater flow solver: steady and unsteady saturated-unsaturated flow in 3-D.
#include "recordio/recordio.hpp"
#include "solver_run.hpp"

int main() { return rio::run_program("solver", sol::SOLMAIN); }
