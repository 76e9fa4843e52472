#include "core/pdf_file_name.h"

#include <gtest/gtest.h>

namespace quilvern {
namespace {

TEST(PdfFileName, FollowsTheReportsFirstLine) {
    struct Case {
        const char* rule;
        const char* text;
        const char* name;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"month_report", "MARCH SALES\r\n\r\nMARCH TOTAL = $0.00\r\n", "Report03.pdf"},
             {"december_has_two_digits", "DECEMBER SALES\r\n", "Report12.pdf"},
             {"year_report", "SALES REPORT FOR YEAR\r\n\r\n", "ReportYear.pdf"},
             {"heading_alone_without_break", "JANUARY SALES", "Report01.pdf"},
             {"edited_heading_is_no_month", "MARCH SALES!\r\n", "Report.pdf"},
             {"lower_case_is_no_month", "March sales\r\n", "Report.pdf"},
             {"empty_viewer", "", "Report.pdf"}}) {
        EXPECT_EQ(PdfFileName(c.text), c.name) << c.rule;
    }
}

}  // namespace
}  // namespace quilvern
