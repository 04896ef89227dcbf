// MicroAVS step blocks and the assembly of "AVS.INP" from the scratch file.
#include <gtest/gtest.h>

#include <cstdio>
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

std::string slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// A hexahedron, a prism, an element of material -1 (left out) and a node in no element.
struct SmallModel {
    static constexpr std::int32_t NUMNP = 11, NUMEL = 3, NPEMAX = 8;
    std::vector<double> x = {0, 1, 1, 0, 0, 1, 1, 0, 2, 2, 5};
    std::vector<double> y = {0, 0, 1, 1, 0, 0, 1, 1, 0, 1, 5};
    std::vector<double> z = {0, 0, 0, 0, 1, 1, 1, 1, 0, 1, 5};
    std::vector<double> psi = {1.000005, -0.5, 0, 0, 0, 0, 0, 0, 0, 0, 7};
    std::vector<std::int32_t> nod = {1, 2, 3, 4, 5, 6, 7, 8,   //
                                     2, 9, 3, 6, 10, 7, 0, 0,  //
                                     1, 2, 3, 4, 5, 6, 7, 8};
    std::vector<std::int32_t> mtyp = {1, 2, -1};
    std::vector<std::int32_t> eflag = {0, 0, 1};
    std::vector<std::int32_t> nflag = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    std::vector<double> vx = {2.0, 4.0, 1000.0}, vy = {0, 0, 0}, vz = {-1.0E-7, 0, 0};
    std::vector<double> nvx = std::vector<double>(NUMNP), nvy = nvx, nvz = nvx;
    std::vector<std::int32_t> ncnt = std::vector<std::int32_t>(NUMNP);

    cnv::WriterCounters cnt;

    template <class T>
    static cnv::Span1<T> s1(std::vector<T>& v) {
        return cnv::Span1<T>(v.data(), static_cast<std::int64_t>(v.size()));
    }
    void block(double time) {
        cnv::AVSMOD(s1(z), s1(psi), s1(nvx), s1(nvy), s1(nvz), s1(vx), s1(vy), s1(vz), s1(ncnt),
                    cnv::NodView(nod.data(), NPEMAX, NUMEL), NUMNP, NUMEL, NPEMAX, time,
                    s1(eflag), s1(nflag), cnt);
    }
    void assemble() {
        cnv::AVSINP3(s1(x), s1(y), s1(z), cnv::NodView(nod.data(), NPEMAX, NUMEL), s1(mtyp),
                     NUMNP, NUMEL, NPEMAX, s1(eflag), s1(nflag), cnt);
    }
};

// Runs the writers in a scratch directory with "AVS.INP" on unit 6 and "AVS.tmp" on unit 8.
class AvsFiles : public test_support::ScratchDirTest {
protected:
    void SetUp() override {
        ScratchDirTest::SetUp();
        rio::open(6, "AVS.INP", rio::Status::Unknown, rio::Form::Formatted);
        rio::open(8, "AVS.tmp", rio::Status::Unknown, rio::Form::Formatted);
    }
    std::string avs_inp() {
        rio::close(6);
        return slurp("AVS.INP");
    }
};

// One block of the 3-D model, byte for byte: flagged node and element left out, prism and
// hexahedron in slot order, labels padded to their copy width, values as single precision
// (1.000005 rounds to 1.00001 only through single precision).
TEST_F(AvsFiles, OneBlockOfTheModel) {
    SmallModel m;
    m.block(3600.0);
    m.assemble();
    const std::string expected =
        "# QUORVALIX AVS FILE \r\n"
        "    1\r\n"
        "data\r\n"
        "step1  0.3600000E+04      \r\n"
        "        10          2\r\n"
        "       1  0.00000E+00  0.00000E+00  0.00000E+00\r\n"
        "       2  1.00000E+00  0.00000E+00  0.00000E+00\r\n"
        "       3  1.00000E+00  1.00000E+00  0.00000E+00\r\n"
        "       4  0.00000E+00  1.00000E+00  0.00000E+00\r\n"
        "       5  0.00000E+00  0.00000E+00  1.00000E+00\r\n"
        "       6  1.00000E+00  0.00000E+00  1.00000E+00\r\n"
        "       7  1.00000E+00  1.00000E+00  1.00000E+00\r\n"
        "       8  0.00000E+00  1.00000E+00  1.00000E+00\r\n"
        "       9  2.00000E+00  0.00000E+00  0.00000E+00\r\n"
        "      10  2.00000E+00  1.00000E+00  1.00000E+00\r\n"
        "      1   1 hex        1       2       3       4       5       6       7       8\r\n"
        "      2   2 prism        2       9       3       6      10       7\r\n"
        "5   3\r\n"
        "5   1   1   1   1   1\r\n"
        "Pressure,\r\n"
        "Total Head,\r\n"
        "Velocity X,  \r\n"
        "Velocity Y,  \r\n"
        "Velocity Z,  \r\n"
        "       1  1.00001E+00  1.00001E+00  2.00000E+00  0.00000E+00 -1.00000E-07 \r\n"
        "       2 -5.00000E-01 -5.00000E-01  3.00000E+00  0.00000E+00 -5.00000E-08 \r\n"
        "       3  0.00000E+00  0.00000E+00  3.00000E+00  0.00000E+00 -5.00000E-08 \r\n"
        "       4  0.00000E+00  0.00000E+00  2.00000E+00  0.00000E+00 -1.00000E-07 \r\n"
        "       5  0.00000E+00  1.00000E+00  2.00000E+00  0.00000E+00 -1.00000E-07 \r\n"
        "       6  0.00000E+00  1.00000E+00  3.00000E+00  0.00000E+00 -5.00000E-08 \r\n"
        "       7  0.00000E+00  1.00000E+00  3.00000E+00  0.00000E+00 -5.00000E-08 \r\n"
        "       8  0.00000E+00  1.00000E+00  2.00000E+00  0.00000E+00 -1.00000E-07 \r\n"
        "       9  0.00000E+00  0.00000E+00  4.00000E+00  0.00000E+00  0.00000E+00 \r\n"
        "      10  0.00000E+00  1.00000E+00  4.00000E+00  0.00000E+00  0.00000E+00 \r\n"
        "3   1   1   1\r\n"
        "Velocity X,  \r\n"
        "Velocity Y,  \r\n"
        "Velocity Z,  \r\n"
        "       1  2.00000E+00  0.00000E+00 -1.00000E-07 \r\n"
        "       2  4.00000E+00  0.00000E+00  0.00000E+00 \r\n";
    EXPECT_EQ(avs_inp(), expected);
}

// Ten blocks: the count line stays five columns wide and the tenth step line carries two
// digits, still copied back at 26 columns.
TEST_F(AvsFiles, TenBlocksNumberTheirStepLines) {
    SmallModel m;
    for (int k = 1; k <= 10; ++k) m.block(10.0 * k);
    m.assemble();
    const std::string out = avs_inp();
    EXPECT_EQ(out.rfind("# QUORVALIX AVS FILE \r\n   10\r\ndata\r\nstep1 ", 0), 0u);
    EXPECT_NE(out.find("\r\nstep1  0.1000000E+02      \r\n        10          2\r\n"),
              std::string::npos);
    EXPECT_NE(out.find("\r\nstep9  0.9000000E+02      \r\n5   3\r\n"), std::string::npos);
    EXPECT_NE(out.find("\r\nstep10  0.1000000E+03     \r\n5   3\r\n"), std::string::npos);
    EXPECT_EQ(out.find("step11"), std::string::npos);
    // Every block has the same shape: 1 + 7 + 10 + 4 + 2 lines, the first block the geometry
    // (1 + 10 + 2 lines) besides; three header lines.
    std::size_t lines = 0;
    for (char c : out) lines += c == '\n';
    EXPECT_EQ(lines, 3u + 13u + 10u * 24u);
    EXPECT_EQ(out.substr(out.size() - 50), "       2  4.00000E+00  0.00000E+00  0.00000E+00 \r\n");
}

// More node lines than one statement holds: every line keeps its number, its values and its
// closing blank across the statement boundaries.
TEST_F(AvsFiles, ManyNodeLines) {
    const std::int32_t N = 2100;
    std::vector<double> z(N, 1.0), psi(N), nv(N);
    std::vector<std::int32_t> ncnt(N), flag(N, 0), nod(8, 0);
    for (int i = 0; i < N; ++i) psi[i] = 0.5 * (i + 1);
    cnv::WriterCounters cnt;
    auto S = [](auto& v) { return cnv::Span1(v.data(), static_cast<std::int64_t>(v.size())); };
    cnv::AVSMOD(S(z), S(psi), S(nv), S(nv), S(nv), S(nv), S(nv), S(nv), S(ncnt),
                cnv::NodView(nod.data(), 8, 0), N, 0, 8, 1.0, S(flag), S(flag), cnt);
    rio::close(8);
    const std::string tmp = slurp("AVS.tmp");
    std::size_t lines = 0;
    for (char c : tmp) lines += c == '\n';
    EXPECT_EQ(lines, 8u + 2100u + 4u);
    for (int n : {1, 1024, 1025, 2048, 2049, 2100}) {
        char line[80];
        std::snprintf(line, sizeof line,
                      "\r\n%8d %12.5E %12.5E  0.00000E+00  0.00000E+00  0.00000E+00 \r\n", n,
                      0.5 * n, 0.5 * n + 1.0);
        EXPECT_NE(tmp.find(line), std::string::npos) << line;
    }
}

// No block written (a result file with only the model part): the header with the count 0
// and nothing else; the scratch file, whatever it holds, is not read.
TEST_F(AvsFiles, NoBlockGivesTheHeaderOnly) {
    rio::write(8, "('left over')");
    SmallModel m;
    m.assemble();
    EXPECT_EQ(avs_inp(), "# QUORVALIX AVS FILE \r\n    0\r\ndata\r\n");
}

// Output mesh: a triangle (third point repeated) and a quadrilateral, material column 1,
// two values a point line (35 columns), two blocks.
TEST_F(AvsFiles, OutputMeshBlocks) {
    cnv::OutputMesh mesh;
    cnv::WriterCounters cnt;
    cnv::test_support::fill_two_cell_mesh(mesh);
    cnv::AVSMSH(mesh, 0.5, cnt);
    cnv::AVSMSH(mesh, 1.0, cnt);
    cnv::AVSINP2(mesh, cnt);
    const std::string block2 =
        "step2  0.1000000E+01      \r\n"
        "2   0\r\n"
        "2   1   1\r\n"
        "Pressure,\r\n"
        "Total Head,\r\n"
        "       1 -1.50000E+00  1.00000E+00 \r\n"
        "       2  0.00000E+00  2.00000E+00 \r\n"
        "       3  2.50000E-01  3.00000E+00 \r\n"
        "       4  1.23456E+05  4.00000E+00 \r\n";
    const std::string expected =
        "# QUORVALIX AVS FILE \r\n"
        "    2\r\n"
        "data\r\n"
        "step1  0.5000000E+00      \r\n"
        "         4          2\r\n"
        "       1  0.00000E+00  0.00000E+00 -1.00000E+01\r\n"
        "       2  3.00000E+00  0.00000E+00 -1.10000E+01\r\n"
        "       3  0.00000E+00  3.00000E+00 -1.20000E+01\r\n"
        "       4  3.00000E+00  3.00000E+00 -1.35000E+01\r\n"
        "      1   1 tri        1       2       3\r\n"
        "      2   1 quad        2       4       3       1\r\n" +
        block2.substr(block2.find("2   0")) + block2;
    EXPECT_EQ(avs_inp(), expected);
}

}  // namespace
