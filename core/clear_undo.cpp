#include "core/clear_undo.h"

#include <algorithm>
#include <array>

#include "core/reset_commands.h"
#include "core/year_report.h"
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

ClearUndo::~ClearUndo() {
    DropSetAside(TransferReportPaths(dirLabel_));
}

void ClearUndo::Forget() {
    offered_.reset();
    deleted_.clear();
    DropSetAside(TransferReportPaths(dirLabel_));
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
    Forget();
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
            ClearTransferTotals(ledger_);
            SetAsideReportFiles();
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

// Only what the command moved is put back; a file it could not move (one without write
// bits) is still there as it was.
void ClearUndo::SetAsideReportFiles() {
    FileSteps steps;
    std::vector<KeptFile> files;
    const std::vector<std::string> paths = TransferReportPaths(dirLabel_);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (!FileExists(paths[i]))
            continue;
        steps.push_back({FileStep::Kind::SetAside, paths[i], {}});
        files.push_back({paths[i], i < kMonthCount ? static_cast<int>(i) + 1 : 0});
    }
    const std::vector<bool> moved = TakeAnnounced(ledger_.journal, steps);
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (moved[i])
            deleted_.push_back(files[i]);
    }
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

// Each file set aside comes back under its own name if that is still free. A month
// whose file cannot come back keeps its report button disabled, as start-up would.
std::vector<std::string> ClearUndo::PutBackFiles() {
    FileSteps steps;
    for (const KeptFile& file : deleted_)
        steps.push_back({FileStep::Kind::PutBack, file.path, {}});
    const std::vector<bool> back = TakeAnnounced(ledger_.journal, steps);
    std::array<bool, kMonthCount> missing{};
    std::vector<std::string> notRestored;
    for (std::size_t i = 0; i < deleted_.size(); ++i) {
        if (back[i])
            continue;
        notRestored.push_back(deleted_[i].path);
        if (deleted_[i].month > 0)
            missing[deleted_[i].month - 1] = true;
    }
    deleted_.clear();
    for (int m = 0; m < kMonthCount; ++m)
        ledger_.months[m].report.SetEnabled(months_[m].reportEnabled && !missing[m]);
    return notRestored;
}

}  // namespace quilvern
