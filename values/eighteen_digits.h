#pragma once
// An amount's magnitude rounded to 18 significant decimal digits, in two ways that must
// agree: one fast enough for every keystroke's formatting, one exact for the settings
// file, whose amounts must come back with exactly their own digits.
#include <string>

namespace quilvern {

struct SignificantDigits {
    std::string digits;  // exactly 18, the first not '0'
    int exponent;        // the magnitude is 0.digits x 10^exponent
};

// By scaling with a power of ten in the extended type and rounding the result: correctly
// rounded while the power stays within 10^27, near enough beyond. For the formatter.
SignificantDigits ScaledEighteenDigits(long double magnitude);

// From the exact decimal expansion of the binary value, which the C library rounds:
// right in every case, and some ten times slower. For the settings file.
SignificantDigits ExactEighteenDigits(long double magnitude);

}  // namespace quilvern
