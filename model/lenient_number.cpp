// SPDX-License-Identifier: MIT
#include "model/lenient_number.h"

#include <string>

#include "model/decimal_number.h"

namespace xscatter {
namespace {

bool IsIgnored(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

double LenientNumber(std::string_view text) {
  std::string s;
  s.reserve(text.size());
  for (char c : text) {
    if (!IsIgnored(c)) s.push_back(c);
  }
  const std::size_t length = DecimalNumberLength(s);
  if (length == 0) return 0.0;
  return DecimalNumberValue(std::string_view(s).substr(0, length));
}

}  // namespace xscatter
