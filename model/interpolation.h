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

// Where x lies among the rows: the upper bracketing row of InterpolateLogLog (0 when x reaches the
// last row) and ln x, found once for every column read at x.
struct RowPosition {
  double x = 0;
  double log_x = 0;
  int upper = 0;
};

// The position of x. The search starts at row `from`, which gives the answer of a search from row 2
// whenever `from` is the upper row of some x' <= x: the rows below it are all at or below x' then.
RowPosition FindRow(const TableArray& scatter_x, double x, int from = 2);

// InterpolateLogLog for many x on one column: the logarithms of the rows are taken once, when it
// is made, instead of at every x. The results are the same doubles, the faults the same faults.
class LogLogColumn {
 public:
  LogLogColumn(const TableArray& scatter_x, const TableArray& column);
  double At(double x) const;
  double At(const RowPosition& position) const;

 private:
  const TableArray& scatter_x_;
  const TableArray& column_;
  TableArray log_x_{};
  TableArray log_value_{};
};

}  // namespace xscatter
