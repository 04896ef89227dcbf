// The Shift_JIS prompt constants decode to the UTF-8 texts of the prompt table.
#include <gtest/gtest.h>

#include <fstream>
#include <iconv.h>
#include <map>
#include <string>

#include "prompts.hpp"

namespace {

std::string decode_cp932(std::string_view bytes) {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
    std::string in(bytes), out(4 * bytes.size() + 4, '\0');
    char* ip = in.data();
    char* op = out.data();
    size_t il = in.size(), ol = out.size();
    const size_t r = iconv(cd, &ip, &il, &op, &ol);
    iconv_close(cd);
    EXPECT_NE(r, static_cast<size_t>(-1)) << "undecodable prompt bytes";
    out.resize(out.size() - ol);
    return out;
}

// The table the constants are generated from: name, tab, text in double quotes.
std::map<std::string, std::string> read_table() {
    std::ifstream f(TEST_DATA_DIR "/../../postproc/prompt_table.txt");
    std::map<std::string, std::string> rows;
    std::string line;
    while (std::getline(f, line)) {
        if (line.empty() || line[0] == '#') continue;
        const auto tab = line.find('\t');
        rows[line.substr(0, tab)] = line.substr(tab + 2, line.size() - tab - 3);
    }
    return rows;
}

TEST(Prompts, EveryConstantDecodesToItsTableText) {
    const auto rows = read_table();
    ASSERT_EQ(rows.size(), std::size(pp::kAllPrompts));
    for (const pp::NamedPrompt& p : pp::kAllPrompts) {
        const auto it = rows.find(std::string(p.name));
        ASSERT_NE(it, rows.end()) << p.name;
        EXPECT_EQ(decode_cp932(p.bytes), it->second) << p.name;
    }
}

// Trailing blanks and full-width spaces are part of the prompts.
TEST(Prompts, KeepTrailingBlanksAndFullWidthSpaces) {
    EXPECT_EQ(decode_cp932(pp::kResultMenuHead), "---  結果ファイル（図化用）の読み込みの設定 ");
    EXPECT_EQ(decode_cp932(pp::kFormMenuHead), "--- 出力形式の選択\u3000");
    EXPECT_EQ(pp::kFormMenuHead.substr(pp::kFormMenuHead.size() - 2), "\201\100");
    EXPECT_EQ(pp::kFormSpacer, "--- ");
}

}  // namespace
