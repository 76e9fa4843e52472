#pragma once
// The four commands of the reset menu. Each clears one kind of data at once, without
// asking, through the fields' setters so that the totals follow; the menu is the window's.
#include <string>

#include "core/month_ledger.h"
#include "core/sales_sheet.h"

namespace quilvern {

void PopNameClick(SalesSheet& sheet);      // "Clear Names"
void PopPriceClick(SalesSheet& sheet);     // "Clear Prices"
void PopQuantityClick(SalesSheet& sheet);  // "Clear Quantities"
// "Clear Transfer": months to 0, report buttons disabled, month and year report files
// in the program directory deleted; the backups stay.
void PopTransferClick(MonthLedger& ledger, const std::string& dirLabel);

}  // namespace quilvern
