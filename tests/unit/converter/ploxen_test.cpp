// PLOXEN plan and section blocks of the output mesh.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../support/scratch_dir.hpp"
#include "globals.hpp"
#include "recordio/recordio.hpp"
#include "two_cell_mesh.hpp"
#include "writers.hpp"

namespace {

// A triangle and a quadrilateral written on unit 6.
class PloxenBlock : public test_support::ScratchDirTest {
protected:
    void SetUp() override {
        ScratchDirTest::SetUp();
        rio::open(6, "INTERP.TXT", rio::Status::Unknown, rio::Form::Formatted);
        cnv::test_support::fill_two_cell_mesh(mesh);
    }
    std::string written() {
        rio::close(6);
        std::ifstream f("INTERP.TXT", std::ios::binary);
        return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    }
    cnv::OutputMesh mesh;
};

// The plan: points by (X, Y); "TITTLE" as PLOXEN spells it; node and cell lines end with a
// comma; the triangle's centre is the mean of its three points, (1, 1), and it still lists
// its fourth point.
TEST_F(PloxenBlock, PlanBlockLiterally) {
    cnv::WRPLOXEN(mesh, 3600.0, 7, 4);
    EXPECT_EQ(written(),
              "TIME=  3.6000E+03\r\n"
              "TITTLE= \"  \"\r\n"
              "ZONE N=     4, E=     2, M= 1,NV= 2 ,EV= 2\r\n"
              "NVARIABLES = \"SW\",\"X\",\"Y\",\"P\",\"H\"\r\n"
              " 0,  0.0000E+00,  0.0000E+00, -1.5000E+00,  1.0000E+00,\r\n"
              " 0,  3.0000E+00,  0.0000E+00,  0.0000E+00,  2.0000E+00,\r\n"
              " 0,  0.0000E+00,  3.0000E+00,  2.5000E-01,  3.0000E+00,\r\n"
              " 0,  3.0000E+00,  3.0000E+00,  1.2346E+05,  4.0000E+00,\r\n"
              "EVARIABLES = \"SW\",\"I\",\"J\",\"K\",\"L\",\"P\",\"X\",\"Y\"\r\n"
              " 0,    1,    2,    3,    3,    1,  1.0000E+00,  1.0000E+00,\r\n"
              " 0,    2,    4,    3,    1,    1,  1.5000E+00,  1.5000E+00,\r\n");
}

// The section: points by (distance, Z) in the node lines and in the cell centres; two
// written times give two whole blocks.
TEST_F(PloxenBlock, SectionBlocksUseDistanceAndElevation) {
    cnv::WRPLOXEN(mesh, 0.0, 0, 5);
    cnv::WRPLOXEN(mesh, 1.0, 1, 5);
    const std::string out = written();
    const std::string second = out.substr(out.find("TIME=  1.0000E+00"));
    EXPECT_EQ(out.substr(0, out.size() - second.size()).rfind("TIME=  0.0000E+00\r\n", 0), 0u);
    EXPECT_NE(out.find(" 0,  4.2426E+00, -1.3500E+01,  1.2346E+05,  4.0000E+00,\r\n"),
              std::string::npos);
    EXPECT_NE(out.find(" 0,    1,    2,    3,    3,    1,  2.0000E+00, -1.1000E+01,\r\n"),
              std::string::npos);
    EXPECT_NE(out.find(" 0,    2,    4,    3,    1,    1,  2.5606E+00, -1.1625E+01,\r\n"),
              std::string::npos);
    EXPECT_EQ(out.size(), 2 * second.size());
}

}  // namespace
