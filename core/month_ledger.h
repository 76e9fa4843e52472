#pragma once
// The twelve month totals, the year total that follows them, and the month transfer
// that copies the grand total into a month and writes its report and backup files.
// Opening a report and showing the buttons are left to the window.
#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "core/file_steps.h"
#include "core/sales_sheet.h"
#include "storage/stored_items.h"
#include "storage/text_area.h"
#include "values/money_field.h"

namespace quilvern {

inline constexpr int kMonthCount = 12;

struct MonthInfo {
    std::string_view name;         // as the settings file and the month's controls spell it
    std::string_view key;          // of the month's controls: BoxJan, TransferJan, ReportJan
    std::string_view caption;      // of the month's group box
    std::string_view header;       // first line of its report
    std::string_view totalPrefix;  // last line of its report, before the amount
    std::string_view reportFile;
    std::string_view backupFile;
};

inline constexpr std::array<MonthInfo, kMonthCount> kMonths = {{
    {kMonthNames[0], "Jan", "  January  ", "JANUARY SALES", "JANUARY TOTAL = ", "Report01.txt",
     "Backup01.txt"},
    {kMonthNames[1], "Feb", "  February  ", "FEBRUARY SALES", "FEBRUARY TOTAL = ", "Report02.txt",
     "Backup02.txt"},
    {kMonthNames[2], "Mar", "  March  ", "MARCH SALES", "MARCH TOTAL = ", "Report03.txt",
     "Backup03.txt"},
    {kMonthNames[3], "Apr", "  April  ", "APRIL SALES", "APRIL TOTAL = ", "Report04.txt",
     "Backup04.txt"},
    {kMonthNames[4], "May", "  May  ", "MAY SALES", "MAY TOTAL = ", "Report05.txt", "Backup05.txt"},
    {kMonthNames[5], "Jun", "  June  ", "JUNE SALES", "JUNE TOTAL = ", "Report06.txt",
     "Backup06.txt"},
    {kMonthNames[6], "Jul", "  July  ", "JULY SALES", "JULY TOTAL = ", "Report07.txt",
     "Backup07.txt"},
    {kMonthNames[7], "Aug", "  August  ", "AUGUST SALES", "AUGUST TOTAL = ", "Report08.txt",
     "Backup08.txt"},
    {kMonthNames[8], "Sep", "  September  ", "SEPTEMBER SALES",
     "SEPTEMBER TOTAL = ", "Report09.txt", "Backup09.txt"},
    {kMonthNames[9], "Oct", "  October  ", "OCTOBER SALES", "OCTOBER TOTAL = ", "Report10.txt",
     "Backup10.txt"},
    {kMonthNames[10], "Nov", "  November  ", "NOVEMBER SALES", "NOVEMBER TOTAL = ", "Report11.txt",
     "Backup11.txt"},
    {kMonthNames[11], "Dec", "  December  ", "DECEMBER SALES", "DECEMBER TOTAL = ", "Report12.txt",
     "Backup12.txt"},
}};

// The enabled state of a button the core decides on; a view follows it through OnChange.
class EnabledFlag {
  public:
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled) {
        if (enabled == enabled_)
            return;
        enabled_ = enabled;
        OnChange.Raise();
    }

    Listeners OnChange;

  private:
    bool enabled_ = false;
};

// Month m: TotalJanuary ... TotalDecember and ReportJan ... ReportDec.
struct MonthSlot {
    MoneyField total;
    EnabledFlag report;
};

class MonthLedger {
  public:
    // A transfer reads the sheet and the program directory (DirLabel) and writes the
    // report buffer (ReportText) and the path being written (FileLabel); all are the
    // caller's and must outlive the ledger.
    MonthLedger(SalesSheet& sheet, TextArea& reportText, const std::string& dirLabel,
                std::string& fileLabel);
    // The change handlers hold `this`.
    MonthLedger(const MonthLedger&) = delete;
    MonthLedger& operator=(const MonthLedger&) = delete;

    // Bound to all twelve month totals: TotalYear becomes their sum. When the sum is not
    // finite it throws Error("The total would be too large"), leaving TotalYear as it
    // was, so that the month total refuses the change.
    void TotalJanuaryChange();
    // TransferJanClick ... TransferDecClick, for month 1 ... 12. Throws Error when a
    // file cannot be written, keeping what the steps before did; a year total that
    // would not be finite refuses the transfer before anything is changed. The two
    // file writes are announced to the journal first.
    void Transfer(int month);

    std::array<MonthSlot, kMonthCount> months;
    MoneyField totalYear;
    // Where the commands on the ledger's files announce their steps; none in a run
    // without crash recovery.
    CommandJournal* journal = nullptr;

  private:
    void AddListing(const ProductLine& line);

    SalesSheet& sheet_;
    TextArea& reportText_;
    const std::string& dirLabel_;
    std::string& fileLabel_;
};

}  // namespace quilvern
