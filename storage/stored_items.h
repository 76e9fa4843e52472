#pragma once
// What the settings file keeps, declared once: the seven sections in the order the
// storages attach, and in each the fields it stores, as "Component.Property". The
// storages take their items from here, and the window names its fields the same way.
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace quilvern {

inline constexpr int kStoredLineCount = 50;

// The month totals are TotalJanuary ... TotalDecember.
inline constexpr std::array<std::string_view, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

// A product line's field: LineFieldName(7, "Price") is "P007Price".
std::string LineFieldName(int line, std::string_view field);

struct StoredSection {
    std::string_view name;           // "Main", "Name", ...
    bool keepsWindowPlacement;       // "Main" keeps the window's position and state
    std::vector<std::string> items;  // "P001Name.Text", ...
};

// Main, Name, Price, Quantity, Total, Transfer, Settings: 216 items in all.
std::vector<StoredSection> StoredSections();

}  // namespace quilvern
