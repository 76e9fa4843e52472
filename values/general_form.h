#pragma once
// The general form of a number from its decimal digits: plain notation while the
// exponent lies between -3 and the precision, scientific ("1.5E18", "5E-5") beyond.
// Shared by the formatter's general form and the settings file's money text.
#include <string>

#include "values/number_format.h"

namespace quilvern {

// The form's digits (no trailing zeros; empty for zero) written with `decimal` as the
// decimal separator; no grouping and no currency sign.
std::string WriteGeneralForm(const DecimalForm& form, int precision, char decimal);

}  // namespace quilvern
