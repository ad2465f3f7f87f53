// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace xscatter {

// Most digits after the point that FormatScientific writes. A double holds at most 767
// significant decimal digits, so nothing is lost below this limit.
inline constexpr int kMaxScientificDecimals = 1000;

// Scientific notation with one digit before the point, `decimals` after it (clamped to
// 0..kMaxScientificDecimals), and an exponent of at least two digits with its sign:
// FormatScientific(0.5, 3) == "5.000E-01". Locale independent.
std::string FormatScientific(double value, int decimals);

}  // namespace xscatter
