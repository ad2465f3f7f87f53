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
  return LogLogColumn(scatter_x, column).At(x);
}

LogLogColumn::LogLogColumn(const TableArray& scatter_x, const TableArray& column)
    : scatter_x_(scatter_x), column_(column) {
  // A row that is not positive gets no usable logarithm here; At refuses it before reading one.
  for (int row = 1; row <= kTableRows; ++row) {
    log_x_[row] = std::log(scatter_x[row]);
    log_value_[row] = std::log(column[row]);
  }
}

RowPosition FindRow(const TableArray& scatter_x, double x, int from) {
  int j = from;
  while (x >= scatter_x[j]) {
    if (j == kTableRows) return {x, std::log(x), 0};
    ++j;
  }
  return {x, std::log(x), j};
}

double LogLogColumn::At(double x) const { return At(FindRow(scatter_x_, x)); }

double LogLogColumn::At(const RowPosition& position) const {
  const double x = position.x;
  if (position.upper == 0) Fail(Kind::PastLastRow, x, scatter_x_[kTableRows], kTableRows);
  const int lo = position.upper - 1;
  const int hi = position.upper;
  RequirePositive(scatter_x_[lo], Kind::NonPositiveX, x, lo);
  RequirePositive(scatter_x_[hi], Kind::NonPositiveX, x, hi);
  RequirePositive(column_[lo], Kind::NonPositiveValue, x, lo);
  RequirePositive(column_[hi], Kind::NonPositiveValue, x, hi);
  if (!(x > 0)) Fail(Kind::NonPositiveArgument, x);

  const double log_x_span = log_x_[hi] - log_x_[lo];
  if (log_x_span == 0) Fail(Kind::EqualRows, x, scatter_x_[lo], lo);
  const double log_value = log_value_[lo] + (position.log_x - log_x_[lo]) *
                                                (log_value_[hi] - log_value_[lo]) / log_x_span;
  const double value = std::exp(log_value);
  if (!std::isfinite(log_value) || !std::isfinite(value)) Fail(Kind::NotFinite, x);
  return value;
}

}  // namespace xscatter
