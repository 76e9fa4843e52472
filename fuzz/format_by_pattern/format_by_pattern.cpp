// Any amount through any display pattern with any separators. The input is:
//   flags (bit 0: the amount is given as text; bits 1-3: a special amount instead),
//   decimal separator, thousands separator, precision, decimals (2 bytes),
//   the amount (10 raw bytes, or a length byte and a text), then the pattern.
#include <cmath>
#include <cstdint>
#include <exception>
#include <limits>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "values/currency.h"
#include "values/decimal_scale.h"
#include "values/error.h"
#include "values/money_text.h"
#include "values/number_format.h"

namespace quilvern::fuzz {
namespace {

constexpr std::size_t kMaxPatternLength = 224;
constexpr int kUnlimitedDecimals = 1 << 20;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

long double Special(int which, long double decoded) {
    using Limits = std::numeric_limits<long double>;
    switch (which) {
        case 1:
            return Limits::infinity();
        case 2:
            return -Limits::infinity();
        case 3:
            return Limits::quiet_NaN();
        case 4:
            return -0.0L;
        case 5:
            return Limits::denorm_min();
        case 6:
            return -Limits::max();
        case 7:
            return Limits::min();
        default:
            return decoded;
    }
}

void CheckForm(const DecimalForm& form, long double value, int precision, int decimals) {
    const std::string& d = form.digits;
    FUZZ_CHECK(d.size() <= 18);
    for (char c : d)
        FUZZ_CHECK(IsDigit(c));
    if (!d.empty()) {
        FUZZ_CHECK(d.front() != '0');
        FUZZ_CHECK(d.back() != '0');
        // A carry out of the kept digits leaves a single "1", even when none were kept.
        FUZZ_CHECK(d.size() <= static_cast<std::size_t>(std::max(precision, 1)));
    } else {
        FUZZ_CHECK(!form.negative);
    }
    if (!std::isfinite(value) || value == 0 || std::fpclassify(value) == FP_SUBNORMAL) {
        FUZZ_CHECK(d.empty());
        return;
    }
    if (d.empty())
        return;
    FUZZ_CHECK(form.negative == std::signbit(value));
    // 0.digits must be the magnitude over 10^exponent, rounded to the digits kept.
    long double mantissa = 0;
    for (auto it = d.rbegin(); it != d.rend(); ++it)
        mantissa = (mantissa + (*it - '0')) / 10;
    const long double scaled = ScaleByPowerOfTen(std::fabs(value), -form.exponent);
    const long long keep =
        std::min<long long>(std::min<long long>(form.exponent + decimals, precision), 18);
    // The slack covers the rounding of the two computations above.
    const long double tolerance = 0.5L / PowerOfTen(std::max(keep, 0LL)) + 1E-17L;
    FUZZ_CHECK(std::fabs(mantissa - scaled) <= tolerance);
}

// The general form is the only way for amounts no pattern can hold; it must read back
// as the same amount at its 15 digits.
void CheckGeneral(long double value, Separators seps) {
    std::string text;
    try {
        text = FormatGeneral(value, seps);
    } catch (...) {
        Fail("FormatGeneral threw", __FILE__, __LINE__);
    }
    FUZZ_CHECK(!text.empty());
    if (std::isnan(value)) {
        FUZZ_CHECK(text == "NAN");
        return;
    }
    if (std::isinf(value)) {
        FUZZ_CHECK(text == (value < 0 ? "-INF" : "INF"));
        return;
    }
    for (char c : text)
        FUZZ_CHECK(IsDigit(c) || c == seps.decimal || c == '-' || c == 'E');
    const DecimalForm form = ToDecimalForm(value, 15, kUnlimitedDecimals);
    FUZZ_CHECK(form.digits.size() <= 15);
    FUZZ_CHECK((text.front() == '-') == form.negative);
    // The decimal text is exact to 15 digits only where the power of ten that reads it
    // back stays inside the range.
    if (seps.decimal == '.' && form.exponent > -4900 && form.exponent < 4900) {
        const auto back = ParseNumber(text);
        FUZZ_CHECK(back.has_value());
        FUZZ_CHECK(FormatGeneral(*back, seps) == text);
    }
}

// Everything the formatter writes comes from the amount, the separators, the sign or
// the general form's letters, or is a literal of the pattern.
void CheckCharacters(std::string_view text, std::string_view pattern, Separators seps) {
    for (char c : text) {
        const bool fromAmount = IsDigit(c) || c == seps.decimal || c == seps.thousands ||
                                c == '-' || c == 'E' || c == 'I' || c == 'N' || c == 'F' ||
                                c == 'A';
        FUZZ_CHECK(fromAmount || pattern.find(c) != std::string_view::npos);
    }
}

void CheckPattern(long double value, std::string_view pattern, Separators seps) {
    std::string text;
    try {
        text = FormatByPattern(value, pattern, seps);
    } catch (const Error& error) {
        FUZZ_CHECK(pattern.size() > kMaxPatternLength);
        FUZZ_CHECK(std::string_view(error.what()) == "Format string too long");
        return;
    } catch (...) {
        Fail("FormatByPattern threw something other than Error", __FILE__, __LINE__);
    }
    FUZZ_CHECK(pattern.size() <= kMaxPatternLength);
    CheckCharacters(text, pattern, seps);
    // Each placeholder writes at most a digit with both separators; only the first one
    // also writes the integer digits that have no placeholder of their own (at most 18).
    FUZZ_CHECK(text.size() <= 4 * pattern.size() + 64);
    if (!std::isfinite(value))
        FUZZ_CHECK(text == FormatGeneral(value, seps));
}

// Under the patterns the program uses, the text reads back as the amount rounded to
// cents: the same 18-digit decimal form, sign included.
void CheckProgramPattern(long double value, std::string_view pattern) {
    const std::string text = FormatByPattern(value, pattern);
    const DecimalForm form = ToDecimalForm(value, 18, 2);
    if (!std::isfinite(value) || form.exponent > 18) {
        FUZZ_CHECK(text == FormatGeneral(value));
        return;
    }
    std::string plain;
    for (char c : text) {
        if (IsDigit(c) || c == '.' || c == '-')
            plain += c;
        else
            FUZZ_CHECK(c == ',' || pattern.find(c) != std::string_view::npos);
    }
    FUZZ_CHECK((text.front() == '-') == form.negative);
    // "0" before the point is a placeholder that is always written; "00" after it are
    // always written too, "##" only as far as the amount has digits there.
    const std::string_view magnitude = std::string_view(plain).substr(form.negative ? 1 : 0);
    const auto point = magnitude.find('.');
    const std::string_view whole = magnitude.substr(0, point);
    FUZZ_CHECK(!whole.empty() && (whole == "0" || whole.front() != '0'));
    const std::string_view places =
        point == std::string_view::npos ? std::string_view() : magnitude.substr(point + 1);
    if (pattern.find(".00") != std::string_view::npos) {
        FUZZ_CHECK(places.size() == 2);
    } else if (form.digits.empty()) {
        // An amount that rounds to zero keeps the exponent of its first digit, which
        // makes the placeholders after the point write zeros: 0.001 gives "0.00".
        FUZZ_CHECK(whole == "0" && places.find_first_not_of('0') == std::string_view::npos);
    } else {
        FUZZ_CHECK(places.size() <= 2);
        FUZZ_CHECK(point == std::string_view::npos || (!places.empty() && places.back() != '0'));
    }
    const auto back = ParseNumber(plain);
    FUZZ_CHECK(back.has_value());
    const DecimalForm again = ToDecimalForm(*back, 18, 2);
    FUZZ_CHECK(again.digits == form.digits);
    if (!form.digits.empty()) {
        FUZZ_CHECK(again.exponent == form.exponent);
        FUZZ_CHECK(again.negative == form.negative);
    }
}

}  // namespace
}  // namespace quilvern::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quilvern;
    using namespace quilvern::fuzz;
    Input input(data, size);
    const std::uint8_t flags = input.Byte();
    Separators seps;
    seps.decimal = input.Char();
    seps.thousands = input.Char();
    const int precision = input.Byte() % 41;
    const int decimals = input.Int16();
    long double value = 0;
    if (flags & 1) {
        value = ParseNumber(input.Text(64)).value_or(0);
    } else {
        value = input.Extended();
    }
    value = Special((flags >> 1) & 7, value);
    const std::string_view pattern = input.Rest();

    try {
        CheckForm(ToDecimalForm(value, precision, decimals), value, precision, decimals);
        CheckForm(ToDecimalForm(value, 18, decimals), value, 18, decimals);
    } catch (...) {
        Fail("ToDecimalForm threw", __FILE__, __LINE__);
    }
    CheckGeneral(value, seps);
    CheckGeneral(value, Separators{});
    CheckPattern(value, pattern, seps);
    CheckPattern(value, pattern, Separators{});
    CheckPattern(-value, pattern, seps);
    for (const auto& currency : kCurrencies)
        CheckProgramPattern(value, currency.pattern);
    CheckProgramPattern(value, "0.##");
    return 0;
}
