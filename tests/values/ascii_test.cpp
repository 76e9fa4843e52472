#include "values/ascii.h"

#include <gtest/gtest.h>

namespace quilvern {
namespace {

TEST(Trims, EachTakesItsOwnBytesOnly) {
    struct Case {
        const char* rule;
        std::string_view text;
        std::string_view blanks;
        std::string_view blanksAndTabs;
        std::string_view controls;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"blanks_go_everywhere", "  a b  ", "a b", "a b", "a b"},
             {"tabs_only_from_settings_lines", "\ta\t", "\ta\t", "a", "a"},
             {"line_breaks_only_from_stored_values", "\r\na\n", "\r\na\n", "\r\na\n", "a"},
             {"inner_bytes_stay", " a\t\rb ", "a\t\rb", "a\t\rb", "a\t\rb"},
             {"high_bytes_stay", "\xA0\x80", "\xA0\x80", "\xA0\x80", "\xA0\x80"},
             {"all_trimmed_away", " \t ", "\t", "", ""},
         }) {
        EXPECT_EQ(TrimBlanks(c.text), c.blanks) << c.rule;
        EXPECT_EQ(TrimBlanksAndTabs(c.text), c.blanksAndTabs) << c.rule;
        EXPECT_EQ(TrimControls(c.text), c.controls) << c.rule;
    }
}

TEST(EqualsIgnoringCase, AsciiLettersOnly) {
    EXPECT_TRUE(EqualsIgnoringCase("P001Name", "p001NAME"));
    EXPECT_FALSE(EqualsIgnoringCase("Name", "Names"));
    EXPECT_FALSE(EqualsIgnoringCase("\xC9", "\xE9")) << "Windows-1252 letters keep their case";
    EXPECT_FALSE(EqualsIgnoringCase("[", "{")) << "only A to Z fold";
}

}  // namespace
}  // namespace quilvern
