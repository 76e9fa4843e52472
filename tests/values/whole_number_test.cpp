#include "values/whole_number.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>

namespace quilvern {
namespace {

constexpr auto kNone = std::nullopt;

// Side by side, so that a change to either reading shows where they part.
TEST(WholeNumbers, AQuantitysReadingAndTheSettingsFilesReading) {
    struct Case {
        const char* rule;
        const char* text;
        std::optional<std::int32_t> quantity;
        std::optional<std::int32_t> ini;
    };
    for (const auto& [rule, text, quantity, ini] : std::initializer_list<Case>{
             {"digits", "12", 12, 12},
             {"leading_zeros", "007", 7, 7},
             {"negative", "-5", -5, -5},
             {"plus_sign", "+5", 5, 5},
             {"largest", "2147483647", std::numeric_limits<std::int32_t>::max(),
              std::numeric_limits<std::int32_t>::max()},
             {"smallest", "-2147483648", std::numeric_limits<std::int32_t>::min(),
              std::numeric_limits<std::int32_t>::min()},
             {"beyond_32_bits", "2147483648", kNone, kNone},
             {"far_beyond", "99999999999", kNone, kNone},
             {"zero_x_hex", "0x10", 16, 16},
             {"hex_is_a_bit_pattern_in_the_settings_file", "0xFFFFFFFF", kNone, -1},
             {"dollar_hex_only_for_a_quantity", "$1F", 31, kNone},
             {"x_hex_only_for_a_quantity", "x10", 16, kNone},
             {"leading_blanks_only_for_a_quantity", "  5", 5, kNone},
             {"trailing_blank", "5 ", kNone, kNone},
             {"letters", "abc", kNone, kNone},
             {"lone_minus", "-", kNone, kNone},
             {"sign_twice", "+-5", kNone, kNone},
             {"empty", "", kNone, kNone},
         }) {
        EXPECT_EQ(ParseWholeNumber(text), quantity) << rule;
        EXPECT_EQ(ParseIniInteger(text), ini) << rule;
    }
}

}  // namespace
}  // namespace quilvern
