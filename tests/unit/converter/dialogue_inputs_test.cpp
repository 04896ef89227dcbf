// Work-array sizes and the material table "MAT.LST".
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "cnvmain.hpp"
#include "rescnv.hpp"
#include "recordio/recordio.hpp"
#include "work_arrays.hpp"

namespace {

TEST(WorkSizes, CountEveryWordOfBothArrays) {
    const cnv::WorkSizes s = cnv::work_sizes(1000, 800, 8, 3);
    EXPECT_EQ(s.MTOTBD, 25704);
    EXPECT_EQ(s.MTOTIB, 13904);
}

// 16 x 200,000,000 words wrap in 32-bit arithmetic; the sizes stay exact.
TEST(WorkSizes, LargeModelsDoNotWrap) {
    const cnv::WorkSizes s = cnv::work_sizes(200000000, 150000000, 8, 0);
    EXPECT_EQ(s.MTOTBD, 16LL * 200000000 + 12LL * 150000000 + 101);
    EXPECT_EQ(s.MTOTIB, 5LL * 200000000 + 11LL * 150000000 + 101);
}

class MaterialTable : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("cnv_mat_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
        old_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_);
    }
    void TearDown() override {
        rio::close_all();
        std::filesystem::current_path(old_);
        std::filesystem::remove_all(dir_);
    }
    static void write_file(const char* text) { std::ofstream("MAT.LST", std::ios::binary) << text; }
    std::filesystem::path dir_, old_;
};

TEST_F(MaterialTable, MissingFileLeavesTheTableUnread) {
    cnv::MaterialTable mat;
    cnv::read_material_table(mat);
    EXPECT_EQ(mat.MATREAD, 0);
}

TEST_F(MaterialTable, EmptyFileIsReadWithEveryRowZero) {
    write_file("");
    cnv::MaterialTable mat;
    cnv::read_material_table(mat);
    EXPECT_EQ(mat.MATREAD, 1);
    EXPECT_EQ(mat.MATT(1, 1), 0.0);
}

// Columns 1-5 are a free label; a blank record is a row of zeros and still counts.
TEST_F(MaterialTable, RowsInRecordOrderBlankRowCounts) {
    write_file("mat 1       2.5      0.5       4\r\n\r\n    3     1.0e1\r\n");
    cnv::MaterialTable mat;
    cnv::read_material_table(mat);
    EXPECT_EQ(mat.MATREAD, 1);
    EXPECT_EQ(mat.MATT(1, 1), 2.5);
    EXPECT_EQ(mat.MATT(1, 2), 0.5);
    EXPECT_EQ(mat.MATT(1, 3), 4.0);
    EXPECT_EQ(mat.MATT(2, 1), 0.0);
    EXPECT_EQ(mat.MATT(3, 1), 10.0);
}

// A "MAT.LST" that is not a regular file is passed over as silently as a missing one: a
// directory, a FIFO (whose read would wait for a writer for ever) and a link to a device of
// endless zeros.
TEST_F(MaterialTable, NotARegularFileIsPassedOverLikeAMissingFile) {
    auto passed_over = [] {
        cnv::MaterialTable mat;
        cnv::read_material_table(mat);
        return mat.MATREAD == 0;
    };
    std::filesystem::create_directory("MAT.LST");
    EXPECT_TRUE(passed_over());
    std::filesystem::remove("MAT.LST");
    ASSERT_EQ(::mkfifo("MAT.LST", 0600), 0);
    EXPECT_TRUE(passed_over());
    std::filesystem::remove("MAT.LST");
    std::filesystem::create_symlink("/dev/zero", "MAT.LST");
    EXPECT_TRUE(passed_over());
}

// A point record that leaves values empty keeps what the point held: ",," keeps a coordinate,
// a slash the rest, an empty point number that of the record before.
TEST_F(MaterialTable, OutputDataPointsKeepValuesTheirRecordsLeaveEmpty) {
    std::ofstream("data.dat", std::ios::binary)
        << "    0\r\n    5    0\r\n2 1.0 2.0 3.0\r\n2,,5.0/\r\n2 6.0 /\r\n, , , 9.5\r\n"
           "1 4.0 4.5 4.75\r\n";
    rio::open(17, "data.dat", rio::Status::Unknown, rio::Form::Formatted);
    std::int32_t NTOUT = -1;
    rio::read(17, "(I5)", {NTOUT});
    cnv::OutputMesh mesh;
    cnv::read_output_data({}, {}, NTOUT, mesh);
    EXPECT_EQ(mesh.XP(2), 6.0);
    EXPECT_EQ(mesh.YP(2), 5.0);
    EXPECT_EQ(mesh.ZP(2), 9.5);
    EXPECT_EQ(mesh.XP(1), 4.0);
    EXPECT_EQ(mesh.ZP(1), 4.75);
    EXPECT_EQ(mesh.XP(3), 0.0);  // a point no record gives
}

}  // namespace
