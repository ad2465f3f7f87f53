// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace xscatter {

// Splits the text of a data table into its stream of fields. A field ends at a comma or at a line
// end; spaces around it and enclosing double quotes are dropped. Line ends carry no other meaning:
// a record may span lines and a line may hold several records. Blank lines between records are
// skipped, but a comma followed by the line end gives an empty field.
class FieldReader {
 public:
  explicit FieldReader(std::string_view text) : text_(text) {}

  // The next field, or nothing once the text is exhausted.
  std::optional<std::string> Next();

 private:
  bool AtLineEnd() const;
  void SkipLineEnd();

  std::string_view text_;
  std::size_t pos_ = 0;
  bool after_comma_ = false;
};

// A table field as a number: an empty field is 0, otherwise the whole field must be a decimal
// number (sign, digits, one period, optional exponent with E or e) with a finite value.
std::optional<double> ParseTableNumber(std::string_view field);

}  // namespace xscatter
