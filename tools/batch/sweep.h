// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/entries.h"

namespace xscatter::batch {

// One --sweep NAME=VALUES: the box it fills (none for the scatter angle) and its values in order.
struct Sweep {
  std::string name;
  std::optional<ConditionBox> box;
  std::vector<double> values;
};

// True for the name of an entry (kv, target-angle, inherent, al, cu, angle), with `box` the
// condition box it fills, or empty for the scatter angle. The options are these names with "--".
bool SweepTarget(std::string_view name, std::optional<ConditionBox>& box);

// Parses NAME=VALUES, VALUES a comma-separated list of numbers or an inclusive range
// START:STOP:STEP whose last value is STOP when it lies within 1E-9*STEP of a step. Nothing, with
// the reason in `error`, for bad syntax, a zero step, a step pointing away from STOP, or more
// than `max_values` values.
std::optional<Sweep> ParseSweep(std::string_view text, std::size_t max_values, std::string& error);

}  // namespace xscatter::batch
