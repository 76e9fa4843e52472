#pragma once
// The contract between the program and its print module. The module holds all that
// needs Qt's print support (the print dialog and the printer) and is built into the
// program as bytes, loaded only when the user first prints: linking print support into
// the program itself would cost every start-up time and memory. Both sides are built
// together against the same Qt, so Qt's types may cross.
#include <QPageLayout>
#include <QString>
#include <functional>

class QPagedPaintDevice;
class QWidget;

namespace quilvern {

struct PrintJob {
    QWidget* parent = nullptr;
    QString documentName;  // the job's name in the print queue
    // Where "Print to File" writes when no printer is set up at all.
    QString fileWithoutPrinter;
    int pageCount = 1;
    // Draws pages first ... last (from 1) on the chosen printer; false when it refused.
    std::function<bool(QPagedPaintDevice& printer, int first, int last)> paint;
};

struct PrintChoice {
    enum class Outcome { Cancelled, Printed, PrinterRefused, ToFile } outcome{};
    QString printer;     // the printer's name
    QString file;        // for ToFile: where the user chose to print to
    QPageLayout layout;  // for ToFile: the paper and margins chosen
    int first = 1;
    int last = 1;
};

// Shows the print dialog for the job and prints on the printer chosen. Printing to a
// file is left to the caller (ToFile), which writes every file of the program safely.
using PrintEntry = PrintChoice (*)(const PrintJob& job);
inline constexpr const char* kPrintEntryName = "quilvern_print";

}  // namespace quilvern
