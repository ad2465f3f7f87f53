// SPDX-License-Identifier: MIT
#pragma once

#include "model/grid.h"

namespace xscatter {

// Interpolates a column of the 45-row momentum-transfer table at x, linearly in ln(value) against
// ln(x). The upper bracketing row is the first row j >= 2 with ScatterX(j) > x, so x below row 2
// uses rows 1 and 2 (extrapolating below row 1) and x equal to a row makes it the lower bracket.
// Throws InterpolationError when x reaches the last row, when a logarithm would be taken of a
// value that is not positive, or when the result is not finite.
double InterpolateLogLog(double x, const TableArray& scatter_x, const TableArray& column);

// InterpolateLogLog for many x on one column: the logarithms of the rows are taken once, when it
// is made, instead of at every x. The results are the same doubles, the faults the same faults.
class LogLogColumn {
 public:
  LogLogColumn(const TableArray& scatter_x, const TableArray& column);
  double At(double x) const;

 private:
  const TableArray& scatter_x_;
  const TableArray& column_;
  TableArray log_x_{};
  TableArray log_value_{};
};

}  // namespace xscatter
