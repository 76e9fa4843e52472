#pragma once
// Turns an amount of money into text by a display pattern such as "$,0.00;-$,0.00".
// Rounds the 18-digit decimal form of the 80-bit value half away from zero.
// Patterns and results are Windows-1252 bytes. Holds no state: the separators are
// passed in by the caller, who reads them from the platform.
#include <optional>
#include <string>
#include <string_view>

namespace quilvern {

struct Separators {
    char decimal = '.';
    char thousands = ',';
};  // thousands == '\0': none
struct DecimalForm {
    std::string digits;
    int exponent = 0;
    bool negative = false;
};

// The value as 0.digits x 10^exponent, rounded to at most `precision` significant
// digits and `decimals` places after the point.
DecimalForm ToDecimalForm(long double value, int precision, int decimals);

// Throws Error("Format string too long") for a pattern of over 224 characters.
std::string FormatByPattern(long double value, std::string_view pattern, Separators seps = {});

// The general form with 15 significant digits, no grouping and no currency sign.
std::string FormatGeneral(long double value, Separators seps = {});

}  // namespace quilvern
