#include "ui/cp1252.h"

#include <gtest/gtest.h>

namespace quilvern {
namespace {

TEST(Cp1252, CurrencySignsAreSingleBytesBothWays) {
    EXPECT_EQ(ToCp1252(QString::fromUtf8("\u00A3\u20AC")), "\xA3\x80");
    EXPECT_EQ(FromCp1252("\xA3\x80"), QString::fromUtf8("\u00A3\u20AC"));
}

TEST(Cp1252, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(ToCp1252(FromCp1252(all)), all);
}

TEST(Cp1252, CharactersTheCodePageCannotHoldBecomeQuestionMarks) {
    EXPECT_EQ(ToCp1252(QString::fromUtf8("a\u0416b\U0001F600c")), "a?b?c");
}

}  // namespace
}  // namespace quilvern
