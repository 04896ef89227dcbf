// Main of every test program: the floating-point mode every program runs in (flush-to-zero,
// denormals-are-zero), then the tests, so that element, assembly and solver results are the
// ones the programs compute.
#include <gtest/gtest.h>

#include "recordio/recordio.hpp"

int main(int argc, char** argv) {
    rio::set_float_mode();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
