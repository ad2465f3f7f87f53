// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

namespace xscatter {

// Reads a box text as a number the way the screens always have: blanks, tabs and line breaks are
// ignored wherever they stand, the longest leading decimal number (sign, digits, one period,
// exponent introduced by E or e) is taken and the rest ignored; no such number reads as 0. The
// period is the decimal point in every locale. Too large a number reads as an infinity.
double LenientNumber(std::string_view text);

}  // namespace xscatter
