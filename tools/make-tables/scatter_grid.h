// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <vector>

namespace xscatter::tables {

// Chooses `rows` ascending x values from `first` to `last` so that straight lines between them in
// ln(value) against ln(x) follow every curve as closely as possible: the largest deviation, over
// all curves and a dense logarithmic sample, is minimised. Returns the rows and that deviation.
struct ScatterGrid {
  std::vector<double> x;
  double max_log_deviation = 0;
};

ScatterGrid DesignScatterGrid(int rows, double first, double last,
                              const std::vector<std::function<double(double)>>& curves);

}  // namespace xscatter::tables
