// SPDX-License-Identifier: MIT
// Any box text: a number or 0, never NaN; blanks and line breaks anywhere change nothing, nor does
// a character that cannot continue a number appended at the end.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "check.h"
#include "model/lenient_number.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const double value = xscatter::LenientNumber(text);
  FUZZ_CHECK(!std::isnan(value));

  std::string without_blanks;
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r') without_blanks.push_back(c);
  }
  FUZZ_CHECK(xscatter::LenientNumber(without_blanks) == value);
  FUZZ_CHECK(xscatter::LenientNumber(text + "x") == value);
  FUZZ_CHECK(xscatter::LenientNumber(text + "kV") == value);
  return 0;
}
