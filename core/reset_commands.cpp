#include "core/reset_commands.h"

#include "core/year_report.h"
#include "storage/text_files.h"

namespace quilvern {

void ClearNames(SalesSheet& sheet) {
    for (ProductLine& line : sheet.lines) {
        line.name.SetText("");
    }
}

void ClearPrices(SalesSheet& sheet) {
    for (ProductLine& line : sheet.lines) {
        line.price.SetValue(0);
    }
}

void ClearQuantities(SalesSheet& sheet) {
    for (ProductLine& line : sheet.lines) {
        line.quantity.SetValue(0);
    }
}

void ClearTransferTotals(MonthLedger& ledger) {
    for (MonthSlot& month : ledger.months) {
        month.total.SetValue(0);
    }
    for (MonthSlot& month : ledger.months) {
        month.report.SetEnabled(false);
    }
}

std::vector<std::string> TransferReportPaths(const std::string& dirLabel) {
    std::vector<std::string> paths;
    for (const MonthInfo& month : kMonths)
        paths.push_back(dirLabel + std::string(month.reportFile));
    paths.push_back(dirLabel + std::string(kYearReportFile));
    return paths;
}

void ClearTransfer(MonthLedger& ledger, const std::string& dirLabel) {
    ClearTransferTotals(ledger);
    // A file that cannot be removed stays; the next start-up enables its button again.
    for (const std::string& path : TransferReportPaths(dirLabel)) {
        if (FileExists(path))
            DeleteFile(path);
    }
}

}  // namespace quilvern
