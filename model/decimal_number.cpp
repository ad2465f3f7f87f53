// SPDX-License-Identifier: MIT
#include "model/decimal_number.h"

#include <locale.h>
#include <cstdlib>
#include <string>

namespace xscatter {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::size_t DecimalNumberLength(std::string_view s) {
  std::size_t pos = 0;
  if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) ++pos;
  std::size_t digits = 0;
  while (pos < s.size() && IsDigit(s[pos])) ++pos, ++digits;
  if (pos < s.size() && s[pos] == '.') {
    ++pos;
    while (pos < s.size() && IsDigit(s[pos])) ++pos, ++digits;
  }
  if (digits == 0) return 0;
  if (pos < s.size() && (s[pos] == 'E' || s[pos] == 'e')) {
    std::size_t exponent = pos + 1;
    if (exponent < s.size() && (s[exponent] == '+' || s[exponent] == '-')) ++exponent;
    const std::size_t exponent_digits = exponent;
    while (exponent < s.size() && IsDigit(s[exponent])) ++exponent;
    if (exponent > exponent_digits) pos = exponent;
  }
  return pos;
}

double DecimalNumberValue(std::string_view number) {
  // strtod follows LC_NUMERIC, which Qt sets from the environment; numbers here always use a
  // period. The C locale object is created once and never changes.
  static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return strtod_l(std::string(number).c_str(), nullptr, c_locale);
}

}  // namespace xscatter
