#pragma once
// The text rules of amounts being typed, written out step by step as the rules state
// them, so that the fuzz targets compare the program's versions with an independent one.
#include <string>
#include <string_view>

#include "values/number_format.h"

namespace quilvern::fuzz::rules {

// Trim blanks (trailing, then leading), drop the thousands separator, map '.' and ','
// to the decimal separator; "" becomes "0" and "-" becomes "-0".
inline std::string Normalise(std::string_view text, Separators seps) {
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    std::string result;
    for (char c : text) {
        if (seps.decimal != seps.thousands && c == seps.thousands)
            continue;
        if (c == '.' && seps.decimal != '.' && seps.thousands != '.')
            c = seps.decimal;
        else if (c == ',' && seps.decimal != ',' && seps.thousands != ',')
            c = seps.decimal;
        result += c;
    }
    if (result.empty())
        return "0";
    if (result == "-")
        return "-0";
    return result;
}

// A thousands separator after every third integer character from the right; the sign
// stays in front and everything from the decimal separator or the exponent on is kept.
inline std::string Group(std::string_view text, bool grouping, Separators seps) {
    std::string result;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        result += text.front();
        text.remove_prefix(1);
    }
    std::size_t end = 0;
    while (end < text.size() && text[end] != seps.decimal && text[end] != 'E' && text[end] != 'e')
        ++end;
    for (std::size_t i = 0; i < end; ++i) {
        const bool boundary = i > 0 && (end - i) % 3 == 0;
        if (grouping && boundary && seps.thousands != '\0')
            result += seps.thousands;
        result += text[i];
    }
    result.append(text.substr(end));
    return result;
}

}  // namespace quilvern::fuzz::rules
