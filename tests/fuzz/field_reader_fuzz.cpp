// SPDX-License-Identifier: MIT
// Any table text: the field stream ends, no field is longer than the text, and a field that reads
// as a table number is finite and reads the same as a box text would.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "check.h"
#include "model/field_reader.h"
#include "model/lenient_number.h"

namespace {

void CheckNumber(std::string_view field) {
  const std::optional<double> number = xscatter::ParseTableNumber(field);
  if (!number) return;
  FUZZ_CHECK(std::isfinite(*number));
  FUZZ_CHECK(xscatter::LenientNumber(field) == *number);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckNumber(text);
  xscatter::FieldReader reader(text);
  // Every field but an empty one after a final comma takes at least one character.
  std::size_t fields = 0;
  while (const std::optional<std::string> field = reader.Next()) {
    FUZZ_CHECK(++fields <= size + 1);
    FUZZ_CHECK(field->size() <= size);
    CheckNumber(*field);
  }
  return 0;
}
