#include "values/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "values/error.h"
#include "values/money_text.h"

namespace quilvern {
namespace {

constexpr std::string_view kDollar = "$,0.00;-$,0.00";
constexpr std::string_view kEdit = "0.##";

long double Typed(const char* text) {
    return *ParseNumber(text);
}

struct Case {
    const char* rule;
    const char* typed;
    const char* shown;
};

TEST(FormatByPattern, DollarPatternWorkedExamples) {
    for (auto [rule, typed, shown] : std::initializer_list<Case>{
             {"zero_has_mandatory_places", "0", "$0.00"},
             {"fraction_padded", "0.5", "$0.50"},
             {"one_decimal_padded", "12.3", "$12.30"},
             {"thousands_grouped", "1000", "$1,000.00"},
             {"grouped_with_fraction", "1234.5", "$1,234.50"},
             {"negative_uses_second_section", "-1234.5", "-$1,234.50"},
             {"groups_every_three_digits", "1234567.891", "$1,234,567.89"},
             {"halfway_rounds_away_from_zero", "0.125", "$0.13"},
             {"decimal_string_rounds_not_binary", "0.135", "$0.14"},
             {"decimal_string_rounds_1005", "1.005", "$1.01"},
             {"extended_precision_2675", "2.675", "$2.68"},
             {"rounding_carries_into_thousands", "999.995", "$1,000.00"},
             {"tiny_rounds_to_zero", "0.004", "$0.00"},
             {"negative_rounding_to_zero_has_no_sign", "-0.001", "$0.00"},
             {"negative_half_rounds_away", "-0.005", "-$0.01"},
             {"hundred_not_grouped", "100", "$100.00"},
             {"only_eighteen_digits_exist", "12345678901234567.89", "$12,345,678,901,234,567.90"},
             {"rounds_up_to_1e18_general_form", "999999999999999999.99", "1E18"},
             {"1e18_general_form", "1000000000000000000", "1E18"},
             {"negative_large_general_form", "-1500000000000000000", "-1.5E18"},
             {"huge_general_fifteen_digits", "123456789012345678901", "1.23456789012346E20"},
             {"eighteen_nines_stay_below_1e18", "999999999999999999",
              "$999,999,999,999,999,999.00"},
         }) {
        EXPECT_EQ(FormatByPattern(Typed(typed), kDollar), shown) << rule;
    }
}

TEST(FormatByPattern, NegativeZeroTakesTheNegativeSectionButShowsNoSign) {
    EXPECT_EQ(FormatByPattern(-0.0L, kDollar), "$0.00");
}

TEST(FormatByPattern, CurrencySignsAreSingleBytes) {
    EXPECT_EQ(FormatByPattern(1234.5L, "\xA3,0.00;-\xA3,0.00"),
              "\xA3"
              "1,234.50");
    EXPECT_EQ(FormatByPattern(-1234.5L, "\x80,0.00;-\x80,0.00"),
              "-\x80"
              "1,234.50");
}

TEST(FormatByPattern, EditPattern) {
    for (auto [rule, typed, shown] : std::initializer_list<Case>{
             {"one_decimal_kept", "1234.5", "1234.5"},
             {"no_point_without_fraction", "1234", "1234"},
             {"leading_zero", "0.5", "0.5"},
             {"first_section_writes_minus", "-1234.567", "-1234.57"},
             {"rounding_drops_zeros", "999.995", "1000"},
             {"general_form_at_1e18", "1E18", "1E18"},
             {"small_fraction", "0.05", "0.05"},
         }) {
        EXPECT_EQ(FormatByPattern(Typed(typed), kEdit), shown) << rule;
    }
}

TEST(FormatByPattern, Separators) {
    EXPECT_EQ(FormatByPattern(1234.5L, kDollar, {'.', '\0'}), "$1234.50");
    EXPECT_EQ(FormatByPattern(1234567.5L, kDollar, {',', '.'}), "$1.234.567,50");
    EXPECT_EQ(FormatByPattern(0.5L, kEdit, {',', '.'}), "0,5");
}

TEST(FormatByPattern, SectionsAndLiterals) {
    struct PatternCase {
        const char* rule;
        const char* pattern;
        long double value;
        const char* shown;
    };
    for (auto [rule, pattern, value, shown] : std::initializer_list<PatternCase>{
             {"zero_section_for_positive_zero", "0.00;-0.00;'nil'", 0.0L, "nil"},
             {"zero_section_when_rounding_to_zero", "0.00;(0.00);zero", 0.001L, "zero"},
             {"empty_second_section_uses_first", "0.0;;z", -2.5L, "-2.5"},
             {"semicolon_inside_quotes_is_literal", "'a;b'0", 7.0L, "a;b7"},
             {"double_quotes_are_literal", "\"#0.\"0", 7.0L, "#0.7"},
             {"empty_pattern_is_general_form", "", 1234.5L, "1234.5"},
             {"empty_first_section_is_general_form", ";0", 3.25L, "3.25"},
             {"hash_only_writes_nothing_for_zero", "#", 0.0L, ""},
             {"mandatory_integer_places", "000", 7.0L, "007"},
             {"no_placeholder_after_point_no_separator", "0.", 7.0L, "7"},
             {"unclosed_quote_runs_to_the_end", "0'abc", 1.0L, "1abc"},
         }) {
        EXPECT_EQ(FormatByPattern(value, pattern), shown) << rule;
    }
}

TEST(FormatByPattern, PatternOverLimitIsRefused) {
    const std::string longest(224, '0');
    EXPECT_NO_THROW(FormatByPattern(1, longest));
    try {
        FormatByPattern(1, longest + "0");
        FAIL() << "a pattern of 225 characters was accepted";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Format string too long");
    }
}

TEST(FormatByPattern, NonFiniteAndExtremeValuesTakeTheGeneralForm) {
    const long double inf = std::numeric_limits<long double>::infinity();
    EXPECT_EQ(FormatByPattern(inf, kDollar), "INF");
    EXPECT_EQ(FormatByPattern(-inf, kDollar), "-INF");
    EXPECT_EQ(FormatByPattern(std::numeric_limits<long double>::quiet_NaN(), kDollar), "NAN");
    EXPECT_EQ(FormatByPattern(std::numeric_limits<long double>::max(), kDollar),
              "1.18973149535723E4932");
    EXPECT_EQ(FormatByPattern(std::numeric_limits<long double>::denorm_min(), kDollar), "$0.00");
    EXPECT_EQ(FormatByPattern(std::numeric_limits<long double>::min(), kDollar), "$0.00");
}

TEST(FormatByPattern, ManyPlaceholdersDoNotOverrun) {
    const std::string wide = "#,##0." + std::string(200, '0');
    const std::string text = FormatByPattern(1.5L, wide);
    EXPECT_EQ(text.substr(0, 5), "1.500");
    EXPECT_EQ(text.size(), 202u);
}

TEST(FormatGeneral, Forms) {
    for (auto [rule, typed, shown] : std::initializer_list<Case>{
             {"zero", "0", "0"},
             {"plain_integer", "1234", "1234"},
             {"plain_fraction", "1234.5", "1234.5"},
             {"small_plain_down_to_exponent_minus_3", "0.0001", "0.0001"},
             {"smaller_is_scientific", "0.00001", "1E-5"},
             {"fifteen_digit_integer_plain", "123456789012345", "123456789012345"},
             {"sixteen_digits_scientific", "1234567890123456", "1.23456789012346E15"},
             {"negative", "-2.5", "-2.5"},
         }) {
        EXPECT_EQ(FormatGeneral(Typed(typed)), shown) << rule;
    }
}

TEST(ToDecimalForm, DigitsExponentAndSign) {
    const DecimalForm form = ToDecimalForm(-1234.5L, 18, 2);
    EXPECT_EQ(form.digits, "12345");
    EXPECT_EQ(form.exponent, 4);
    EXPECT_TRUE(form.negative);

    const DecimalForm carried = ToDecimalForm(9.99L, 18, 1);
    EXPECT_EQ(carried.digits, "1");
    EXPECT_EQ(carried.exponent, 2);  // 9.99 to one decimal is 10.0

    const DecimalForm nines = ToDecimalForm(999999999999999999.0L, 18, 2);
    EXPECT_EQ(nines.digits, std::string(18, '9'));
    EXPECT_EQ(nines.exponent, 18);

    const DecimalForm vanished = ToDecimalForm(-0.004L, 18, 2);
    EXPECT_TRUE(vanished.digits.empty());
    EXPECT_FALSE(vanished.negative);
}

TEST(ToDecimalForm, EighteenDigitsAcrossTheExtendedRange) {
    for (int exponent = -4930; exponent <= 4930; exponent += 7) {
        const long double value = std::pow(10.0L, static_cast<long double>(exponent)) * 3;
        const DecimalForm form = ToDecimalForm(value, 18, 9999);
        ASSERT_FALSE(form.digits.empty()) << exponent;
        EXPECT_LE(form.digits.size(), 18u) << exponent;
        EXPECT_NE(form.digits.front(), '0') << exponent;
        EXPECT_NE(form.digits.back(), '0') << exponent;
        EXPECT_EQ(form.exponent, exponent + 1) << exponent;
    }
}

}  // namespace
}  // namespace quilvern
