#include "core/form_data.h"

#include <stdexcept>

#include "storage/text_files.h"
#include "values/currency.h"
#include "values/error.h"

namespace quilvern {

FormData::FormData() {
    currency.OnChange.Add([this] { CurrencyChange(); });
}

void FormData::ApplyCurrencyFormat() {
    const auto pattern = CurrencyPattern(currency.Text());
    if (!pattern)
        return;
    ForEachMoneyField([&pattern](MoneyField& field) { field.SetDisplayFormat(*pattern); });
}

void FormData::EnableExistingReports() {
    for (int m = 0; m < kMonthCount; ++m) {
        if (FileExists(dirLabel + std::string(kMonths[m].reportFile))) {
            ledger.months[m].report.SetEnabled(true);
        }
    }
}

void FormData::LoadNotes() {
    const std::string path = dirLabel + std::string(kNotesFile);
    notesUnread_ = false;
    if (!FileExists(path))
        return;
    try {
        noteText.ReadFromFile(path);
    } catch (const Error&) {
        notesUnread_ = true;
        throw;
    }
}

void FormData::SaveNotes() {
    // Notes that could not be read at start-up are not replaced by the empty notes area:
    // only notes the user has typed since take their place.
    if (notesUnread_ && noteText.Text().empty())
        return;
    noteText.WriteToFile(dirLabel + std::string(kNotesFile));
}

void FormData::OpenMonthReport(int month) {
    if (month < 1 || month > kMonthCount) {
        throw std::out_of_range("month " + std::to_string(month));
    }
    const std::string path = dirLabel + std::string(kMonths[month - 1].reportFile);
    // A missing file leaves the viewer showing whatever it held last.
    if (FileExists(path))
        reportText.ReadFromFile(path);
    if (ShowViewer)
        ShowViewer();
}

void FormData::ForEachMoneyField(const std::function<void(MoneyField&)>& apply) {
    for (ProductLine& line : sheet.lines) {
        apply(line.price);
    }
    for (ProductLine& line : sheet.lines) {
        apply(line.total);
    }
    apply(sheet.finalTotal);
    for (MonthSlot& month : ledger.months) {
        apply(month.total);
    }
    apply(ledger.totalYear);
}

void FormData::SetSeparators(Separators seps) {
    ForEachMoneyField([seps](MoneyField& field) { field.SetSeparators(seps); });
}

}  // namespace quilvern
