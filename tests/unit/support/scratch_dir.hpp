// Unit tests that run in a temporary directory of their own, with the listing on unit 16.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "recordio/recordio.hpp"

namespace test_support {

class ScratchDirTest : public ::testing::Test {
protected:
    static constexpr int kListing = 16;

    void SetUp() override {
        old_ = std::filesystem::current_path();
        char tmpl[] = "/tmp/gwtest_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        std::filesystem::current_path(dir_);
        rio::open(kListing, "LIST.TXT", rio::Status::Unknown, rio::Form::Formatted);
    }
    void TearDown() override {
        rio::close_all();
        std::filesystem::current_path(old_);
        std::filesystem::remove_all(dir_);
    }
    // What the listing holds so far (its unit is closed).
    std::string listing() {
        rio::close(kListing);
        std::ifstream f("LIST.TXT", std::ios::binary);
        return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    }
    // Runs f; returns the status of the stop it ended with, or -1 when it returned.
    template <class F>
    static int stop_code(F&& f) {
        try {
            f();
        } catch (const rio::ProgramEnd& e) {
            return e.status;
        }
        return -1;
    }
    std::filesystem::path old_, dir_;
};

}  // namespace test_support
