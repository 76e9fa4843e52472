#include "values/control_chars.h"

#include <gtest/gtest.h>

#include <string>

namespace quilvern {
namespace {

TEST(IsControlChar, CodesBelowThirtyTwoAndDel) {
    struct Case {
        const char* rule;
        int from;
        int to;  // inclusive
        bool control;
    };
    for (auto [rule, from, to, control] : std::initializer_list<Case>{
             {"c0_controls_edit", 0, 31, true},
             {"blank_and_printable_ascii_type", 32, 126, false},
             {"del_sent_by_the_delete_key_edits", 127, 127, true},
             {"windows_1252_upper_half_types", 128, 255, false},
         }) {
        for (int code = from; code <= to; ++code)
            EXPECT_EQ(IsControlChar(static_cast<char>(code)), control) << rule << " " << code;
    }
}

TEST(BlankControlChars, EachBecomesOneBlank) {
    struct Case {
        const char* rule;
        std::string text;
        std::string blanked;
    };
    for (const auto& [rule, text, blanked] : std::initializer_list<Case>{
             {"line_feed", "Tea\nCake", "Tea Cake"},
             {"cr_lf_keeps_both_positions", "Tea\r\nCake", "Tea  Cake"},
             {"tab_and_del", "\tTea\x7f", " Tea "},
             {"nul_inside", std::string("a\0b", 3), "a b"},
             {"printable_unchanged", "Caf\xE9 \x80 5", "Caf\xE9 \x80 5"},
         }) {
        EXPECT_EQ(BlankControlChars(text), blanked) << rule;
    }
}

}  // namespace
}  // namespace quilvern
