#include "output/number_format.h"

#include <charconv>

namespace xscatter {

std::string FormatScientific(double value, int decimals) {
  // A negative zero would otherwise keep its sign.
  if (value == 0) value = 0;
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, decimals);
  std::string text(buffer, result.ptr);
  for (char& c : text) {
    if (c == 'e') c = 'E';
  }
  return text;
}

}  // namespace xscatter
