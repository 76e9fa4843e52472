#include "core/clear_undo.h"

#include <algorithm>
#include <array>

#include "core/reset_commands.h"
#include "core/year_report.h"
#include "storage/safe_file.h"
#include "storage/text_area.h"
#include "storage/text_files.h"
#include "values/error.h"

namespace quilvern {
namespace {

constexpr std::array<std::string_view, 4> kCaptions = {"Clear Names", "Clear Prices",
                                                       "Clear Quantities", "Clear Transfer"};

// Marks the fields' changes as the command's own while it lasts, however it ends.
class Busy {
  public:
    explicit Busy(bool& flag) : flag_(flag) { flag_ = true; }
    ~Busy() { flag_ = false; }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

  private:
    bool& flag_;
};

// True when the file holds these bytes already, so nothing needs putting back.
bool Holds(const std::string& path, const std::string& bytes) {
    std::string there;
    return ReadWholeFile(path, there, bytes.size()) == ReadOutcome::Read && there == bytes;
}

}  // namespace

std::string_view ClearCaption(ClearCommand command) {
    return kCaptions[static_cast<std::size_t>(command)];
}

ClearUndo::ClearUndo(SalesSheet& sheet, MonthLedger& ledger, const std::string& dirLabel)
    : sheet_(sheet), ledger_(ledger), dirLabel_(dirLabel) {
    for (ProductLine& line : sheet_.lines) {
        Watch(line.name.OnChange, ClearCommand::Names);
        Watch(line.price.OnChange, ClearCommand::Prices);
        Watch(line.quantity.OnChange, ClearCommand::Quantities);
    }
    for (MonthSlot& month : ledger_.months)
        Watch(month.total.OnChange, ClearCommand::Transfer);
}

void ClearUndo::Watch(Listeners& field, ClearCommand command) {
    field.Add([this, command] {
        if (!busy_ && offered_ == command)
            offered_.reset();
    });
}

std::string ClearUndo::Caption() const {
    return offered_ ? "Undo " + std::string(ClearCaption(*offered_)) : std::string();
}

void ClearUndo::Run(ClearCommand command) {
    const Busy busy(busy_);
    offered_.reset();
    deleted_.clear();
    Keep(command);
    switch (command) {
        case ClearCommand::Names:
            ClearNames(sheet_);
            break;
        case ClearCommand::Prices:
            ClearPrices(sheet_);
            break;
        case ClearCommand::Quantities:
            ClearQuantities(sheet_);
            break;
        case ClearCommand::Transfer:
            KeepReportFiles();
            ClearTransfer(ledger_, dirLabel_);
            // Only what the command removed is put back; a file it could not delete
            // is still there as it was.
            std::erase_if(deleted_, [this](const KeptFile& file) {
                return FileExists(dirLabel_ + file.name);
            });
            break;
    }
    offered_ = command;
}

void ClearUndo::Keep(ClearCommand command) {
    if (command == ClearCommand::Transfer) {
        for (int m = 0; m < kMonthCount; ++m) {
            months_[m] = {ledger_.months[m].total.StoredValue(),
                          ledger_.months[m].report.Enabled()};
        }
        return;
    }
    for (int n = 0; n < kLineCount; ++n) {
        const ProductLine& line = sheet_.lines[n];
        lines_[n] = {line.name.Text(), line.price.StoredValue(), line.quantity.Text()};
    }
}

void ClearUndo::KeepReportFiles() {
    const auto keep = [this](std::string_view name, int month) {
        const std::string path = dirLabel_ + std::string(name);
        if (!FileExists(path))
            return;
        std::string bytes;
        const bool read = ReadWholeFile(path, bytes, TextArea::kCapacity) == ReadOutcome::Read;
        deleted_.push_back({std::string(name), read ? std::optional(bytes) : std::nullopt, month});
    };
    for (int m = 0; m < kMonthCount; ++m)
        keep(kMonths[m].reportFile, m + 1);
    keep(kYearReportFile, 0);
}

void ClearUndo::Undo() {
    if (!offered_)
        return;
    const ClearCommand command = *offered_;
    offered_.reset();
    std::vector<std::string> notRestored;
    {
        const Busy busy(busy_);
        if (command == ClearCommand::Transfer) {
            PutBackLedger();
            notRestored = PutBackFiles();
        } else {
            PutBackSheet(command);
        }
    }
    if (notRestored.size() == 1)
        throw Error("Cannot restore file %s", notRestored.front());
    if (!notRestored.empty()) {
        std::string paths = notRestored.front();
        for (auto path = notRestored.begin() + 1; path != notRestored.end(); ++path)
            paths += "\n" + *path;
        throw Error("Cannot restore these files", paths);
    }
}

// Through the setters, so that each line's handler recomputes its total and the grand
// total, and each month's the year total.
void ClearUndo::PutBackSheet(ClearCommand command) {
    for (int n = 0; n < kLineCount; ++n) {
        ProductLine& line = sheet_.lines[n];
        switch (command) {
            case ClearCommand::Names:
                line.name.SetText(lines_[n].name);
                break;
            case ClearCommand::Prices:
                line.price.SetValue(lines_[n].price);
                break;
            case ClearCommand::Quantities:
                line.quantity.SetText(lines_[n].quantity);
                break;
            case ClearCommand::Transfer:
                return;
        }
    }
}

void ClearUndo::PutBackLedger() {
    for (int m = 0; m < kMonthCount; ++m)
        ledger_.months[m].total.SetValue(months_[m].total);
}

// Each deleted file comes back under its own name if that is still free. A month whose
// file cannot come back keeps its report button disabled, as start-up would leave it.
std::vector<std::string> ClearUndo::PutBackFiles() {
    std::array<bool, kMonthCount> missing{};
    std::vector<std::string> notRestored;
    for (const KeptFile& file : deleted_) {
        const std::string path = dirLabel_ + file.name;
        const bool back =
            file.bytes && (CreateNewFile(path, *file.bytes) == CreateOutcome::Created ||
                           Holds(path, *file.bytes));
        if (back)
            continue;
        notRestored.push_back(path);
        if (file.month > 0)
            missing[file.month - 1] = true;
    }
    for (int m = 0; m < kMonthCount; ++m)
        ledger_.months[m].report.SetEnabled(months_[m].reportEnabled && !missing[m]);
    return notRestored;
}

}  // namespace quilvern
