// SPDX-License-Identifier: MIT
#include "model/interpolation.h"

#include <cmath>

#include "model/errors.h"

namespace xscatter {
namespace {

using Kind = InterpolationFault::Kind;

[[noreturn]] void Fail(Kind kind, double x, double value = 0, int row = 0) {
  throw InterpolationError({kind, x, value, row});
}

void RequirePositive(double value, Kind kind, double x, int row) {
  if (!(value > 0)) Fail(kind, x, value, row);
}

}  // namespace

double InterpolateLogLog(double x, const TableArray& scatter_x, const TableArray& column) {
  int j = 2;
  while (x >= scatter_x[j]) {
    if (j == kTableRows) Fail(Kind::PastLastRow, x, scatter_x[kTableRows], kTableRows);
    ++j;
  }
  const int lo = j - 1;
  const int hi = j;
  RequirePositive(scatter_x[lo], Kind::NonPositiveX, x, lo);
  RequirePositive(scatter_x[hi], Kind::NonPositiveX, x, hi);
  RequirePositive(column[lo], Kind::NonPositiveValue, x, lo);
  RequirePositive(column[hi], Kind::NonPositiveValue, x, hi);
  if (!(x > 0)) Fail(Kind::NonPositiveArgument, x);

  const double log_x_span = std::log(scatter_x[hi]) - std::log(scatter_x[lo]);
  if (log_x_span == 0) Fail(Kind::EqualRows, x, scatter_x[lo], lo);
  const double log_value =
      std::log(column[lo]) + (std::log(x) - std::log(scatter_x[lo])) *
                                 (std::log(column[hi]) - std::log(column[lo])) / log_x_span;
  const double value = std::exp(log_value);
  if (!std::isfinite(log_value) || !std::isfinite(value)) Fail(Kind::NotFinite, x);
  return value;
}

}  // namespace xscatter
