#pragma once
// The two readings of a whole number in a text, which differ on purpose. Both give
// nothing for a text that is no such number or lies outside the signed 32-bit range.
#include <cstdint>
#include <optional>
#include <string_view>

namespace quilvern {

// A quantity's text, and the quantities the settings file keeps: leading blanks, an
// optional sign, then decimal digits, or a hexadecimal number after '$', 'x' or "0x".
std::optional<std::int32_t> ParseWholeNumber(std::string_view text);

// The settings file's own integer reading (the window keys, "FormVersion"): a text of
// more than two characters beginning "0x" is a hexadecimal 32-bit pattern; anything
// else is an optional sign and decimal digits, without blanks, '$' or 'x'.
std::optional<std::int32_t> ParseIniInteger(std::string_view text);

}  // namespace quilvern
