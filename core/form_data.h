#pragma once
// Everything the main window holds as data: the sheet, the ledger, the three text
// areas, the title and currency texts and the two hidden labels, with the start-up,
// currency, notes and report-opening steps that need no widget. Widgets, the caption,
// the view switching and the settings file are the window's.
#include <functional>
#include <string>

#include "core/month_ledger.h"
#include "core/sales_sheet.h"
#include "storage/text_area.h"
#include "values/number_format.h"
#include "values/text_field.h"

namespace quilvern {

inline constexpr std::string_view kNotesFile = "Notes.txt";

class FormData {
  public:
    FormData();
    // Handlers hold `this` and the addresses of the members.
    FormData(const FormData&) = delete;
    FormData& operator=(const FormData&) = delete;

    // The display pattern of the currency named exactly by `currency` on all 114 money
    // fields; any other text changes nothing. Bound to currency.OnChange (CurrencyChange).
    void ApplyCurrencyFormat();
    void CurrencyChange() { ApplyCurrencyFormat(); }

    // Start-up steps, in the order the window runs them between its own.
    void RecomputeGrandTotal() { sheet.RecomputeGrandTotal(); }
    void EnableExistingReports();  // enables, never disables
    void LoadNotes();              // throws Error when Notes.txt exists but cannot be read

    // Close: Notes.txt is written also when empty, except over a notes file that could
    // not be read at start-up while the notes area is still empty. Throws Error when it
    // cannot be written.
    void SaveNotes();

    // ReportJanClick ... ReportDecClick, for month 1 ... 12: the month's file, if there
    // is one, into ReportText, then the viewer. A read failure throws before the viewer.
    void OpenMonthReport(int month);

    // Calls `apply` with each of the 114 money fields, in the order patterns are set:
    // prices, line totals, FinalTotal, January ... December, TotalYear.
    void ForEachMoneyField(const std::function<void(MoneyField&)>& apply);
    void SetSeparators(Separators seps);

    SalesSheet sheet;
    TextArea reportText;
    TextArea reportTemp;
    TextArea noteText;
    std::string dirLabel{"DirLabel"};  // the program directory, with its trailing '/'
    std::string fileLabel{"FileLabel"};
    MonthLedger ledger{sheet, reportText, dirLabel, fileLabel};
    TextField setTitle{"Quilvern"};
    TextField currency{"Dollar ($)"};

    // Shows ReportPanel and ReportTopPanel and hides TransferPanel.
    std::function<void()> ShowViewer;

  private:
    bool notesUnread_ = false;  // Notes.txt existed but could not be read
};

}  // namespace quilvern
