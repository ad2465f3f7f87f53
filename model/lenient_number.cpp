#include "model/lenient_number.h"

#include <locale.h>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>

namespace xscatter {
namespace {

bool IsIgnored(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// strtod follows LC_NUMERIC, which Qt sets from the environment; the boxes always use a period.
double ParseInCLocale(const std::string& number) {
  static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return strtod_l(number.c_str(), nullptr, c_locale);
}

}  // namespace

double LenientNumber(std::string_view text) {
  std::string s;
  s.reserve(text.size());
  for (char c : text) {
    if (!IsIgnored(c)) s.push_back(c);
  }

  std::size_t pos = 0;
  if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) ++pos;
  std::size_t digits = 0;
  while (pos < s.size() && IsDigit(s[pos])) ++pos, ++digits;
  if (pos < s.size() && s[pos] == '.') {
    ++pos;
    while (pos < s.size() && IsDigit(s[pos])) ++pos, ++digits;
  }
  if (digits == 0) return 0.0;
  std::size_t end = pos;
  if (pos < s.size() && (s[pos] == 'E' || s[pos] == 'e')) {
    std::size_t exp = pos + 1;
    if (exp < s.size() && (s[exp] == '+' || s[exp] == '-')) ++exp;
    std::size_t exp_digits = exp;
    while (exp < s.size() && IsDigit(s[exp])) ++exp;
    if (exp > exp_digits) end = exp;
  }
  return ParseInCLocale(s.substr(0, end));
}

}  // namespace xscatter
