// SPDX-License-Identifier: MIT
#include "output/number_format.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>
#include <system_error>

namespace xscatter {

std::string FormatScientific(double value, int decimals) {
  // A negative zero would otherwise keep its sign.
  if (value == 0) value = 0;
  decimals = std::clamp(decimals, 0, kMaxScientificDecimals);
  // Sign, leading digit, point, the decimals, "e", exponent sign and at most three exponent
  // digits, "inf" and "nan" included.
  std::string text(decimals + 8, '\0');
  const auto result = std::to_chars(text.data(), text.data() + text.size(), value,
                                    std::chars_format::scientific, decimals);
  if (result.ec != std::errc()) throw std::length_error("FormatScientific: buffer too small");
  text.resize(result.ptr - text.data());
  for (char& c : text) {
    if (c == 'e') c = 'E';
  }
  return text;
}

}  // namespace xscatter
