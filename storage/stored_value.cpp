#include "storage/stored_value.h"

#include <cmath>

#include "values/ascii.h"
#include "values/eighteen_digits.h"
#include "values/general_form.h"
#include "values/money_text.h"

namespace quilvern {
namespace {

constexpr int kStoredDigits = 18;

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

}  // namespace

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
    // The exact digits: an amount of at most 18 digits, also just below a power of ten,
    // gets its own digits back.
    auto [digits, exponent] = ExactEighteenDigits(std::fabs(value));
    digits.erase(digits.find_last_not_of('0') + 1);
    const DecimalForm form{std::move(digits), exponent, std::signbit(value)};
    return WriteGeneralForm(form, kStoredDigits, '.');
}

std::optional<long double> ParseStoredMoney(std::string_view text) {
    if (!IsStoredNumber(text))
        return std::nullopt;
    return ParseNumber(text, '.');
}

}  // namespace quilvern
