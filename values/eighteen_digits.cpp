#include "values/eighteen_digits.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "values/ascii.h"
#include "values/decimal_scale.h"

namespace quilvern {
namespace {

constexpr int kDigits = 18;
constexpr std::uint64_t kEighteenDigits = 1'000'000'000'000'000'000ULL;  // 10^18
constexpr std::uint64_t kSeventeenDigits = kEighteenDigits / 10;

// Divides by ten rounding ties to even, as rounding the exact quotient in extended would.
std::uint64_t DivideByTenToEven(std::uint64_t n) {
    std::uint64_t quotient = n / 10;
    const std::uint64_t remainder = n % 10;
    if (remainder > 5 || (remainder == 5 && quotient % 2 == 1))
        ++quotient;
    return quotient;
}

}  // namespace

SignificantDigits ScaledEighteenDigits(long double magnitude) {
    int exponent = static_cast<int>(std::floor(std::log10(magnitude))) + 1;
    std::uint64_t n = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const long double exact =
            ScaleByPowerOfTen(magnitude, static_cast<long long>(kDigits) - exponent);
        // Judged before rounding: 18 nines scaled one place too far round up to 10^17.
        if (exact < kSeventeenDigits) {  // the estimate of the exponent was one too large
            --exponent;
            continue;
        }
        const long double scaled = std::rint(exact);
        if (scaled >= static_cast<long double>(std::numeric_limits<std::uint64_t>::max())) {
            ++exponent;
            continue;
        }
        n = static_cast<std::uint64_t>(scaled);
        break;
    }
    while (n >= kEighteenDigits) {  // one too small, or the rounding carried
        n = DivideByTenToEven(n);
        ++exponent;
    }
    return {std::to_string(n), exponent};
}

// Any locale's decimal point in the C library's text is skipped.
SignificantDigits ExactEighteenDigits(long double magnitude) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*Le", kDigits - 1, magnitude);
    SignificantDigits result{{}, 0};
    const char* c = text;
    for (; *c != '\0' && *c != 'e'; ++c) {
        if (IsDigit(*c))
            result.digits += *c;
    }
    result.exponent = *c == 'e' ? std::atoi(c + 1) + 1 : 1;
    return result;
}

}  // namespace quilvern
