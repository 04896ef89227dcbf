// Keyword rule of the group records and the node ranges of KODE, INIT and SEEP records.
#include <gtest/gtest.h>

#include "input.hpp"

namespace {

using gw::InputState;
using gw::KeywordRule;

struct KeywordCase {
    const char* why;
    const char* saved;
    const char* read;
    const char* expected;
    KeywordRule rule;
    bool ok;
    const char* buffer_after;
};

TEST(InputKeyword, RuleVariants) {
    const KeywordCase cases[] = {
        {"exact match", "TIME ", "UNIT ", "UNIT ", KeywordRule::Repeat, true, "UNIT "},
        {"blank repeats the previous keyword", "NODE ", "     ", "NODE ", KeywordRule::Repeat, true,
         "NODE "},
        {"blank repeats a keyword of another group", "TIME ", "     ", "UNIT ",
         KeywordRule::Repeat, false, "TIME "},
        {"blank first record has nothing to repeat", "     ", "     ", "ELEM ",
         KeywordRule::Repeat, false, "     "},
        {"lower case is wrong", "ELEM ", "seep ", "SEEP ", KeywordRule::Repeat, false, "seep "},
        {"four-letter keyword needs its blank", "ELEM ", "ELEMX", "ELEM ", KeywordRule::Repeat,
         false, "ELEMX"},
        {"UNSAT head: no repetition", "UNSAT", "     ", "UNSAT", KeywordRule::NoRepeat, false,
         "     "},
        {"PROP compares columns 1-4 only (A4 pads column 5)", "UNIT ", "PROP ", "PROP ",
         KeywordRule::FirstFour, true, "PROP "},
        {"PROP blank columns 1-4 repeat", "PROP ", "     ", "PROP ", KeywordRule::FirstFour, true,
         "PROP "},
        {"PROP blank after UNIT is wrong", "UNIT ", "     ", "PROP ", KeywordRule::FirstFour,
         false, "UNIT "},
    };
    for (const auto& c : cases) {
        InputState in;
        in.KEYWD = c.read;
        EXPECT_EQ(gw::keyword_ok(in, c.saved, c.expected, c.rule), c.ok) << c.why;
        EXPECT_EQ(in.KEYWD, c.buffer_after) << c.why;
    }
}

TEST(InputRange, CountedLoopAndClipping) {
    // Ascending range of three nodes, all inside.
    auto r = gw::clip_range(1, 10, 4, 1, 10);
    EXPECT_EQ(r.count, 3);
    EXPECT_EQ(r.kmin, 0);
    EXPECT_EQ(r.kmax, 2);
    EXPECT_FALSE(r.has_bad);
    // Downward walk 5, 3, 1.
    r = gw::clip_range(5, 1, -2, 1, 10);
    EXPECT_EQ(r.count, 3);
    EXPECT_EQ(r.kmax, 2);
    EXPECT_FALSE(r.has_bad);
    // 5 to 1 with a positive increment runs no pass.
    r = gw::clip_range(5, 1, 1, 1, 10);
    EXPECT_EQ(r.count, 0);
    EXPECT_GT(r.kmin, r.kmax);
    EXPECT_FALSE(r.has_bad);
}

TEST(InputRange, NodesOutsideTheModelAreReportedOnce) {
    // 8, 10, 12, 14 with 12 nodes: 14 is the first node outside.
    auto r = gw::clip_range(8, 14, 2, 1, 12);
    EXPECT_EQ(r.count, 4);
    EXPECT_EQ(r.kmin, 0);
    EXPECT_EQ(r.kmax, 2);
    EXPECT_TRUE(r.has_bad);
    EXPECT_EQ(r.first_bad, 14);
    // Starting below 1: the first node of the loop is the one reported.
    r = gw::clip_range(-3, 3, 2, 1, 12);
    EXPECT_EQ(r.count, 4);
    EXPECT_EQ(r.kmin, 2);
    EXPECT_EQ(r.kmax, 3);
    EXPECT_EQ(r.first_bad, -3);
    // Downward past 1.
    r = gw::clip_range(3, -3, -2, 1, 12);
    EXPECT_EQ(r.kmin, 0);
    EXPECT_EQ(r.kmax, 1);
    EXPECT_EQ(r.first_bad, -1);
    // Entirely outside, and a huge range costs nothing to clip.
    r = gw::clip_range(20, 30, 1, 1, 12);
    EXPECT_GT(r.kmin, r.kmax);
    EXPECT_EQ(r.first_bad, 20);
    r = gw::clip_range(1, 2000000000, 1, 1, 12);
    EXPECT_EQ(r.count, 2000000000);
    EXPECT_EQ(r.kmax, 11);
    EXPECT_EQ(r.first_bad, 13);
}

}  // namespace
