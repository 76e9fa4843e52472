#pragma once
// The file name a report suggests for its PDF. The viewer keeps no record of which
// report it shows, so the text tells: its first line is a month's header or the year
// report's heading, as the report was built.
#include <string>
#include <string_view>

namespace quilvern {

// "MARCH SALES" gives "Report03.pdf", "SALES REPORT FOR YEAR" gives "ReportYear.pdf",
// any other first line "Report.pdf".
std::string PdfFileName(std::string_view reportText);

}  // namespace quilvern
