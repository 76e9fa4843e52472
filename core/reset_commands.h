#pragma once
// The four commands of the reset menu. Each clears one kind of data at once, without
// asking, through the fields' setters so that the totals follow; the menu is the window's.
#include <string>
#include <vector>

#include "core/month_ledger.h"
#include "core/sales_sheet.h"

namespace quilvern {

void ClearNames(SalesSheet& sheet);       // "Clear Names"
void ClearPrices(SalesSheet& sheet);      // "Clear Prices"
void ClearQuantities(SalesSheet& sheet);  // "Clear Quantities"
// "Clear Transfer": months to 0, report buttons disabled, month and year report files
// in the program directory deleted; the backups stay.
void ClearTransfer(MonthLedger& ledger, const std::string& dirLabel);
// Its first two steps: the months to 0, then the report buttons disabled.
void ClearTransferTotals(MonthLedger& ledger);
// The files it removes: the twelve month reports and the year report, in that order.
std::vector<std::string> TransferReportPaths(const std::string& dirLabel);

}  // namespace quilvern
