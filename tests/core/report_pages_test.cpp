#include "core/report_pages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quilvern {
namespace {

using Lines = std::vector<std::string>;

std::string Repeat(std::string_view piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

// A report of `count` lines "Line 1" ... with CR LF breaks, as the ledger writes them.
std::string Report(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += "Line " + std::to_string(i) + "\r\n";
    return text;
}

TEST(WrapPrintLine, Rules) {
    const std::string word70(70, 'w');
    const std::string long90(90, 'x');
    struct Case {
        const char* rule;
        std::string line;
        Lines printed;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"short_line_as_it_is", "Tea @ $2.50 x 4 = $10.00", {"Tea @ $2.50 x 4 = $10.00"}},
             {"empty_line_stays_one_row", "", {""}},
             {"exactly_eighty_columns_fit", std::string(80, 'a'), {std::string(80, 'a')}},
             {"breaks_at_the_last_blank_that_fits",
              word70 + " @ $2.50 x 4 = $10.00",
              {word70 + " @ $2.50 x", "    4 = $10.00"}},
             {"blank_right_after_the_eightieth_column_breaks_there",
              std::string(80, 'a') + " b",
              {std::string(80, 'a'), "    b"}},
             {"word_wider_than_the_page_breaks_within",
              long90 + long90,
              {std::string(80, 'x'), "    " + std::string(76, 'x'), "    " + std::string(24, 'x')}},
             {"leading_blanks_alone_are_no_break",
              "   " + long90,
              {"   " + std::string(77, 'x'), "    " + std::string(13, 'x')}},
             {"blanks_at_the_break_are_dropped",
              word70 + "      abcdefghij",
              {word70, "    abcdefghij"}},
             {"indentation_of_a_line_is_kept", "  indented", {"  indented"}},
             {"trailing_blanks_never_wrap", "end" + std::string(100, ' '), {"end"}},
             {"tabs_stop_every_eight_columns", "a\tb\t\tc", {"a       b               c"}},
             {"control_characters_print_as_blanks",
              "a\x01"
              "b\x7F"
              "c",
              {"a b c"}},
             {"currency_signs_are_one_column_each",
              Repeat("\xA3\x80", 41),
              {Repeat("\xA3\x80", 40), "    \xA3\x80"}}}) {
        const Lines printed = WrapPrintLine(c.line);
        EXPECT_EQ(printed, c.printed) << c.rule;
        for (const std::string& row : printed)
            EXPECT_LE(row.size(), std::size_t{kPrintColumns}) << c.rule;
    }
}

TEST(PaginateReport, SixtyLinesAPageAndAFootOnEach) {
    struct Case {
        const char* rule;
        int lines;
        std::vector<std::size_t> perPage;
    };
    for (const Case& c :
         std::initializer_list<Case>{{"empty_report_gives_one_empty_page", 0, {0}},
                                     {"one_line_one_page", 1, {1}},
                                     {"sixty_lines_fill_one_page", 60, {60}},
                                     {"sixty_one_lines_take_two", 61, {60, 1}},
                                     {"two_hundred_lines_take_four", 200, {60, 60, 60, 20}}}) {
        const auto pages = PaginateReport(Report(c.lines), "Quilvern", "1 May 2025");
        ASSERT_EQ(pages.size(), c.perPage.size()) << c.rule;
        for (std::size_t p = 0; p < pages.size(); ++p) {
            EXPECT_EQ(pages[p].lines.size(), c.perPage[p]) << c.rule << ", page " << p + 1;
            EXPECT_EQ(pages[p].foot,
                      "page " + std::to_string(p + 1) + " of " + std::to_string(pages.size()))
                << c.rule;
            EXPECT_EQ(pages[p].title, "Quilvern") << c.rule;
            EXPECT_EQ(pages[p].date, "1 May 2025") << c.rule;
        }
    }
}

TEST(PaginateReport, EveryLineInOrderWithWrappedPiecesCounted) {
    // 59 short lines, then one that wraps into two rows: its second row opens page 2.
    std::string text = Report(59) + std::string(70, 'w') + " @ $1.00 x 1 = $1.00\r\nlast\r\n";
    const auto pages = PaginateReport(text, "", "");
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].lines.front(), "Line 1");
    EXPECT_EQ(pages[0].lines.back(), std::string(70, 'w') + " @ $1.00 x");
    EXPECT_EQ(pages[1].lines, (Lines{"    1 = $1.00", "last"}));
}

TEST(PaginateReport, LineBreaks) {
    struct Case {
        const char* rule;
        const char* text;
        Lines lines;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"final_break_opens_no_line", "a\r\nb\r\n", {"a", "b"}},
             {"last_line_without_break_counts", "a\r\nb", {"a", "b"}},
             {"empty_lines_are_kept", "a\r\n\r\n\r\nb\r\n", {"a", "", "", "b"}},
             {"lone_lf_and_lone_cr_break_too", "a\nb\rc", {"a", "b", "c"}}}) {
        EXPECT_EQ(PaginateReport(c.text, "", "").front().lines, c.lines) << c.rule;
    }
}

TEST(PaginateReport, HeaderLeavesRoomForTheDate) {
    const std::string date = "30 September 2025";  // 17 columns
    struct Case {
        const char* rule;
        std::string title;
        std::string shown;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"short_title_as_it_is", "Stall \x80 \xA3", "Stall \x80 \xA3"},
             {"title_that_just_fits", std::string(61, 't'), std::string(61, 't')},
             {"longer_title_is_shortened", std::string(62, 't'), std::string(58, 't') + "..."},
             {"empty_title_stays_empty", "", ""}}) {
        const PrintedPage page = PaginateReport("x", c.title, date).front();
        EXPECT_EQ(page.title, c.shown) << c.rule;
        EXPECT_EQ(page.date, date) << c.rule;
        EXPECT_LE(page.title.size() + 2 + page.date.size(), std::size_t{kPrintColumns}) << c.rule;
    }
}

TEST(PrintDate, DayMonthNameYear) {
    EXPECT_EQ(PrintDate(2025, 3, 14), "14 March 2025");
    EXPECT_EQ(PrintDate(2024, 12, 1), "1 December 2024");
}

}  // namespace
}  // namespace quilvern
