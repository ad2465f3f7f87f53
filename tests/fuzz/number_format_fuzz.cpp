// SPDX-License-Identifier: MIT
// Any double and any count of decimals: "d.ddd…E±dd" with the count clamped to 0..1000, an exponent
// of two or three digits, no negative zero, and a value that reads back to within the last digit
// written (exactly, once there are 17 or more digits).
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "check.h"
#include "output/number_format.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Checks the layout and returns the exponent written.
int CheckLayout(const std::string& text, double value, int decimals) {
  std::size_t pos = 0;
  if (value < 0) FUZZ_CHECK(text[pos++] == '-');
  FUZZ_CHECK(pos < text.size() && IsDigit(text[pos++]));
  if (decimals > 0) {
    FUZZ_CHECK(pos < text.size() && text[pos++] == '.');
    for (int i = 0; i < decimals; ++i) FUZZ_CHECK(pos < text.size() && IsDigit(text[pos++]));
  }
  FUZZ_CHECK(pos + 1 < text.size() && text[pos] == 'E');
  FUZZ_CHECK(text[pos + 1] == '+' || text[pos + 1] == '-');
  const std::size_t exponent_digits = text.size() - (pos + 2);
  FUZZ_CHECK(exponent_digits == 2 || exponent_digits == 3);
  for (std::size_t i = pos + 2; i < text.size(); ++i) FUZZ_CHECK(IsDigit(text[i]));
  return std::atoi(text.c_str() + pos + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < sizeof(double) + sizeof(std::int16_t)) return 0;
  double value;
  std::int16_t decimals;
  std::memcpy(&value, data, sizeof value);
  std::memcpy(&decimals, data + sizeof value, sizeof decimals);

  const std::string text = xscatter::FormatScientific(value, decimals);
  if (!std::isfinite(value)) return 0;
  const int written = std::clamp<int>(decimals, 0, xscatter::kMaxScientificDecimals);
  const int exponent = CheckLayout(text, value, written);
  if (value == 0) FUZZ_CHECK(text.front() == '0');

  const double read = std::strtod(text.c_str(), nullptr);
  // The largest doubles, rounded up to few digits, read back beyond the range.
  if (std::isinf(read)) {
    FUZZ_CHECK(exponent == 308);
    return 0;
  }
  if (written >= 16) {
    FUZZ_CHECK(read == value);
  } else {
    // Half a unit in the last place written, and a little for the conversion back (among the
    // subnormal numbers, their spacing).
    const double half_unit = 0.5 * std::pow(10.0, exponent - written);
    const double slack = std::fabs(value) * 1e-15 + std::numeric_limits<double>::denorm_min();
    FUZZ_CHECK(std::fabs(read - value) <= half_unit * (1 + 1e-9) + slack);
  }
  return 0;
}
