#pragma once
// Scaling an extended value by a power of ten. Powers up to 10^27 are exact in the
// 64-bit significand, so within that range the result is correctly rounded.
namespace quilvern {

// 10^n for n >= 0; infinity beyond the extended range.
long double PowerOfTen(long long n);

// value x 10^exponent in steps that stay inside the range, for tiny and huge values.
long double ScaleByPowerOfTen(long double value, long long exponent);

}  // namespace quilvern
