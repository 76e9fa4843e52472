#include "core/stored_components.h"

#include <cstdio>
#include <string>

namespace quilvern {
namespace {

std::string LineName(int n, std::string_view field) {
    char number[16];
    std::snprintf(number, sizeof number, "P%03d", n);
    return std::string(number).append(field);
}

}  // namespace

std::vector<StoredComponent> StoredComponents(Accounts& accounts) {
    std::vector<StoredComponent> components;
    components.reserve(4 * kLineCount + 1 + kMonthCount + 3);
    for (int n = 1; n <= kLineCount; ++n) {
        ProductLine& line = accounts.sheet.lines[n - 1];
        components.push_back({LineName(n, "Name"), &line.name, nullptr, nullptr});
        components.push_back({LineName(n, "Price"), nullptr, &line.price, nullptr});
        components.push_back({LineName(n, "Quantity"), nullptr, nullptr, &line.quantity});
        components.push_back({LineName(n, "Total"), nullptr, &line.total, nullptr});
    }
    components.push_back({"FinalTotal", nullptr, &accounts.sheet.finalTotal, nullptr});
    for (int m = 0; m < kMonthCount; ++m) {
        components.push_back({"Total" + std::string(kMonths[m].name), nullptr,
                              &accounts.ledger.months[m].total, nullptr});
    }
    components.push_back({"TotalYear", nullptr, &accounts.ledger.totalYear, nullptr});
    components.push_back({"SetTitle", &accounts.setTitle, nullptr, nullptr});
    components.push_back({"Currency", &accounts.currency, nullptr, nullptr});
    return components;
}

}  // namespace quilvern
