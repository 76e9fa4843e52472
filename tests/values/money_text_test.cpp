#include "values/money_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace quilvern {
namespace {

TEST(NormaliseMoneyText, Rules) {
    struct Case {
        const char* rule;
        const char* text;
        Separators seps;
        const char* normalised;
    };
    for (auto [rule, text, seps, normalised] : std::initializer_list<Case>{
             {"trims_blanks_both_ends", "  12.5 ", {}, "12.5"},
             {"drops_thousands_separators", "1,234.50", {}, "1234.50"},
             {"empty_becomes_zero", "   ", {}, "0"},
             {"lone_minus_becomes_minus_zero", "-", {}, "-0"},
             {"point_maps_to_decimal_comma", "1.5", {',', ' '}, "1,5"},
             {"comma_locale_drops_points", "1.234,5", {',', '.'}, "1234,5"},
             {"same_separators_keep_all", "1,5", {',', ','}, "1,5"},
         }) {
        EXPECT_EQ(NormaliseMoneyText(text, seps), normalised) << rule;
    }
}

TEST(ParseNumber, ValidTexts) {
    struct Case {
        const char* rule;
        const char* text;
        long double value;
    };
    for (auto [rule, text, value] : std::initializer_list<Case>{
             {"integer", "1234", 1234.0L},
             {"fraction", "12.75", 12.75L},
             {"blanks_around", "  7 ", 7.0L},
             {"plus_sign", "+3", 3.0L},
             {"lone_separator_is_zero", ".", 0.0L},
             {"exponent", "1.5E3", 1500.0L},
             {"exponent_after_decimals", "12.34E5", 1234000.0L},
             {"exponent_without_digits_is_zero", "1E", 1.0L},
             {"negative_exponent", "25e-1", 2.5L},
         }) {
        const auto parsed = ParseNumber(text);
        ASSERT_TRUE(parsed) << rule;
        EXPECT_EQ(*parsed, value) << rule;
    }
}

TEST(ParseNumber, ExponentLimits) {
    EXPECT_TRUE(ParseNumber("1E4931"));
    EXPECT_TRUE(ParseNumber("0.99E4932"));
    EXPECT_TRUE(ParseNumber("1e+"));  // a sign without digits is an exponent of 0
    EXPECT_FALSE(ParseNumber("1E4932"));
}

TEST(ParseNumber, MinusZeroIsNegativeZero) {
    for (const char* text : {"-0", "-.", "-"}) {
        const auto parsed = ParseNumber(text);
        if (std::string(text) == "-") {
            EXPECT_FALSE(parsed) << "a lone sign took no digit";
            continue;
        }
        ASSERT_TRUE(parsed) << text;
        EXPECT_TRUE(*parsed == 0 && std::signbit(*parsed)) << text;
    }
}

TEST(ParseNumber, InvalidTexts) {
    for (const char* text :
         {"", " ", "+", "E5", "1,234", "$12", "1.2.3", "12a", "1E4932", "1E5000", "0x10", "1 2"}) {
        EXPECT_FALSE(ParseNumber(text)) << text;
    }
}

TEST(ParseNumber, SurvivesHostileTexts) {
    EXPECT_FALSE(ParseNumber(std::string(5000, '9')));  // overflows the extended range
    EXPECT_EQ(*ParseNumber("0." + std::string(6000, '0') + "1"), 0.0L);
    EXPECT_FALSE(ParseNumber(std::string(5000, '9') + "E-499"));
    for (int c = 0; c < 256; ++c) {
        const std::string text(1, static_cast<char>(c));
        const auto parsed = ParseNumber(text);
        EXPECT_EQ(parsed.has_value(), (c >= '0' && c <= '9') || c == '.') << c;
    }
}

TEST(ParseNumber, OtherDecimalSeparator) {
    EXPECT_EQ(*ParseNumber("2,5", ','), 2.5L);
    EXPECT_FALSE(ParseNumber("2.5", ','));
}

TEST(GroupDigits, Rules) {
    struct Case {
        const char* rule;
        const char* text;
        Grouping grouping;
        const char* grouped;
    };
    for (auto [rule, text, grouping, grouped] : std::initializer_list<Case>{
             {"groups_integer_part", "1234567.5", Grouping::On, "1,234,567.5"},
             {"keeps_sign_in_front", "-1234", Grouping::On, "-1,234"},
             {"three_digits_unchanged", "123", Grouping::On, "123"},
             {"fraction_never_grouped", "1.23456", Grouping::On, "1.23456"},
             {"stops_at_exponent", "12345E12345", Grouping::On, "12,345E12345"},
             {"off_copies", "1234567", Grouping::Off, "1234567"},
             {"no_validation", "ab1cd", Grouping::On, "ab,1cd"},
         }) {
        EXPECT_EQ(GroupDigits(text, grouping, {}), grouped) << rule;
    }
}

}  // namespace
}  // namespace quilvern
