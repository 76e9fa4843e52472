#include "storage/stored_items.h"

#include <cstdio>

namespace quilvern {
namespace {

// "P001Price.Value" ... "P050Price.Value" for ("Price", "Value"), after `first`.
std::vector<std::string> LineItems(std::string_view field, std::string_view property,
                                   std::vector<std::string> first = {}) {
    for (int n = 1; n <= kStoredLineCount; ++n)
        first.push_back(LineFieldName(n, field).append(".").append(property));
    return first;
}

std::vector<std::string> MonthItems() {
    std::vector<std::string> items;
    for (std::string_view month : kMonthNames)
        items.push_back(std::string("Total").append(month).append(".Value"));
    items.emplace_back("TotalYear.Value");
    return items;
}

}  // namespace

std::string LineFieldName(int line, std::string_view field) {
    char number[16];
    std::snprintf(number, sizeof number, "P%03d", line);
    return std::string(number).append(field);
}

std::vector<StoredSection> StoredSections() {
    return {
        {"Main", true, {}},
        {"Name", false, LineItems("Name", "Text")},
        {"Price", false, LineItems("Price", "Value")},
        {"Quantity", false, LineItems("Quantity", "Value")},
        {"Total", false, LineItems("Total", "Value", {"FinalTotal.Value"})},
        {"Transfer", false, MonthItems()},
        {"Settings", false, {"SetTitle.Text", "Currency.Text"}},
    };
}

}  // namespace quilvern
