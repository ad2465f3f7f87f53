// SPDX-License-Identifier: MIT
#include "model/field_reader.h"

#include <cmath>

#include "model/decimal_number.h"

namespace xscatter {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

bool FieldReader::AtLineEnd() const {
  return pos_ < text_.size() && (text_[pos_] == '\n' || text_[pos_] == '\r');
}

void FieldReader::SkipLineEnd() {
  if (pos_ < text_.size() && text_[pos_] == '\r') ++pos_;
  if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
}

std::optional<std::string> FieldReader::Next() {
  if (after_comma_) {
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
  } else {
    while (pos_ < text_.size() && (IsBlank(text_[pos_]) || AtLineEnd())) ++pos_;
    if (pos_ >= text_.size()) return std::nullopt;
  }

  std::string field;
  if (pos_ < text_.size() && text_[pos_] == '"') {
    const std::size_t close = text_.find('"', pos_ + 1);
    const std::size_t end = close == std::string_view::npos ? text_.size() : close;
    field = std::string(text_.substr(pos_ + 1, end - pos_ - 1));
    pos_ = close == std::string_view::npos ? text_.size() : close + 1;
    // Whatever stands between the closing quote and the delimiter is not part of the value.
    while (pos_ < text_.size() && text_[pos_] != ',' && !AtLineEnd()) ++pos_;
  } else {
    const std::size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] != ',' && !AtLineEnd()) ++pos_;
    std::string_view raw = text_.substr(start, pos_ - start);
    while (!raw.empty() && IsBlank(raw.back())) raw.remove_suffix(1);
    field = std::string(raw);
  }

  after_comma_ = pos_ < text_.size() && text_[pos_] == ',';
  if (after_comma_) {
    ++pos_;
  } else {
    SkipLineEnd();
  }
  return field;
}

std::optional<double> ParseTableNumber(std::string_view field) {
  while (!field.empty() && IsBlank(field.front())) field.remove_prefix(1);
  while (!field.empty() && IsBlank(field.back())) field.remove_suffix(1);
  if (field.empty()) return 0.0;
  if (DecimalNumberLength(field) != field.size()) return std::nullopt;
  const double value = DecimalNumberValue(field);
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace xscatter
