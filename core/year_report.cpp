#include "core/year_report.h"

#include <string>

#include "core/accounts.h"
#include "storage/text_files.h"

namespace quilvern {

void CompileYearReport(Accounts& accounts) {
    TextArea& report = accounts.reportText;
    TextArea& temp = accounts.reportTemp;
    const std::string& dir = accounts.dirLabel;

    report.Clear();
    report.AddLine(kYearReportHeading);
    report.AddLine("");
    report.AddLine("");
    for (const MonthInfo& month : kMonths) {
        const std::string path = dir + std::string(month.reportFile);
        if (!FileExists(path))
            continue;
        // Read through ReportTemp so every line break becomes CR LF on the way.
        temp.ReadFromFile(path);
        // Appended as it stands: a month without a final line break gets its last line
        // ended by the first empty line below, so one empty line follows it, not two.
        report.SetText(report.Text() + temp.Text());
        report.AddLine("");
        report.AddLine("");
    }
    report.AddLine("FINAL TOTAL FOR YEAR = " + accounts.ledger.totalYear.FormattedText());

    report.WriteToFile(dir + std::string(kYearReportFile));
    report.WriteToFile(dir + std::string(kYearBackupFile));
    if (accounts.ShowViewer)
        accounts.ShowViewer();
    temp.Clear();
}

}  // namespace quilvern
