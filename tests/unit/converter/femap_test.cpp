// FEMAP neutral writers: literal records of the model blocks and of the output vectors.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "../support/scratch_dir.hpp"
#include "femap.hpp"
#include "femap_records.hpp"
#include "recordio/recordio.hpp"
#include "two_cell_mesh.hpp"
#include "writers.hpp"

namespace {

using cnv::Span1;
using cnv::Span2;
namespace fm = cnv::femap;

constexpr int kUnit = 6;

template <class T>
Span1<T> view(std::vector<T>& v) {
    return Span1<T>(v.data(), static_cast<std::int64_t>(v.size()));
}

// Runs a writer on unit 6 in a scratch directory and returns the records it wrote.
class FemapFile : public test_support::ScratchDirTest {
protected:
    void SetUp() override {
        ScratchDirTest::SetUp();
        rio::open(kUnit, "FEMAP.NEU", rio::Status::Unknown, rio::Form::Formatted);
    }
    // The records written so far (the unit is closed).
    std::vector<std::string> records() {
        rio::close(kUnit);
        return cnv::test_support::read_records("FEMAP.NEU");
    }
    // Index of the first record equal to `r` at or after `from`; -1 when absent.
    static long find(const std::vector<std::string>& recs, const std::string& r, long from = 0) {
        for (long i = from; i < static_cast<long>(recs.size()); ++i)
            if (recs[i] == r) return i;
        return -1;
    }
};

// A hexahedron of material 3 (nodes 1-8), a prism of material 1 (nodes 11-16), a removed
// element (flagged), node 9 in no element (flagged), node 10 only in the removed element.
struct SmallModel {
    static constexpr std::int32_t NUMNP = 16, NUMEL = 3;
    std::vector<double> X, Y, Z;
    std::vector<std::int32_t> NOD = {1, 2, 3, 4, 5, 6, 7, 8,          //
                                     11, 12, 13, 14, 15, 16, 0, 0,    //
                                     10, 10, 10, 10, 10, 10, 0, 0};
    std::vector<std::int32_t> MTYP = {3, 1, -1}, EFLAG = {0, 0, 1};
    std::vector<std::int32_t> NFLAG = std::vector<std::int32_t>(16, 0);
    SmallModel() {
        for (int n = 1; n <= NUMNP; ++n) {
            X.push_back(n);
            Y.push_back(-n);
            Z.push_back(0.25 * n);
        }
        X[0] = 0.5, Y[0] = -2.0, Z[0] = 10.0;
        X[1] = 2.0000005;  // its single-precision value shows one digit lower
        NFLAG[8] = 1;
    }
    void write(std::int32_t MATMAX) {
        cnv::WriterCounters cnt;
        cnv::FEMGEO3(view(X), view(Y), view(Z), Span2<std::int32_t>(NOD.data(), 8, 3), NUMNP,
                     NUMEL, view(MTYP), MATMAX, 8, view(EFLAG), view(NFLAG), cnt);
    }
};

TEST_F(FemapFile, ModelBlocksOfThe3dModel) {
    SmallModel m;
    m.write(3);
    const auto r = records();
    // The file opens with block 100 and the first record of block 401.
    const std::vector<std::string> head = {"   -1", "   100", "  ", " 4.5,", "   -1",
                                           "   -1", "   401", " 1,55,0,1,0,", "  ", " 0.,0.,0.,"};
    ASSERT_GE(r.size(), head.size());
    EXPECT_EQ(std::vector<std::string>(r.begin(), r.begin() + head.size()), head);
    // 33 material records, then block 402 with three groups of 30 records.
    ASSERT_EQ(r[39], " 0,0,0,0,");
    EXPECT_EQ(r[40], "   -1");
    EXPECT_EQ(r[41], "   -1");
    EXPECT_EQ(r[42], "   402");
    const std::vector<std::string> group = {
        "    1,110,1,25,1,0,", "  ", " 0,0,0,0,", " 45,", " 0,0,0,0,0,0,0,0,", " 0,0,0,0,0,0,0,0,",
        " 0,0,0,0,0,0,0,0,", " 0,0,0,0,0,0,0,0,", " 0,0,0,0,0,0,0,0,", " 0,0,0,0,0,", " 93,"};
    EXPECT_EQ(std::vector<std::string>(r.begin() + 43, r.begin() + 54), group);
    for (int k = 54; k < 72; ++k) EXPECT_EQ(r[k], " 0.,0.,0.,0.,0.,");
    EXPECT_EQ(r[72], " 0.,0.,0.,");
    EXPECT_EQ(r[73], "    2,110,1,25,1,0,");  // property 2 although no element has material 2
    EXPECT_EQ(r[103], "    3,110,1,25,1,0,");
    EXPECT_EQ(r[133], "   -1");
    // Nodes: node 9 (no element) is left out; coordinates in single precision.
    ASSERT_EQ(r[135], "   403");
    EXPECT_EQ(r[136], "      1,0,0,1,46,0,0,0,0,0,0, 5.000000E-01,-2.000000E+00, 1.000000E+01");
    EXPECT_EQ(r[137], "      2,0,0,1,46,0,0,0,0,0,0, 2.000000E+00,-2.000000E+00, 5.000000E-01");
    EXPECT_EQ(find(r, "      9,0,0,1,46,0,0,0,0,0,0, 9.000000E+00,-9.000000E+00, 2.250000E+00"), -1);
    EXPECT_EQ(r[136 + 14], "     16,0,0,1,46,0,0,0,0,0,0, 1.600000E+01,-1.600000E+01, 4.000000E+00");
    // Elements: hexahedron, prism; the removed element is left out.
    const long e = 136 + 15;
    const std::vector<std::string> elements = {
        "   -1", "   -1", "   404",
        "           1 ,124,           3 ,25,           8 ,1,0,0,",
        "      5,      6,      7,      8,      1,      2,      3,      4,      0,      0,",
        " 0,0,0,0,0,0,0,0,0,0,", " 0.,0.,0.,", " 0.,0.,0.,", " 0.,0.,0.,",
        " 0,0,0,0,0,0,0,0,0,0,0,0,",
        "           2 ,124,           1 ,25,           7 ,1,0,0,",
        "     14,     15,     16,      0,     11,     12,     13,      0,      0,      0,",
        " 0,0,0,0,0,0,0,0,0,0,", " 0.,0.,0.,", " 0.,0.,0.,", " 0.,0.,0.,",
        " 0,0,0,0,0,0,0,0,0,0,0,0,", "   -1"};
    EXPECT_EQ(std::vector<std::string>(r.begin() + e, r.end()), elements);
}

TEST_F(FemapFile, ModelBlocksOfTheOutputMesh) {
    // Point 1 keeps its double value; a triangle (third point = fourth) and a quadrilateral.
    cnv::OutputMesh mesh;
    cnv::test_support::fill_two_cell_mesh(mesh);
    mesh.XP(1) = 2.0000005;
    cnv::WriterCounters cnt;
    cnv::FEMGEO2(mesh, cnt);
    const auto r = records();
    EXPECT_EQ(r[43], "    1,110,1,19,1,0,");
    EXPECT_EQ(r[73], "   -1");
    EXPECT_EQ(r[75], "   403");
    EXPECT_EQ(r[76], "      1,0,0,1,46,0,0,0,0,0,0, 2.000001E+00, 0.000000E+00,-1.000000E+01");
    const std::vector<std::string> elements = {
        "   -1", "   -1", "   404",
        "           1 ,124,           1 ,19,           2 ,1,0,0,",
        "      1,      2,      3,      0,      0,      0,      0,      0,      0,      0,",
        " 0,0,0,0,0,0,0,0,0,0,", " 0.,0.,0.,", " 0.,0.,0.,", " 0.,0.,0.,",
        " 0,0,0,0,0,0,0,0,0,0,0,0,",
        "           2 ,124,           1 ,19,           4 ,1,0,0,",
        "      2,      4,      3,      1,      0,      0,      0,      0,      0,      0,",
        " 0,0,0,0,0,0,0,0,0,0,", " 0.,0.,0.,", " 0.,0.,0.,", " 0.,0.,0.,",
        " 0,0,0,0,0,0,0,0,0,0,0,0,", "   -1"};
    EXPECT_EQ(std::vector<std::string>(r.begin() + 80, r.end()), elements);
}

// Output mesh set: both vectors, the set block, extremes and the data records.
TEST_F(FemapFile, OutputSetOfTheMesh) {
    cnv::OutputMesh mesh;
    mesh.NPT = 3;
    const double PP[3] = {1.5, -2.0, -2.0}, HP[3] = {3600.0, 0.1, 2.5E-3};
    for (int p = 1; p <= 3; ++p) mesh.PP(p) = PP[p - 1], mesh.HP(p) = HP[p - 1];
    cnv::WriterCounters cnt;
    cnt.NSETF = 6;  // the set takes the next number
    cnv::FEMMSH(mesh, 3600.0, 12, cnt);
    EXPECT_EQ(cnt.NSETF, 7);
    const std::vector<std::string> expect = {
        "   -1", "   450", "           7", "  12 T=  3.6000E+03", " 0,0,", "   3600.000    ", " 1,",
        "   ", "   -1", "   -1", "   451",
        "           7 ,10,1,", " Pressure Head", "  -2.000000       1.500000       2.000000    ",
        " 0,0,0,0,0,0,0,0,0,0,", " 0,0,0,0,0,0,0,0,0,0,", "           2 ,           1 ,6,7,",
        " 0,1,1,", "           1 ,   1.500000    ", "           2 ,  -2.000000    ",
        "           3 ,  -2.000000    ", "          -1 ,  0.0000000E+00",
        "           7 ,11,1,", " Total Head", "  2.5000000E-03   3600.000       3600.000    ",
        " 0,0,0,0,0,0,0,0,0,0,", " 0,0,0,0,0,0,0,0,0,0,", "           3 ,           1 ,6,7,",
        " 0,1,1,", "           1 ,   3600.000    ", "           2 ,  0.1000000    ",
        "           3 ,  2.5000000E-03", "          -1 ,  0.0000000E+00", "   -1"};
    EXPECT_EQ(records(), expect);
}

// Values of the 3-D model for the set tests: 3 nodes, 3 elements.
struct ModelValues {
    std::vector<double> PSI = {1.5, -0.25, 4.0}, Z = {10.0, 0.0, 1.0}, Q = {0.0, 1.0E-5, -2.0};
    std::vector<double> VX = {0.1, 1.0, -3.0}, VY = {0.2, 0.0, 0.0}, VZ = {0.3, -4.0, 0.0};
    std::vector<double> TH = {0.25, 0.5, 0.75};
    std::vector<double> NVX = std::vector<double>(3), NVY = NVX, NVZ = NVX, NTH = NVX;
    std::vector<std::int32_t> NCNT = std::vector<std::int32_t>(3);
    std::vector<std::int32_t> NOD = {1, 2, 2, 0, 0, 0, 0, 0,  //
                                     2, 3, 0, 0, 0, 0, 0, 0,  //
                                     3, 0, 0, 0, 0, 0, 0, 0};
    std::vector<std::int32_t> MTYP = {2, 0, -1}, EFLAG = {0, 0, 1}, NFLAG = {0, 0, 0};

    // FEMAVG with these values: the node averages, then output set nset (MATREAD from `mat`).
    void write(std::int32_t nset, double TIME, std::int32_t NSTEP, const cnv::MaterialTable& mat) {
        cnv::WriterCounters cnt;
        cnt.NSETF = nset - 1;
        cnv::FEMAVG(view(Z), view(PSI), view(NVX), view(NVY), view(NVZ), view(VX), view(VY),
                    view(VZ), view(Q), view(TH), view(NTH), view(NCNT),
                    Span2<std::int32_t>(NOD.data(), 8, 3), 3, 3, 8, view(MTYP), TIME, NSTEP,
                    view(EFLAG), view(NFLAG), mat, cnt);
        EXPECT_EQ(cnt.NSETF, nset);
    }
};

TEST_F(FemapFile, NodeAveragesCountRepeatedSlotsTwiceAndFlaggedElementsNotAtAll) {
    const cnv::MaterialTable none;
    ModelValues v;
    v.write(1, 0.0, 0, none);
    // Node 2 is listed twice by element 1 and once by element 2: (2 x 0.1 + 1.0) / 3.
    EXPECT_EQ(v.NCNT, (std::vector<std::int32_t>{1, 3, 1}));
    EXPECT_EQ(v.NVX[1], (0.1 + 0.1 + 1.0) / 3.0);
    EXPECT_EQ(v.NTH[1], (0.25 + 0.25 + 0.5) / 3.0);
    // Node 3: element 3 is removed, element 2 counts once.
    EXPECT_EQ(v.NVZ[2], -4.0);
    // Every node of removed elements only: averages 0.0, count 0.
    v.EFLAG = {1, 1, 1};
    v.write(2, 0.0, 0, none);
    EXPECT_EQ(v.NCNT, (std::vector<std::int32_t>{0, 0, 0}));
    EXPECT_EQ(v.NVX, (std::vector<double>{0.0, 0.0, 0.0}));
}

// The records of vector `number` from its header record to its end record.
std::vector<std::string> vector_records(const std::vector<std::string>& r, std::int32_t nset,
                                        std::int32_t number) {
    std::ostringstream head;
    head.width(12);
    head << nset;
    head << " ," << number << ",1,";
    for (std::size_t i = 0; i < r.size(); ++i) {
        if (r[i] != head.str()) continue;
        std::size_t j = i;
        while (j < r.size() && r[j].rfind("          -1 ,", 0) != 0) ++j;
        return std::vector<std::string>(r.begin() + i, r.begin() + std::min(j + 1, r.size()));
    }
    return {};
}

TEST_F(FemapFile, OutputSetOfThe3dModelWithoutMatList) {
    const cnv::MaterialTable none;
    ModelValues v;
    v.NFLAG = {1, 1, 1};  // no node vector writes an item
    v.write(1, 0.0, 0, none);
    const auto r = records();
    EXPECT_EQ(r[3], "   0 T=  0.0000E+00");
    EXPECT_EQ(r[5], "  0.0000000E+00");
    // No item: the start values and item 1 twice; REAL*8 end record for vectors 13 to 16. The
    // start is 9.9E+30 as a single-precision constant, not the double 9.9E+30.
    EXPECT_EQ(fm::kNoExtreme, 9.899999922296324E+30);
    EXPECT_EQ(vector_records(r, 1, 14),
              (std::vector<std::string>{"           1 ,14,1,", " X Velocity(Node)",
                                        "  9.9000000E+30 -9.9000000E+30  9.9000000E+30",
                                        " 14,0,0,0,0,0,0,0,0,0,", " 0,0,0,0,0,0,0,0,0,0,",
                                        "           1 ,           1 ,1,7,", " 0,1,1,",
                                        "          -1 ,  0.000000000000000E+000"}));
    // The speed: extremes from the double magnitude, data in single-precision arithmetic
    // (0.1, 0.2, 0.3 give 0.3741658 where the rounded double gives 0.3741657).
    EXPECT_EQ(vector_records(r, 1, 70010),
              (std::vector<std::string>{"           1 ,70010,1,", " Velocity",
                                        "  0.3741657       4.123106       4.123106    ",
                                        " 70011,70012,70013,0,0,0,0,0,0,0,", " 0,0,0,0,0,0,0,0,0,0,",
                                        "           1 ,           2 ,1,8,", " 0,1,1,",
                                        "           1 ,  0.3741658    ", "           2 ,   4.123106    ",
                                        "          -1 ,  0.0000000E+00"}));
    // Without "MAT.LST" the block closes after vector 70014.
    EXPECT_EQ(r.back(), "   -1");
    EXPECT_EQ(r[r.size() - 2], "          -1 ,  0.0000000E+00");
    EXPECT_EQ(find(r, "           1 ,70014,1,"), static_cast<long>(r.size()) - 11);
    EXPECT_EQ(find(r, "           1 ,70015,1,"), -1);
}

TEST_F(FemapFile, NodeVectorsInDoubleAndSingle) {
    const cnv::MaterialTable none;
    ModelValues v;
    v.write(3, 3600.0, 12, none);
    const auto r = records();
    // Total head PSI + Z in double, written in single precision.
    const auto th = vector_records(r, 3, 11);
    ASSERT_EQ(th.size(), 11u);
    EXPECT_EQ(th[2], " -0.2500000       11.50000       11.50000    ");
    EXPECT_EQ(th[5], "           2 ,           1 ,6,7,");
    // Vector 14: REAL*8 data of the averages; record 3 stays single precision.
    EXPECT_EQ(vector_records(r, 3, 14),
              (std::vector<std::string>{"           3 ,14,1,", " X Velocity(Node)",
                                        "  0.1000000       1.000000       1.000000    ",
                                        " 14,0,0,0,0,0,0,0,0,0,", " 0,0,0,0,0,0,0,0,0,0,",
                                        "           1 ,           3 ,1,7,", " 0,1,1,",
                                        "           1 ,  0.100000000000000     ",
                                        "           2 ,  0.400000000000000     ",
                                        "           3 ,   1.00000000000000     ",
                                        "          -1 ,  0.000000000000000E+000"}));
    // Element vectors leave out the removed element 3.
    const auto tha = vector_records(r, 3, 70014);
    ASSERT_EQ(tha.size(), 10u);
    EXPECT_EQ(tha[8], "           2 ,  0.5000000    ");
}

TEST_F(FemapFile, CoefficientVectorsWithMatList) {
    // Material 2 has coefficients 2, 0 (not given) and -1; element 2 has material 0 and
    // element 3 is removed: both show 0.0 and take part in the extremes.
    ModelValues v;
    cnv::MaterialTable mat;
    mat.MATREAD = 1;
    mat.MATT(2, 1) = 0.5, mat.MATT(2, 2) = 0.0, mat.MATT(2, 3) = -1.0;
    v.write(2, 1.0, 1, mat);
    const auto r = records();
    EXPECT_EQ(vector_records(r, 2, 70015),
              (std::vector<std::string>{"           2 ,70015,1,", " ix",
                                        "  0.0000000E+00  0.2000000      0.2000000    ",
                                        " 70015,0,0,0,0,0,0,0,0,0,", " 0,0,0,0,0,0,0,0,0,0,",
                                        "           2 ,           1 ,1,8,", " 0,1,1,",
                                        "           1 ,  0.2000000    ",
                                        "           2 ,  0.0000000E+00",
                                        "           3 ,  0.0000000E+00",
                                        "          -1 ,  0.0000000E+00"}));
    const auto iz = vector_records(r, 2, 70017);
    ASSERT_EQ(iz.size(), 11u);
    EXPECT_EQ(iz[1], " iz");
    EXPECT_EQ(iz[2], "  0.0000000E+00  0.0000000E+00  0.0000000E+00");
    EXPECT_EQ(iz[5], "           1 ,           1 ,1,8,");
    EXPECT_EQ(r.back(), "   -1");
    EXPECT_EQ(r[r.size() - 2], "          -1 ,  0.0000000E+00");
}

TEST_F(FemapFile, EmptyMatListGivesZeroCoefficientVectors) {
    // "MAT.LST" read but without rows: every coefficient is 0.0, so every value is 0.0.
    ModelValues v;
    cnv::MaterialTable mat;
    mat.MATREAD = 1;
    v.write(1, 1.0, 1, mat);
    const auto r = records();
    for (std::int32_t number : {70015, 70016, 70017}) {
        const auto vec = vector_records(r, 1, number);
        ASSERT_EQ(vec.size(), 11u) << number;
        EXPECT_EQ(vec[2], "  0.0000000E+00  0.0000000E+00  0.0000000E+00") << number;
        for (int k = 7; k < 10; ++k) EXPECT_EQ(vec[k].substr(12), " ,  0.0000000E+00") << number;
    }
}

TEST(FemapCoefficients, MaterialsOutsideTheTableAndZeroCoefficientsGiveZero) {
    cnv::MaterialTable mat;
    mat.MATT(1, 1) = 4.0, mat.MATT(999, 3) = 0.5, mat.MATT(7, 2) = -2.0;
    const Span2<double>& M = mat.MATT;
    EXPECT_EQ(fm::coefficient_quotient(1.0, 1, M, 1), 0.25);
    EXPECT_EQ(fm::coefficient_quotient(1.0, 999, M, 3), 2.0);
    EXPECT_EQ(fm::coefficient_quotient(1.0, 7, M, 2), 0.0);     // negative coefficient
    EXPECT_EQ(fm::coefficient_quotient(1.0, 1, M, 2), 0.0);     // coefficient 0.0
    EXPECT_EQ(fm::coefficient_quotient(1.0, 0, M, 1), 0.0);     // material 0
    EXPECT_EQ(fm::coefficient_quotient(1.0, 1000, M, 1), 0.0);  // beyond row 999
    EXPECT_EQ(fm::coefficient_quotient(1.0, -3, M, 1), 0.0);    // removed element
}

}  // namespace
