#pragma once
// The texts in which the settings storages keep values: trimming, the quote rule that
// lets a text keep its own enclosing quotes, and the money text, which must give back
// exactly the amount the field held.
#include <optional>
#include <string>
#include <string_view>

#include "values/ascii.h"

namespace quilvern {

// A text that begins and ends with the same quote (double or single) gets one more pair
// of double quotes, since reading strips one pair; any other text is returned as it is.
std::string QuoteStoredText(std::string_view text);

// The amount with at most 18 significant digits, '.' as decimal point whatever the
// locale, no grouping and no currency sign: plain from 0.0001 up to below 10^18, else
// "d.dddE-n"; zero of either sign is "0".
std::string StoredMoneyText(long double value);

// An optional sign, digits with at most one '.', at least one digit in all, and an
// optional exponent (E or e, optional sign, digits). Nothing else, no blanks. Empty
// for any other text and for amounts the extended type cannot hold.
std::optional<long double> ParseStoredMoney(std::string_view text);

}  // namespace quilvern
