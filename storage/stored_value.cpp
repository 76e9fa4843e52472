#include "storage/stored_value.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "values/general_form.h"
#include "values/money_text.h"

namespace quilvern {
namespace {

constexpr int kStoredDigits = 18;

bool IsControl(char c) {
    return static_cast<unsigned char>(c) <= 32;
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// True when the text follows the stored money grammar exactly.
bool IsStoredNumber(std::string_view text) {
    std::size_t i = 0;
    const auto at = [&](std::size_t p) { return p < text.size() ? text[p] : '\0'; };
    if (at(i) == '+' || at(i) == '-')
        ++i;
    int digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (IsDigit(text[i])) {
            ++digits;
        } else if (text[i] == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0)
        return false;
    if (at(i) == 'E' || at(i) == 'e') {
        ++i;
        if (at(i) == '+' || at(i) == '-')
            ++i;
        if (!IsDigit(at(i)))
            return false;
        while (IsDigit(at(i)))
            ++i;
    }
    return i == text.size();
}

struct Digits {
    std::string digits;  // 1 to 18, without trailing zeros
    int exponent;        // the magnitude is 0.digits x 10^exponent
};

// The magnitude rounded to 18 significant digits. The C library converts the binary
// value exactly before rounding, so an amount of at most 18 digits gets its own digits
// back, also just below a power of ten. Any locale's decimal point is skipped.
Digits EighteenDigits(long double magnitude) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*Le", kStoredDigits - 1, magnitude);
    Digits result{{}, 0};
    const char* c = text;
    for (; *c != '\0' && *c != 'e'; ++c) {
        if (IsDigit(*c))
            result.digits += *c;
    }
    result.exponent = *c == 'e' ? std::atoi(c + 1) + 1 : 1;
    result.digits.erase(result.digits.find_last_not_of('0') + 1);
    return result;
}

}  // namespace

std::string_view TrimControls(std::string_view text) {
    while (!text.empty() && IsControl(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsControl(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string QuoteStoredText(std::string_view text) {
    if (!text.empty() && text.front() == text.back() &&
        (text.front() == '"' || text.front() == '\'')) {
        return "\"" + std::string(text) + "\"";
    }
    return std::string(text);
}

std::string StoredMoneyText(long double value) {
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    if (value == 0)
        return "0";
    auto [digits, exponent] = EighteenDigits(std::fabs(value));
    const DecimalForm form{std::move(digits), exponent, std::signbit(value)};
    return WriteGeneralForm(form, kStoredDigits, '.');
}

std::optional<long double> ParseStoredMoney(std::string_view text) {
    if (!IsStoredNumber(text))
        return std::nullopt;
    return ParseNumber(text, '.');
}

}  // namespace quilvern
