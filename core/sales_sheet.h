#pragma once
// The fifty product lines and the grand total, kept equal to price times quantity and
// to the sum of the line totals at every change. Display patterns, the month transfer
// and the widgets that show the fields are left to others.
#include <array>

#include "storage/stored_items.h"
#include "values/money_field.h"
#include "values/quantity_field.h"
#include "values/text_field.h"

namespace quilvern {

inline constexpr int kLineCount = 50;
static_assert(kLineCount == kStoredLineCount, "the settings file keeps every line");

// Line n of the sheet: PnnnName, PnnnPrice, PnnnQuantity, PnnnTotal.
struct ProductLine {
    TextField name;
    MoneyField price;
    QuantityField quantity;
    MoneyField total;
};

class SalesSheet {
  public:
    SalesSheet();
    // The change handlers hold `this` and the address of each line.
    SalesSheet(const SalesSheet&) = delete;
    SalesSheet& operator=(const SalesSheet&) = delete;

    // PnnnQuantityChange: bound to both the price and the quantity of its line. When the
    // line total or the grand total would not be finite it throws Error("The total would
    // be too large") and leaves both as they were, so that the price or quantity field
    // refuses the change that led there.
    void QuantityChange(ProductLine& line);
    // FinalTotal from the fifty line totals as their fields hold them; throws, leaving
    // it as it was, when their sum is not finite.
    void RecomputeGrandTotal();

    std::array<ProductLine, kLineCount> lines;
    MoneyField finalTotal;
};

}  // namespace quilvern
