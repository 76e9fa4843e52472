#include "values/error_text.h"

#include <gtest/gtest.h>

#include "values/error.h"

namespace quilvern {
namespace {

TEST(ErrorBoxText, FullStopAfterCharactersAboveTheFullStop) {
    struct Case {
        const char* rule;
        const char* message;
        const char* shown;
    };
    for (auto [rule, message, shown] : std::initializer_list<Case>{
             {"letter_gets_a_full_stop", "Stream write error", "Stream write error."},
             {"digit_gets_one", "Report01", "Report01."},
             {"full_stop_itself_gets_none", "Done.", "Done."},
             {"comma_is_below_the_full_stop", "a,", "a,"},
             {"closing_quote_is_below", "'x' is bad'", "'x' is bad'"},
             {"high_byte_gets_one", "\xA3", "\xA3."},
             {"empty_stays_empty", "", ""},
         }) {
        EXPECT_EQ(ErrorBoxText(message), shown) << rule;
    }
}

TEST(Format, ReplacesTheFirstPlaceholder) {
    EXPECT_EQ(Format("Cannot open file %s", "/a/Notes.txt"), "Cannot open file /a/Notes.txt");
    EXPECT_EQ(Format("no placeholder", "x"), "no placeholder");
}

}  // namespace
}  // namespace quilvern
