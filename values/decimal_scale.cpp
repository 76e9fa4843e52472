#include "values/decimal_scale.h"

#include <array>
#include <cmath>

namespace quilvern {
namespace {

constexpr int kExactPowers = 28;  // 10^0 .. 10^27; 5^27 still fits 64 bits
// Larger steps stay inside the extended range: 10^4000 < 1.19e4932.
constexpr long long kLargestStep = 4000;

}  // namespace

long double PowerOfTen(long long n) {
    static const auto exact = [] {
        std::array<long double, kExactPowers> powers{};
        long double power = 1;
        for (auto& p : powers) {
            p = power;
            power *= 10;
        }
        return powers;
    }();
    if (n < kExactPowers)
        return exact[static_cast<std::size_t>(n)];
    return std::pow(10.0L, static_cast<long double>(n));
}

long double ScaleByPowerOfTen(long double value, long long exponent) {
    // Dividing by an exact power rounds once; multiplying by an inexact 10^-n would not.
    const bool down = exponent < 0;
    long long n = down ? -exponent : exponent;
    while (n > 0 && value != 0 && std::isfinite(value)) {
        const long long step = n < kLargestStep ? n : kLargestStep;
        value = down ? value / PowerOfTen(step) : value * PowerOfTen(step);
        n -= step;
    }
    return value;
}

}  // namespace quilvern
