#include "ui/print_module/print_module.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>

namespace quilvern {
namespace {

void SetUp(QPrinter& printer, const PrintJob& job) {
    printer.setDocName(job.documentName);
    printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    printer.setFromTo(1, job.pageCount);
    // With no printer set up the dialog can only print to a file: offer a good name.
    if (QPrinterInfo::availablePrinterNames().isEmpty())
        printer.setOutputFileName(job.fileWithoutPrinter);
}

}  // namespace
}  // namespace quilvern

extern "C" Q_DECL_EXPORT quilvern::PrintChoice quilvern_print(const quilvern::PrintJob& job) {
    using quilvern::PrintChoice;
    QPrinter printer(QPrinter::HighResolution);
    quilvern::SetUp(printer, job);
    QPrintDialog dialog(&printer, job.parent);
    dialog.setObjectName(QStringLiteral("PrintDialog"));
    dialog.setMinMax(1, job.pageCount);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange);
    dialog.setOption(QAbstractPrintDialog::PrintToFile);

    PrintChoice choice;
    if (dialog.exec() != QDialog::Accepted)
        return choice;
    if (printer.printRange() == QPrinter::PageRange) {
        choice.first = std::max(1, printer.fromPage());
        choice.last = std::min(job.pageCount, printer.toPage());
    } else {
        choice.last = job.pageCount;
    }
    choice.printer = printer.printerName();
    if (!printer.outputFileName().isEmpty()) {
        choice.outcome = PrintChoice::Outcome::ToFile;
        choice.file = printer.outputFileName();
        choice.layout = printer.pageLayout();
        return choice;
    }
    const bool printed = job.paint(printer, choice.first, choice.last);
    choice.outcome = printed ? PrintChoice::Outcome::Printed : PrintChoice::Outcome::PrinterRefused;
    return choice;
}
