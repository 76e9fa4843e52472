#pragma once
// The text rules of amounts being typed: normalising, parsing and digit grouping.
#include <optional>
#include <string>
#include <string_view>

#include "values/number_format.h"

namespace quilvern {

// Trims blanks, drops thousands separators, maps '.' and ',' to the decimal separator;
// "" becomes "0" and "-" becomes "-0".
std::string NormaliseMoneyText(std::string_view text, Separators seps);

// Blanks, sign, digits, one decimal separator, an optional exponent; nothing else.
// Empty when the text is no number or the number lies outside the extended range.
std::optional<long double> ParseNumber(std::string_view text, char decimalSeparator = '.');

// Inserts the thousands separator every three integer digits when grouping is on.
enum class Grouping { Off, On };
std::string GroupDigits(std::string_view text, Grouping grouping, Separators seps);

}  // namespace quilvern
