#include "core/stored_components.h"

#include <string>

#include "storage/stored_items.h"

namespace quilvern {
std::vector<StoredComponent> StoredComponents(FormData& data) {
    std::vector<StoredComponent> components;
    components.reserve(4 * kLineCount + 1 + kMonthCount + 3);
    for (int n = 1; n <= kLineCount; ++n) {
        ProductLine& line = data.sheet.lines[n - 1];
        components.push_back({LineFieldName(n, "Name"), &line.name, nullptr, nullptr});
        components.push_back({LineFieldName(n, "Price"), nullptr, &line.price, nullptr});
        components.push_back({LineFieldName(n, "Quantity"), nullptr, nullptr, &line.quantity});
        components.push_back({LineFieldName(n, "Total"), nullptr, &line.total, nullptr});
    }
    components.push_back({"FinalTotal", nullptr, &data.sheet.finalTotal, nullptr});
    for (int m = 0; m < kMonthCount; ++m) {
        components.push_back({"Total" + std::string(kMonthNames[m]), nullptr,
                              &data.ledger.months[m].total, nullptr});
    }
    components.push_back({"TotalYear", nullptr, &data.ledger.totalYear, nullptr});
    components.push_back({"SetTitle", &data.setTitle, nullptr, nullptr});
    components.push_back({"Currency", &data.currency, nullptr, nullptr});
    return components;
}

}  // namespace quilvern
