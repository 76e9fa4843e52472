#pragma once
// The report viewer's "Print..." and "Save as PDF...": the report as the viewer shows
// it, the user's edits included, laid out on pages (core/report_pages.h) with the
// window's title text and today's date in the header.
#include <QString>
#include <string>

class QWidget;

namespace quilvern {

class CommandJournal;

// Asks for a file name, offering the report's own name with ".pdf" in ReportFolder(),
// and writes the PDF there (see WriteReportPdf for the journal); nothing when the user
// cancels. Throws Error when the file cannot be written.
void SaveReportAsPdf(QWidget& parent, const std::string& report, const std::string& title,
                     CommandJournal* journal);

// Shows the print dialog and prints on the printer chosen; "Print to File" writes a
// PDF as "Save as PDF..." does. Throws Error when printing is not available here, the
// printer refuses the job, or the file cannot be written.
void PrintReport(QWidget& parent, const std::string& report, const std::string& title,
                 CommandJournal* journal);

// Where a report's PDF is offered: the user's documents folder, or the home folder
// when there is none.
QString ReportFolder();

}  // namespace quilvern
