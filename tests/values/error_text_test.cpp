#include "values/error_text.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

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

TEST(ErrorBoxLayout, KeepsTheFileApartFromTheMessage) {
    struct Case {
        const char* rule;
        Error error;
        ErrorBoxParts shown;
    };
    const std::string kasse = "/home/k/Kass\xC3\xA9/";  // UTF-8, as the file system has it
    for (const auto& [rule, error, shown] : std::initializer_list<Case>{
             {"path_in_its_place_then_full_stop",
              Error("Cannot open file %s", kasse + "Notes.txt"),
              {"Cannot open file ", kasse + "Notes.txt", "."}},
             {"non_ascii_last_letter_gets_one_too",
              Error("Cannot create file %s", kasse),
              {"Cannot create file ", kasse, "."}},
             {"path_on_its_own_line_after_the_message",
              Error("Stream write error", "/p/Report01.txt"),
              {"Stream write error.\n", "/p/Report01.txt", ""}},
             {"no_file_named",
              Error("Text exceeds memo capacity"),
              {"Text exceeds memo capacity.", "", ""}},
         }) {
        const ErrorBoxParts parts = ErrorBoxLayout(error);
        EXPECT_EQ(parts.before, shown.before) << rule;
        EXPECT_EQ(parts.path, shown.path) << rule;
        EXPECT_EQ(parts.after, shown.after) << rule;
    }
    EXPECT_EQ(std::string(Error("Stream write error", "/p/x").what()), "Stream write error");
    EXPECT_EQ(ErrorBoxLayout(std::runtime_error("plain")).before, "plain.");
}

TEST(Format, ReplacesTheFirstPlaceholder) {
    EXPECT_EQ(Format("Cannot open file %s", "/a/Notes.txt"), "Cannot open file /a/Notes.txt");
    EXPECT_EQ(Format("no placeholder", "x"), "no placeholder");
}

}  // namespace
}  // namespace quilvern
