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

void ClearTransfer(MonthLedger& ledger, const std::string& dirLabel) {
    for (MonthSlot& month : ledger.months) {
        month.total.SetValue(0);
    }
    for (MonthSlot& month : ledger.months) {
        month.report.SetEnabled(false);
    }
    // A file that cannot be removed stays; the next start-up enables its button again.
    const auto deleteIfThere = [&dirLabel](std::string_view name) {
        const std::string path = dirLabel + std::string(name);
        if (FileExists(path))
            DeleteFile(path);
    };
    for (const MonthInfo& month : kMonths) {
        deleteIfThere(month.reportFile);
    }
    deleteIfThere(kYearReportFile);
}

}  // namespace quilvern
