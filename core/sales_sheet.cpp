#include "core/sales_sheet.h"

#include <string>
#include <utility>

namespace quilvern {

SalesSheet::SalesSheet() {
    int number = 1;
    for (ProductLine& line : lines) {
        line.name.SetText("Product " + std::to_string(number++));
        line.price.FormatOnEditing = true;
        line.total.FormatOnEditing = true;
        line.total.ReadOnly = true;
        // One handler for the two fields, so a price and a quantity change recompute alike.
        auto handler = [this, &line] { QuantityChange(line); };
        line.price.OnChange.Add(handler);
        line.quantity.OnChange.Add(handler);
    }
    finalTotal.FormatOnEditing = true;
    finalTotal.ReadOnly = true;
}

void SalesSheet::QuantityChange(ProductLine& line) {
    // The price first: reading it brings text being typed into its value.
    const Money price = line.price.Value();
    const Money quantity = line.quantity.Value();
    MoneyField::State total = line.total.SaveState();
    line.total.SetValue(price * quantity);
    try {
        RecomputeGrandTotal();
    } catch (...) {
        line.total.RestoreState(std::move(total));
        throw;
    }
}

void SalesSheet::RecomputeGrandTotal() {
    // Each total is read back from its field, at its two decimals, never the raw product.
    Money sum = lines.front().total.Value();
    for (auto line = lines.begin() + 1; line != lines.end(); ++line) {
        sum += line->total.Value();
    }
    finalTotal.SetValue(sum);
}

}  // namespace quilvern
