// SPDX-License-Identifier: MIT
#pragma once

#include <string>

// Every text of a double that the program writes comes from here: the same bytes in every
// locale (a period, never a decimal comma), from every thread and with every C library.
namespace xscatter {

// Most digits after the point that FormatScientific writes. A double holds at most 767
// significant decimal digits, so nothing is lost below this limit.
inline constexpr int kMaxScientificDecimals = 1000;

// Scientific notation with one digit before the point, `decimals` after it (clamped to
// 0..kMaxScientificDecimals), correctly rounded (ties to even), and an exponent of at least two
// digits with its sign: FormatScientific(0.5, 3) == "5.000E-01". A zero has no sign.
std::string FormatScientific(double value, int decimals);
// FormatScientific appended to `text`, for the hundreds of numbers of a spectrum file.
void AppendScientific(std::string& text, double value, int decimals);

// The shortest text that reads back as the same double; among equally short ones the nearest,
// in plain notation unless the exponent form is shorter: "0.1", "100", "1e+05", "1.5e-07",
// "-0", "inf", "nan". The same as std::to_chars(value) without a format.
std::string ShortestText(double value);

// printf's "%.<significant>g": at most `significant` (1..17) significant digits, trailing zeros
// dropped, plain notation for decimal exponents from -4 to significant - 1.
std::string FormatGeneral(double value, int significant);

}  // namespace xscatter
