#include "ui/print_commands.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <vector>

#include "core/pdf_file_name.h"
#include "core/report_pages.h"
#include "ui/cp1252.h"
#include "ui/print_module_loader.h"
#include "ui/report_painter.h"
#include "ui/report_pdf.h"
#include "values/error.h"

namespace quilvern {
namespace {

std::vector<PrintedPage> PagesOf(const std::string& report, const std::string& title) {
    const QDate today = QDate::currentDate();
    return PaginateReport(report, title, PrintDate(today.year(), today.month(), today.day()));
}

// Pages first ... last, counted from 1; each keeps its "page N of M".
std::vector<PrintedPage> Range(const std::vector<PrintedPage>& pages, int first, int last) {
    const auto begin = pages.begin() + std::clamp(first - 1, 0, static_cast<int>(pages.size()));
    const auto end = pages.begin() + std::clamp(last, first - 1, static_cast<int>(pages.size()));
    return {begin, end};
}

QString OfferedPath(const std::string& report) {
    return QDir(ReportFolder()).filePath(QString::fromLatin1(PdfFileName(report)));
}

std::string FileSystemPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace

QString ReportFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(documents).exists() ? documents : QDir::homePath();
}

void SaveReportAsPdf(QWidget& parent, const std::string& report, const std::string& title,
                     CommandJournal* journal) {
    QFileDialog dialog(&parent, QStringLiteral("Save as PDF"));
    dialog.setObjectName(QStringLiteral("SavePdfDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QStringLiteral("PDF files (*.pdf)"));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.selectFile(OfferedPath(report));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    WriteReportPdf(FileSystemPath(dialog.selectedFiles().front()), PagesOf(report, title), journal);
}

void PrintReport(QWidget& parent, const std::string& report, const std::string& title,
                 CommandJournal* journal) {
    const std::vector<PrintedPage> pages = PagesOf(report, title);
    const QString offered = OfferedPath(report);
    PrintJob job;
    job.parent = &parent;
    job.documentName = QFileInfo(offered).completeBaseName();
    job.fileWithoutPrinter = offered;
    job.pageCount = static_cast<int>(pages.size());
    job.paint = [&pages](QPagedPaintDevice& printer, int first, int last) {
        return PaintReport(printer, Range(pages, first, last));
    };
    const PrintChoice choice = LoadPrintModule()(job);
    switch (choice.outcome) {
        case PrintChoice::Outcome::Cancelled:
        case PrintChoice::Outcome::Printed:
            return;
        case PrintChoice::Outcome::ToFile:
            WriteReportPdf(FileSystemPath(choice.file), Range(pages, choice.first, choice.last),
                           journal, choice.layout);
            return;
        case PrintChoice::Outcome::PrinterRefused:
            throw Error(Format("Cannot print on %s", ToCp1252(choice.printer)));
    }
}

}  // namespace quilvern
