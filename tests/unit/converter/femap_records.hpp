// The records of a FEMAP neutral file written by the converter, without their CR LF.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace cnv::test_support {

// Every record must end in CR LF; a last record without it is a failure.
inline std::vector<std::string> read_records(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    const std::string all{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    std::vector<std::string> out;
    std::size_t at = 0;
    while (at < all.size()) {
        const std::size_t end = all.find("\r\n", at);
        if (end == std::string::npos) {
            ADD_FAILURE() << path << ": last record without CR LF";
            break;
        }
        out.push_back(all.substr(at, end - at));
        at = end + 2;
    }
    return out;
}

}  // namespace cnv::test_support
