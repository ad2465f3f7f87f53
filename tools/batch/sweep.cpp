// SPDX-License-Identifier: MIT
#include "tools/batch/sweep.h"

#include <cmath>
#include <utility>

#include "model/field_reader.h"

namespace xscatter::batch {
namespace {

// A number as an option value: a whole decimal number with a finite value, nothing else.
std::optional<double> StrictNumber(std::string_view text) {
  if (text.empty()) return std::nullopt;
  return ParseTableNumber(text);
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

std::optional<std::vector<double>> RangeValues(const std::vector<std::string_view>& parts,
                                               std::size_t max_values, std::string& error) {
  const std::optional<double> start = StrictNumber(parts[0]);
  const std::optional<double> stop = StrictNumber(parts[1]);
  const std::optional<double> step = StrictNumber(parts[2]);
  if (!start || !stop || !step) {
    error = "a range is START:STOP:STEP with three numbers";
    return std::nullopt;
  }
  if (*step == 0 || (*stop - *start) / *step < 0) {
    error = "the step of a range must be non-zero and lead from START to STOP";
    return std::nullopt;
  }
  // Steps are counted rather than added up, so no rounding error accumulates along the range.
  const double steps = (*stop - *start) / *step;
  const double tolerance = 1e-9;
  if (!(steps + tolerance < static_cast<double>(max_values))) {
    error = "the range has more than " + std::to_string(max_values) + " values";
    return std::nullopt;
  }
  const auto last_step = static_cast<std::size_t>(std::floor(steps + tolerance));
  std::vector<double> values;
  values.reserve(last_step + 1);
  for (std::size_t k = 0; k <= last_step; ++k) values.push_back(*start + k * *step);
  if (std::abs(values.back() - *stop) <= tolerance * std::abs(*step)) values.back() = *stop;
  return values;
}

}  // namespace

bool SweepTarget(std::string_view name, std::optional<ConditionBox>& box) {
  const std::pair<std::string_view, ConditionBox> boxes[] = {
      {"kv", ConditionBox::TubeVoltage},
      {"target-angle", ConditionBox::TargetAngle},
      {"inherent", ConditionBox::InherentFiltration},
      {"al", ConditionBox::AddedAluminium},
      {"cu", ConditionBox::AddedCopper},
  };
  for (const auto& [known, known_box] : boxes) {
    if (name == known) {
      box = known_box;
      return true;
    }
  }
  box.reset();
  return name == "angle";
}

std::optional<Sweep> ParseSweep(std::string_view text, std::size_t max_values, std::string& error) {
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) {
    error = "a sweep is NAME=VALUES";
    return std::nullopt;
  }
  Sweep sweep;
  sweep.name = std::string(text.substr(0, equals));
  if (!SweepTarget(sweep.name, sweep.box)) {
    error = "cannot sweep '" + sweep.name + "' (kv, target-angle, inherent, al, cu or angle)";
    return std::nullopt;
  }
  const std::string_view values = text.substr(equals + 1);
  const std::vector<std::string_view> range = Split(values, ':');
  if (range.size() == 3) {
    std::optional<std::vector<double>> expanded = RangeValues(range, max_values, error);
    if (!expanded) return std::nullopt;
    sweep.values = std::move(*expanded);
  } else if (range.size() == 1) {
    for (std::string_view item : Split(values, ',')) {
      const std::optional<double> value = StrictNumber(item);
      if (!value) {
        error = "'" + std::string(item) + "' is not a number";
        return std::nullopt;
      }
      sweep.values.push_back(*value);
    }
    if (sweep.values.size() > max_values) {
      error = "the list has more than " + std::to_string(max_values) + " values";
      return std::nullopt;
    }
  } else {
    error = "VALUES is a list a,b,c or a range START:STOP:STEP";
    return std::nullopt;
  }
  return sweep;
}

}  // namespace xscatter::batch
