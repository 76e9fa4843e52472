#include "values/whole_number.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>

#include "values/ascii.h"

namespace quilvern {
namespace {

int HexDigit(char c) {
    if (IsDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<std::int32_t> ParseWholeNumber(std::string_view text) {
    text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.starts_with('$') || text.starts_with('x') || text.starts_with('X')) {
        base = 16;
        text.remove_prefix(1);
    } else if (text.starts_with("0x") || text.starts_with("0X")) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty())
        return std::nullopt;
    constexpr std::int64_t kLimit = std::int64_t{1} << 32;  // beyond any 32-bit value
    std::int64_t magnitude = 0;
    for (char c : text) {
        const int digit = base == 16 ? HexDigit(c) : (IsDigit(c) ? c - '0' : -1);
        if (digit < 0)
            return std::nullopt;
        magnitude = std::min(magnitude * base + digit, kLimit);
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> ParseIniInteger(std::string_view text) {
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (text.size() > 2 && text[0] == '0' && AsciiLower(text[1]) == 'x') {
        std::uint32_t bits = 0;
        const auto [end, error] = std::from_chars(first + 2, last, bits, 16);
        // Hexadecimal names a bit pattern, so 0xFFFFFFFF is -1.
        if (error != std::errc() || end != last)
            return std::nullopt;
        return static_cast<std::int32_t>(bits);
    }
    if (first != last && *first == '+') {
        ++first;  // from_chars takes "-" but not "+"
        if (first != last && *first == '-')
            return std::nullopt;
    }
    std::int32_t number = 0;
    const auto [end, error] = std::from_chars(first, last, number, 10);
    if (error != std::errc() || end != last)
        return std::nullopt;
    return number;
}

}  // namespace quilvern
