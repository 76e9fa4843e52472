#pragma once
// "Compile Year Report": joins the month report files as they are on disk, closes with
// the year total, writes the year report and its backup and shows the viewer. Never
// touches the clipboard. How the viewer is shown is left to the window.
#include <string_view>

namespace quilvern {

class FormData;

inline constexpr std::string_view kYearReportHeading = "SALES REPORT FOR YEAR";
inline constexpr std::string_view kYearReportFile = "ReportYear.txt";
inline constexpr std::string_view kYearBackupFile = "BackupYear.txt";

// Throws Error when a month file cannot be read or a year file cannot be written; the
// viewer is then not shown and the steps before keep their effect.
void CompileYearReport(FormData& data);

}  // namespace quilvern
