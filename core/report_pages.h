#pragma once
// How a report is laid out on paper, whatever prints it: a grid of 80 columns of a
// fixed-pitch font, so the columns of a report line up, and on every page a small
// header (the window's title text on the left, the date on the right), up to 60 lines
// of the report, and "page N of M" at the foot. A line wider than the page wraps at its
// last space that fits, or within a word when there is none, and goes on indented on
// the next line; nothing ever runs off the page. A painter only draws the grid.
#include <string>
#include <string_view>
#include <vector>

namespace quilvern {

inline constexpr int kPrintColumns = 80;
inline constexpr int kPrintBodyLines = 60;
inline constexpr int kPrintContinuationIndent = 4;
// The rows of the grid, from the top: the header, a gap, the body, a gap, the foot.
inline constexpr int kPrintHeaderRow = 0;
inline constexpr int kPrintBodyRow = 2;
inline constexpr int kPrintFootRow = kPrintBodyRow + kPrintBodyLines + 1;
inline constexpr int kPrintRows = kPrintFootRow + 1;

// One sheet of paper. All texts are Windows-1252, at most kPrintColumns wide together.
struct PrintedPage {
    std::string title;               // shortened with "..." to leave room for the date
    std::string date;                // drawn flush right in the header row
    std::vector<std::string> lines;  // the body, one grid row each
    std::string foot;                // "page 2 of 4", drawn centred in the foot row
};

// The pages of a report text (CR LF, lone CR or lone LF breaks). Tabs stop every eight
// columns, other control characters print as blanks, and blanks at the end of a line
// are dropped. An empty report gives one empty page.
std::vector<PrintedPage> PaginateReport(std::string_view text, std::string_view title,
                                        std::string_view date);

// The lines a report line takes on paper, each at most kPrintColumns wide.
std::vector<std::string> WrapPrintLine(std::string_view line);

// The date as the header shows it: "14 March 2025".
std::string PrintDate(int year, int month, int day);

}  // namespace quilvern
