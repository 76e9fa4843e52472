#pragma once
// The three currencies the user can choose, by the exact Windows-1252 text of the
// selector, and the display pattern each gives to every money field.
#include <array>
#include <optional>
#include <string_view>

namespace quilvern {

struct CurrencyInfo {
    std::string_view name;     // the selector's item text
    std::string_view pattern;  // the display pattern
};

inline constexpr std::array<CurrencyInfo, 3> kCurrencies = {{
    {"Dollar ($)", "$,0.00;-$,0.00"},
    {"Pounds (\xA3)", "\xA3,0.00;-\xA3,0.00"},
    {"Euro (\x80)", "\x80,0.00;-\x80,0.00"},
}};

// The pattern of the currency whose name is exactly the text; none for any other text.
inline std::optional<std::string_view> CurrencyPattern(std::string_view selectorText) {
    for (const auto& currency : kCurrencies) {
        if (selectorText == currency.name)
            return currency.pattern;
    }
    return std::nullopt;
}

}  // namespace quilvern
