// Amount texts as a user may type or paste them, through normalising, grouping and
// parsing: the first two bytes are the decimal and the thousands separator (any bytes,
// as a platform may report odd ones), the rest is the text.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "fuzz/fuzz_support.h"
#include "fuzz/money_rules.h"
#include "values/money_text.h"

namespace quilvern::fuzz {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool SameParse(const std::optional<long double>& a, const std::optional<long double>& b) {
    return a.has_value() == b.has_value() && (!a || SameBits(*a, *b));
}

// A parsed amount is always one the formatter and the arithmetic can take.
void CheckParsed(const std::optional<long double>& value) {
    if (value) {
        FUZZ_CHECK(std::isfinite(*value));
        FUZZ_CHECK(std::fabs(*value) < 1E4932L);
    }
}

// Up to 19 digits are read exactly and scaled by an exact power of ten up to 10^27, so
// in that range the amount is correctly rounded, which the C library's reading is too.
void CheckShortDecimal(std::string_view text) {
    std::size_t i = 0;
    int digits = 0;
    int fraction = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    for (; i < text.size() && IsDigit(text[i]); ++i)
        ++digits;
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && IsDigit(text[i]); ++i, ++fraction)
            ++digits;
    }
    int exponent = 0;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        const bool negative = i < text.size() && text[i] == '-';
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        int exponentDigits = 0;
        for (; i < text.size() && IsDigit(text[i]) && exponentDigits < 2; ++i, ++exponentDigits)
            exponent = exponent * 10 + (text[i] - '0');
        if (exponentDigits == 0)
            return;
        exponent = negative ? -exponent : exponent;
    }
    if (i != text.size() || digits == 0 || digits > 19 || std::abs(exponent - fraction) > 27)
        return;
    const std::string copy(text);
    char* end = nullptr;
    const long double expected = std::strtold(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size())
        return;
    const auto parsed = ParseNumber(text);
    FUZZ_CHECK(parsed.has_value());
    FUZZ_CHECK(SameBits(*parsed, expected));
}

void CheckText(std::string_view text, Separators seps) {
    const auto plain = ParseNumber(text);
    CheckParsed(plain);

    const std::string normalised = NormaliseMoneyText(text, seps);
    // An empty edit text reads as zero, never as "no number".
    FUZZ_CHECK(!normalised.empty());
    FUZZ_CHECK(normalised == rules::Normalise(text, seps));
    CheckParsed(ParseNumber(normalised, seps.decimal));

    for (const bool grouping : {false, true}) {
        FUZZ_CHECK(GroupDigits(text, grouping ? Grouping::On : Grouping::Off, seps) ==
                   rules::Group(text, grouping, seps));
    }

    // Blanks around a number never change what it reads as.
    FUZZ_CHECK(SameParse(ParseNumber("  " + std::string(text) + "  "), plain));

    // A minus sign in front of an unsigned number negates it, and the range is
    // symmetric, so the negative reads exactly when the positive does.
    if (!text.empty() && (IsDigit(text.front()) || text.front() == '.')) {
        const auto negated = ParseNumber("-" + std::string(text));
        FUZZ_CHECK(negated.has_value() == plain.has_value());
        if (plain) {
            FUZZ_CHECK(SameBits(*negated, -*plain));
        }
    }
}

}  // namespace
}  // namespace quilvern::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quilvern::fuzz::Input input(data, size);
    quilvern::Separators seps;
    seps.decimal = input.Char();
    seps.thousands = input.Char();
    const std::string_view text = input.Rest();
    quilvern::fuzz::CheckText(text, seps);
    quilvern::fuzz::CheckText(text, quilvern::Separators{});
    quilvern::fuzz::CheckShortDecimal(text);
    return 0;
}
