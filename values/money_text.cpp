#include "values/money_text.h"

#include <algorithm>
#include <cmath>

#include "values/ascii.h"
#include "values/decimal_scale.h"

namespace quilvern {
namespace {

constexpr int kExponentStop = 500;  // exponent digits stop once the exponent reaches it
// Amounts are taken below 10^4932, the first power of ten past the largest decimal
// exponent that the extended type holds throughout.
constexpr long double kOutOfRange = 1E4932L;

}  // namespace

std::string NormaliseMoneyText(std::string_view text, Separators seps) {
    std::string result(TrimBlanks(text));
    if (seps.decimal != seps.thousands)
        std::erase(result, seps.thousands);
    for (char mapped : {'.', ','}) {
        if (seps.decimal != mapped && seps.thousands != mapped) {
            std::replace(result.begin(), result.end(), mapped, seps.decimal);
        }
    }
    if (result.empty())
        return "0";
    if (result == "-")
        return "-0";
    return result;
}

std::optional<long double> ParseNumber(std::string_view text, char decimalSeparator) {
    std::size_t i = 0;
    auto at = [&](std::size_t p) { return p < text.size() ? text[p] : '\0'; };
    while (at(i) == ' ')
        ++i;
    bool negative = false;
    if (at(i) == '+' || at(i) == '-')
        negative = text[i++] == '-';

    long double digits = 0;
    long long fractionDigits = 0;
    bool tookAny = false;
    for (; IsDigit(at(i)); ++i, tookAny = true)
        digits = digits * 10 + (text[i] - '0');
    if (i < text.size() && text[i] == decimalSeparator) {
        ++i;
        tookAny = true;
        for (; IsDigit(at(i)); ++i, ++fractionDigits)
            digits = digits * 10 + (text[i] - '0');
    }
    if (!tookAny)
        return std::nullopt;

    long long exponent = 0;
    if (at(i) == 'E' || at(i) == 'e') {
        ++i;
        bool negativeExponent = false;
        if (at(i) == '+' || at(i) == '-')
            negativeExponent = text[i++] == '-';
        while (IsDigit(at(i)) && exponent < kExponentStop)
            exponent = exponent * 10 + (text[i++] - '0');
        if (negativeExponent)
            exponent = -exponent;
    }
    while (at(i) == ' ')
        ++i;
    if (i != text.size())
        return std::nullopt;

    // The power of ten is formed on its own, so 1E4932 overflows although 0.1E4932 does not.
    const long long scale = exponent - fractionDigits;
    const long double value = scale >= 0 ? digits * PowerOfTen(scale) : digits / PowerOfTen(-scale);
    if (!(std::fabs(value) < kOutOfRange))
        return std::nullopt;
    return negative ? -value : value;
}

std::string GroupDigits(std::string_view text, Grouping grouping, Separators seps) {
    std::string sign;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        sign = text.substr(0, 1);
        text.remove_prefix(1);
    }
    const std::size_t integerEnd =
        std::min({text.find(seps.decimal), text.find_first_of("Ee"), text.size()});
    const std::string_view integer = text.substr(0, integerEnd);
    std::string result = sign;
    for (std::size_t i = 0; i < integer.size(); ++i) {
        const std::size_t fromRight = integer.size() - i;
        if (grouping == Grouping::On && i > 0 && fromRight % 3 == 0 && seps.thousands != '\0') {
            result += seps.thousands;
        }
        result += integer[i];
    }
    result += text.substr(integerEnd);
    return result;
}

}  // namespace quilvern
