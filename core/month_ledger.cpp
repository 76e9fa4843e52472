#include "core/month_ledger.h"

#include <stdexcept>

#include "storage/text_files.h"

namespace quilvern {

namespace {

void ShowAsTotal(MoneyField& field) {
    field.FormatOnEditing = true;
    field.ReadOnly = true;
    field.AutoSelect = false;
}

}  // namespace

MonthLedger::MonthLedger(SalesSheet& sheet, TextArea& reportText, const std::string& dirLabel,
                         std::string& fileLabel)
    : sheet_(sheet), reportText_(reportText), dirLabel_(dirLabel), fileLabel_(fileLabel) {
    for (MonthSlot& month : months) {
        ShowAsTotal(month.total);
        month.total.OnChange.Add([this] { TotalJanuaryChange(); });
    }
    ShowAsTotal(totalYear);
}

void MonthLedger::TotalJanuaryChange() {
    Money sum = months.front().total.Value();
    for (auto month = months.begin() + 1; month != months.end(); ++month) {
        sum += month->total.Value();
    }
    totalYear.SetValue(sum);
}

void MonthLedger::Transfer(int month) {
    if (month < 1 || month > kMonthCount) {
        throw std::out_of_range("month " + std::to_string(month));
    }
    const MonthInfo& info = kMonths[month - 1];
    MonthSlot& slot = months[month - 1];

    const Money value = sheet_.finalTotal.Value();
    slot.total.SetValue(value);

    reportText_.Clear();
    reportText_.AddLine(info.header);
    reportText_.AddLine("");
    for (const ProductLine& line : sheet_.lines) {
        if (line.quantity.Value() > 0) {
            AddListing(line);
        }
    }
    reportText_.AddLine("");
    reportText_.AddLine(std::string(info.totalPrefix) + slot.total.FormattedText());

    // The backup is readable by no one who may not read the report.
    const std::string report = dirLabel_ + std::string(info.reportFile);
    const FileSteps steps = {{FileStep::Kind::Write, report, reportText_.Text()},
                             {FileStep::Kind::Write, dirLabel_ + std::string(info.backupFile),
                              reportText_.Text(), PermissionsOf(report)}};
    // Each file is written to the path as FileLabel holds it, so the label always names
    // the file being written, also when that write fails.
    TakeAnnounced(journal, steps, [this](const FileStep& step) { fileLabel_ = step.path; });

    slot.report.SetEnabled(true);
}

void MonthLedger::AddListing(const ProductLine& line) {
    reportText_.AddLine(line.name.Text() + " @ " + line.price.FormattedText() + " x " +
                        line.quantity.Text() + " = " + line.total.FormattedText());
}

}  // namespace quilvern
