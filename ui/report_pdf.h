#pragma once
// A report as a PDF: its laid-out pages drawn by the report painter through Qt's PDF
// writer, which needs no print support. A4, or Letter where the desktop measures in
// inches, with 15 mm margins, unless a print dialog chose otherwise.
#include <QByteArray>
#include <QPageLayout>
#include <QString>
#include <string>
#include <vector>

#include "core/file_steps.h"
#include "core/report_pages.h"

namespace quilvern {

QPageLayout DefaultPageLayout();

// The PDF file's bytes; `title` goes into the document's properties.
QByteArray ReportPdf(const std::vector<PrintedPage>& pages, const QString& title,
                     const QPageLayout& layout = DefaultPageLayout());

// Writes the PDF safely (storage/safe_file.h); throws Error("Cannot create file %s")
// or Error("Stream write error"), naming the file, and leaves an old file as it was.
// A temporary name the write needs in the user's folder is announced to the journal
// first, so that one a kill leaves there goes at the next start.
void WriteReportPdf(const std::string& path, const std::vector<PrintedPage>& pages,
                    CommandJournal* journal, const QPageLayout& layout = DefaultPageLayout());

}  // namespace quilvern
