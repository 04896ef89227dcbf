// Step blocks of the result file and the step records of the node-history file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "node_history.hpp"
#include "recordio/recordio.hpp"
#include "result_file.hpp"

namespace {

std::string slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// Runs the writers in a scratch directory of their own.
class InResultDir : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/gw_result_XXXXXX";
        dir_ = mkdtemp(tmpl);
        old_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_);
    }
    void TearDown() override {
        rio::close_all();
        std::filesystem::current_path(old_);
        std::filesystem::remove_all(dir_);
    }
    std::string dir_;
    std::filesystem::path old_;
};

TEST_F(InResultDir, StepBlockWithAndWithoutMoistureRecord) {
    // Two nodes, four elements: SNODES one record per node, SVEL one per element, STH 3 + 1.
    sol::Control ctl;
    ctl.NUMNP = 2;
    ctl.NUMEL = 4;
    sol::Units u;
    std::vector<double> vel = {1.0, 0.0, -0.25, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    std::vector<double> psi = {-0.25, 1.0}, q = {0.0, 1.0E-5}, th = {0.1, 0.2, 0.3, 0.4};
    std::vector<std::int32_t> kode = {1, 0};
    core::Span2<double> VEL(vel.data(), 3, 4);
    core::Span1<double> PSI(psi.data(), 2), Q(q.data(), 2), TH(th.data(), 4);
    core::Span1<std::int32_t> KODE(kode.data(), 2);

    rio::open(u.IPOST, "RES", rio::Status::Unknown, rio::Form::Formatted);
    sol::WRPLT(ctl, u, VEL, PSI, Q, TH, KODE, 12, 3600.0);
    ctl.ITHSW = 1;
    sol::WRPLT(ctl, u, VEL, PSI, Q, TH, KODE, 13, 7200.0);
    rio::close(u.IPOST);

    const std::string zero = "  0.000000000000000E+000";
    const std::string zeros = zero + zero + zero + "\r\n";
    const std::string expected =
        "          12   3600.00000000000     \r\n"
        " -0.250000000000000       0.000000000000000E+000           1\r\n"
        "   1.00000000000000       1.000000000000000E-005           0\r\n"
        "   1.00000000000000       0.000000000000000E+000 -0.250000000000000     \r\n" +
        zeros + zeros + zeros +
        "  0.100000000000000       0.200000000000000       0.300000000000000     \r\n"
        "  0.400000000000000     \r\n"
        "          13   7200.00000000000     \r\n"
        " -0.250000000000000       0.000000000000000E+000           1\r\n"
        "   1.00000000000000       1.000000000000000E-005           0\r\n"
        "   1.00000000000000       0.000000000000000E+000 -0.250000000000000     \r\n" +
        zeros + zeros + zeros;
    EXPECT_EQ(slurp("RES"), expected);
}

TEST_F(InResultDir, HistoryStepRecords) {
    // Entry 10, 1, -3 lists 10, 7, 4, 1 in that order; an empty entry writes nothing.
    sol::Control ctl;
    ctl.NUMNP = 10;
    ctl.NDCNT = 2;
    sol::NodeHistory h;
    h.NDFRST[1] = 10, h.NDLAST[1] = 1, h.NDSTEP[1] = -3;
    h.NDFRST[2] = 5, h.NDLAST[2] = 1, h.NDSTEP[2] = 1;
    std::vector<double> psi(10), z(10);
    for (int i = 0; i < 10; ++i) psi[i] = -0.5 * (i + 1), z[i] = i + 1;
    rio::open(51, "NDLIST.PST", rio::Status::Unknown, rio::Form::Unformatted);
    sol::write_history_step(ctl, h, core::Span1<double>(psi.data(), 10),
                           core::Span1<double>(z.data(), 10), 2.5);
    rio::close(51);

    const std::string f = slurp("NDLIST.PST");
    ASSERT_EQ(f.size(), 16u + 4u * 28u);
    auto i32 = [&f](std::size_t at) {
        std::int32_t v;
        std::memcpy(&v, f.data() + at, 4);
        return v;
    };
    auto f64 = [&f](std::size_t at) {
        double v;
        std::memcpy(&v, f.data() + at, 8);
        return v;
    };
    EXPECT_EQ(i32(0), 8);
    EXPECT_EQ(f64(4), 2.5);
    EXPECT_EQ(i32(12), 8);
    const int nodes[] = {10, 7, 4, 1};
    for (int r = 0; r < 4; ++r) {
        const std::size_t at = 16 + 28 * r;
        EXPECT_EQ(i32(at), 20);
        EXPECT_EQ(i32(at + 4), nodes[r]);
        EXPECT_EQ(f64(at + 8), -0.5 * nodes[r]);
        EXPECT_EQ(f64(at + 16), 0.5 * nodes[r]);
        EXPECT_EQ(i32(at + 24), 20);
    }
}

}  // namespace
