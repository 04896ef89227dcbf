// Helpers for the record formatter tests: a fresh working directory per test, whole-file
// reads, and runs of the helper program whose ends are checked from outside.
#pragma once

#include "recordio/recordio.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace rio_test {

inline std::string slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

inline void spit(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary);
    f << bytes;
}

// Each test runs in its own empty directory, since units connect to files by name there.
class InTempDir : public ::testing::Test {
protected:
    void SetUp() override {
        old_ = std::filesystem::current_path();
        char tmpl[] = "/tmp/rio_test_XXXXXX";
        dir_ = mkdtemp(tmpl);
        std::filesystem::current_path(dir_);
    }
    void TearDown() override {
        rio::close_all();
        std::filesystem::current_path(old_);
        std::filesystem::remove_all(dir_);
    }
    std::filesystem::path old_;
    std::string dir_;
};

// The bytes one statement writes on a fresh file.
inline std::string written(std::string_view format, rio::Items items) {
    rio::open(40, "written.txt", rio::Status::Unknown, rio::Form::Formatted);
    rio::write(40, format, items);
    rio::close(40);
    std::string s = slurp("written.txt");
    std::filesystem::remove("written.txt");
    return s;
}

// A file holding `text`, opened on `unit` for reading.
inline void input_file(int unit, const std::string& text) {
    const std::string name = "input" + std::to_string(unit) + ".txt";
    spit(name, text);
    rio::open(unit, name, rio::Status::Old, rio::Form::Formatted);
}

struct HelperRun {
    int status = -1;  // exit status as the shell sees it (low 8 bits)
    std::string out, err;
};

// Runs the helper program on one scenario in `dir`, with `input` on standard input.
inline HelperRun run_helper(const std::string& dir, const std::string& scenario, const std::string& input = "") {
    spit(dir + "/stdin.txt", input);
    const std::string cmd = "cd '" + dir + "' && '" RECORDIO_HELPER "' " + scenario +
                            " <stdin.txt >stdout.txt 2>stderr.txt";
    const int rc = std::system(cmd.c_str());
    HelperRun r;
    r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    r.out = slurp(dir + "/stdout.txt");
    r.err = slurp(dir + "/stderr.txt");
    return r;
}

}  // namespace rio_test
