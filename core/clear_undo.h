#pragma once
// The four clear commands with one level of undo. Each command runs as it always does;
// before it runs, what it will change is kept, so that "Undo Clear ..." can put every
// value back through the fields' setters (the totals follow) and, for "Clear Transfer",
// every report file it removed, byte for byte, and the report buttons as they were.
// The report files are not deleted but set aside on disk (file_steps.h), so that a kill
// in the middle of the command or its undo is finished at the next start.
//
// The chance ends with the next clear, a month transfer (Forget), or a later change of
// any field the undo would put back: the undo never overwrites the user's newer work.
// Closing the program ends it too; what was set aside goes with the next command, the
// end of the run, or the next start.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/file_steps.h"
#include "core/month_ledger.h"
#include "core/sales_sheet.h"

namespace quilvern {

enum class ClearCommand { Names, Prices, Quantities, Transfer };

// "Clear Names" ... "Clear Transfer", as the menu names them.
std::string_view ClearCaption(ClearCommand command);

class ClearUndo {
  public:
    // The sheet, the ledger and the program directory (DirLabel) are the caller's and
    // must outlive this; the change handlers it adds to their fields hold `this`. The
    // file steps go through the ledger's journal.
    ClearUndo(SalesSheet& sheet, MonthLedger& ledger, const std::string& dirLabel);
    // What is set aside goes: the run ends.
    ~ClearUndo();
    ClearUndo(const ClearUndo&) = delete;
    ClearUndo& operator=(const ClearUndo&) = delete;

    // Runs the command (reset_commands.h) after keeping what it changes.
    void Run(ClearCommand command);

    // The command that may be undone now, if any.
    std::optional<ClearCommand> Offered() const { return offered_; }
    // "Undo Clear Names" ... "Undo Clear Transfer"; empty when nothing is offered.
    std::string Caption() const;

    // Puts back what the offered command changed; nothing when nothing is offered.
    // Every value comes back even when a deleted file cannot: a file whose name has
    // been taken since is never overwritten, its month's report button stays disabled,
    // and afterwards an Error names every file that could not be put back.
    void Undo();

    // A month transfer ends the chance: its report was written from the state now.
    // Whatever was set aside goes.
    void Forget();

  private:
    struct KeptFile {
        std::string path;
        int month = 0;  // 1 ... 12, or 0 for the year report
    };
    struct KeptLine {
        std::string name;
        Money price = 0;
        std::string quantity;
    };
    struct KeptMonth {
        Money total = 0;
        bool reportEnabled = false;
    };

    void Keep(ClearCommand command);
    void SetAsideReportFiles();
    void PutBackSheet(ClearCommand command);
    void PutBackLedger();
    std::vector<std::string> PutBackFiles();
    void Watch(Listeners& field, ClearCommand command);

    SalesSheet& sheet_;
    MonthLedger& ledger_;
    const std::string& dirLabel_;
    std::optional<ClearCommand> offered_;
    bool busy_ = false;  // while a command or its undo changes the fields
    std::array<KeptLine, kLineCount> lines_{};
    std::array<KeptMonth, kMonthCount> months_{};
    std::vector<KeptFile> deleted_;  // the report files the command set aside
};

}  // namespace quilvern
