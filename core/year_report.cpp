#include "core/year_report.h"

#include <string>

#include "core/form_data.h"
#include "storage/text_files.h"

namespace quilvern {

void CompileYearReport(FormData& data) {
    TextArea& report = data.reportText;
    TextArea& temp = data.reportTemp;
    const std::string& dir = data.dirLabel;

    report.Clear();
    report.AddLine(kYearReportHeading);
    report.AddLine("");
    report.AddLine("");
    unsigned allowed = 07777;  // no one reads the year who may not read each month
    for (const MonthInfo& month : kMonths) {
        const std::string path = dir + std::string(month.reportFile);
        if (!FileExists(path))
            continue;
        allowed &= PermissionsOf(path);
        // Read through ReportTemp so every line break becomes CR LF on the way.
        temp.ReadFromFile(path);
        // Appended as it stands: a month without a final line break gets its last line
        // ended by the first empty line below, so one empty line follows it, not two.
        report.SetText(report.Text() + temp.Text());
        report.AddLine("");
        report.AddLine("");
    }
    report.AddLine("FINAL TOTAL FOR YEAR = " + data.ledger.totalYear.FormattedText());

    const FileSteps steps = {
        {FileStep::Kind::Write, dir + std::string(kYearReportFile), report.Text(), allowed},
        {FileStep::Kind::Write, dir + std::string(kYearBackupFile), report.Text(), allowed}};
    TakeAnnounced(data.ledger.journal, steps);
    if (data.ShowViewer)
        data.ShowViewer();
    temp.Clear();
}

}  // namespace quilvern
