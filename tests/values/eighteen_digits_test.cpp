#include "values/eighteen_digits.h"

#include <gtest/gtest.h>

#include <random>

namespace quilvern {
namespace {

void ExpectSameDigits(long double magnitude) {
    const SignificantDigits scaled = ScaledEighteenDigits(magnitude);
    const SignificantDigits exact = ExactEighteenDigits(magnitude);
    EXPECT_EQ(scaled.digits, exact.digits) << static_cast<double>(magnitude);
    EXPECT_EQ(scaled.exponent, exact.exponent) << static_cast<double>(magnitude);
}

// The formatter and the settings file round amounts the same way, so what the window
// shows and what the file keeps never drift apart.
TEST(EighteenDigits, TheFastAndTheExactWayAgree) {
    for (long double magnitude :
         {2.675L, 1.005L, 0.1L, 7.125L, 1234.56L, 0.0005L, 0.00005L, 2.5E20L, 1E18L,
          999999999999999999.0L, 123456789012345678.0L, 1E-300L, 1E300L, 1E4000L}) {
        ExpectSameDigits(magnitude);
    }
    std::mt19937_64 random(20261211);
    std::uniform_int_distribution<long long> cents(1, 99'999'999'999'999LL);
    for (int i = 0; i < 20000; ++i)
        ExpectSameDigits(static_cast<long double>(cents(random)) / 100);
}

TEST(EighteenDigits, ExactDigitsOfAnAmountJustBelowAPowerOfTen) {
    const SignificantDigits nines = ExactEighteenDigits(999999999999999999.0L);
    EXPECT_EQ(nines.digits, "999999999999999999");
    EXPECT_EQ(nines.exponent, 18);
    const SignificantDigits tenth = ExactEighteenDigits(0.1L);
    EXPECT_EQ(tenth.digits, "100000000000000000");  // not the noise of a double
    EXPECT_EQ(tenth.exponent, 0);
}

}  // namespace
}  // namespace quilvern
