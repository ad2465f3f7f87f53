// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string_view>

namespace xscatter {

// Length of the longest beginning of `text` that is a decimal number: an optional sign, digits
// with at most one period among them (at least one digit in all), then optionally E or e, an
// optional sign and at least one digit. An exponent marker without digits is not part of the
// number. 0 when the text does not begin with a number.
std::size_t DecimalNumberLength(std::string_view text);

// The value of a text that is a decimal number as DecimalNumberLength accepts it, with the period
// as the decimal point in every locale. Too large a magnitude gives an infinity, too small a zero.
double DecimalNumberValue(std::string_view number);

}  // namespace xscatter
