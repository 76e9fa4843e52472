#pragma once
// Money is held in the x87 80-bit extended type: rounding and the texts of amounts
// such as 2.675 depend on its 64-bit significand.
#include <limits>

namespace quilvern {

using Money = long double;
static_assert(std::numeric_limits<Money>::digits == 64, "money needs the 80-bit extended type");

}  // namespace quilvern
