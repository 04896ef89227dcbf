// Keyword rule of the group records and the node ranges of KODE, INIT and SEEP records.
#include <gtest/gtest.h>

#include "input.hpp"

namespace {

using sol::InputState;
using sol::KeywordRule;

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
        EXPECT_EQ(sol::keyword_ok(in, c.saved, c.expected, c.rule), c.ok) << c.why;
        EXPECT_EQ(in.KEYWD, c.buffer_after) << c.why;
    }
}

// The counted loop of a first/last/increment range, clipped to the nodes 1..hi; the first
// node outside is reported once, and a huge range costs nothing to clip.
TEST(InputRange, CountedLoopClippedToTheNodes) {
    struct Case {
        const char* why;
        std::int64_t N1, N2, INC, hi, count, kmin, kmax;
        bool has_bad;
        std::int64_t first_bad;
    };
    const Case cases[] = {
        {"ascending, all inside", 1, 10, 4, 10, 3, 0, 2, false, 0},
        {"downward walk 5, 3, 1", 5, 1, -2, 10, 3, 0, 2, false, 0},
        {"5 to 1 upward: no pass", 5, 1, 1, 10, 0, 0, -1, false, 0},
        {"8..14 by 2 with 12 nodes", 8, 14, 2, 12, 4, 0, 2, true, 14},
        {"starting below 1", -3, 3, 2, 12, 4, 2, 3, true, -3},
        {"downward past 1", 3, -3, -2, 12, 4, 0, 1, true, -1},
        {"entirely outside", 20, 30, 1, 12, 11, 0, -1, true, 20},
        {"huge range", 1, 2000000000, 1, 12, 2000000000, 0, 11, true, 13},
    };
    for (const Case& c : cases) {
        const auto r = sol::clip_range(c.N1, c.N2, c.INC, 1, c.hi);
        EXPECT_EQ(r.count, c.count) << c.why;
        EXPECT_EQ(r.kmin, c.kmin) << c.why;
        EXPECT_EQ(r.kmax, c.kmax) << c.why;
        EXPECT_EQ(r.has_bad, c.has_bad) << c.why;
        if (c.has_bad) {
            EXPECT_EQ(r.first_bad, c.first_bad) << c.why;
        }
    }
}

}  // namespace
