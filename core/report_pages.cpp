#include "core/report_pages.h"

#include <algorithm>

#include "storage/stored_items.h"
#include "storage/text_area.h"

namespace quilvern {
namespace {

constexpr std::size_t kColumns = kPrintColumns;
constexpr std::size_t kTabWidth = 8;
constexpr std::string_view kEllipsis = "...";
constexpr std::size_t kTitleGap = 2;  // between the title and the date

// What the line shows on paper, one byte per column.
std::string PrintableLine(std::string_view line) {
    std::string shown;
    for (const char c : line) {
        if (c == '\t') {
            shown.append(kTabWidth - shown.size() % kTabWidth, ' ');
        } else {
            const auto code = static_cast<unsigned char>(c);
            shown += code < 0x20 || code == 0x7F ? ' ' : c;
        }
    }
    shown.erase(shown.find_last_not_of(' ') + 1);
    return shown;
}

std::vector<std::string> SplitLines(std::string_view text) {
    const std::string normalised = NormaliseLineBreaks(text);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < normalised.size()) {
        const std::size_t end = std::min(normalised.find("\r\n", start), normalised.size());
        lines.push_back(normalised.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// Where the first piece of `rest` ends when at most `width` columns fit: after its
// last blank within reach, unless only blanks precede it; else within the word.
std::size_t BreakAt(std::string_view rest, std::size_t width) {
    const std::size_t blank = rest.rfind(' ', width);
    if (blank == std::string_view::npos || rest.find_first_not_of(' ') >= blank)
        return width;
    return blank;
}

std::string Shortened(std::string_view title, std::size_t room) {
    if (title.size() <= room)
        return std::string(title);
    if (room <= kEllipsis.size())
        return {};
    return std::string(title.substr(0, room - kEllipsis.size())) + std::string(kEllipsis);
}

}  // namespace

std::vector<std::string> WrapPrintLine(std::string_view line) {
    const std::string shown = PrintableLine(line);
    std::string_view rest = shown;
    const std::string indent(kPrintContinuationIndent, ' ');
    std::vector<std::string> pieces;
    for (bool first = true;; first = false) {
        const std::size_t width = first ? kColumns : kColumns - indent.size();
        const std::string prefix = first ? std::string() : indent;
        if (rest.size() <= width) {
            pieces.push_back(prefix + std::string(rest));
            return pieces;
        }
        const std::size_t cut = BreakAt(rest, width);
        std::string piece(rest.substr(0, cut));
        piece.erase(piece.find_last_not_of(' ') + 1);
        pieces.push_back(prefix + piece);
        rest.remove_prefix(cut);
        rest.remove_prefix(std::min(rest.size(), rest.find_first_not_of(' ')));
    }
}

std::vector<PrintedPage> PaginateReport(std::string_view text, std::string_view title,
                                        std::string_view date) {
    std::vector<std::string> rows;
    for (const std::string& line : SplitLines(text)) {
        for (std::string& piece : WrapPrintLine(line))
            rows.push_back(std::move(piece));
    }
    const std::size_t perPage = kPrintBodyLines;
    const std::size_t count = std::max<std::size_t>(1, (rows.size() + perPage - 1) / perPage);
    const std::string shownDate = PrintableLine(date).substr(0, kColumns);
    const std::size_t room =
        kColumns - std::min(kColumns, shownDate.size() + (shownDate.empty() ? 0 : kTitleGap));
    const std::string shownTitle = Shortened(PrintableLine(title), room);

    std::vector<PrintedPage> pages(count);
    for (std::size_t p = 0; p < count; ++p) {
        PrintedPage& page = pages[p];
        page.title = shownTitle;
        page.date = shownDate;
        const auto first =
            rows.begin() + static_cast<std::ptrdiff_t>(std::min(rows.size(), p * perPage));
        const auto last =
            rows.begin() + static_cast<std::ptrdiff_t>(std::min(rows.size(), (p + 1) * perPage));
        page.lines.assign(first, last);
        page.foot = "page " + std::to_string(p + 1) + " of " + std::to_string(count);
    }
    return pages;
}

std::string PrintDate(int year, int month, int day) {
    return std::to_string(day) + " " + std::string(kMonthNames.at(month - 1)) + " " +
           std::to_string(year);
}

}  // namespace quilvern
