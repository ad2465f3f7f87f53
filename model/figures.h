// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "model/beam_quality.h"

namespace xscatter {

// One beam-quality figure as every report, dictionary and window names it: a key for machines
// (the JSON and CSV reports, the Python dictionaries), a Japanese label for the windows and the
// page, an English label for the text report, a unit (empty for pure numbers) and its value.
template <typename Quality>
struct Figure {
  std::string_view key;
  std::string_view label_ja;
  std::string_view label_en;
  std::string_view unit;
  std::optional<double> (*value)(const Quality&);
  bool whole_number = false;  // a count, printed without a fraction
};

// The figures of a primary spectrum and of a scatter run, in the order they are listed. A new
// figure is added to the quality struct and to one of these lists, and nowhere else.
std::span<const Figure<PrimaryQuality>> PrimaryFigures();
std::span<const Figure<ScatterQuality>> ScatterFigures();

}  // namespace xscatter
