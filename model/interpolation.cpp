#include "model/interpolation.h"

#include <cmath>
#include <sstream>

#include "model/errors.h"

namespace xscatter {
namespace {

std::string Number(double value) {
  std::ostringstream out;
  out.imbue(std::locale::classic());
  out.precision(6);
  out << value;
  return out.str();
}

void RequirePositive(double value, const char* what, int row) {
  if (!(value > 0)) {
    throw ScatterModelError(std::string("負またはゼロの値の対数: Water.xfs の ") +
                            std::to_string(row) + " 行目の " + what + " = " + Number(value));
  }
}

}  // namespace

double InterpolateLogLog(double x, const TableArray& scatter_x, const TableArray& column) {
  int j = 2;
  while (x >= scatter_x[j]) {
    if (j == kTableRows) {
      throw ScatterModelError("テーブルの範囲外: x = " + Number(x) +
                              " 1/Å が Water.xfs の最終行の x = " + Number(scatter_x[kTableRows]) +
                              " 以上です");
    }
    ++j;
  }
  const int lo = j - 1;
  const int hi = j;
  RequirePositive(scatter_x[lo], "x", lo);
  RequirePositive(scatter_x[hi], "x", hi);
  RequirePositive(column[lo], "関数値", lo);
  RequirePositive(column[hi], "関数値", hi);
  if (!(x > 0)) throw ScatterModelError("負またはゼロの値の対数: x = " + Number(x));

  const double log_x_span = std::log(scatter_x[hi]) - std::log(scatter_x[lo]);
  if (log_x_span == 0) {
    throw ScatterModelError("ゼロによる除算: Water.xfs の " + std::to_string(lo) + " 行目と " +
                            std::to_string(hi) + " 行目の x が等しい値です");
  }
  const double log_value =
      std::log(column[lo]) + (std::log(x) - std::log(scatter_x[lo])) *
                                 (std::log(column[hi]) - std::log(column[lo])) / log_x_span;
  const double value = std::exp(log_value);
  if (!std::isfinite(log_value) || !std::isfinite(value)) {
    throw ScatterModelError("オーバーフロー: x = " + Number(x) +
                            " 1/Å での補間値が有限になりません");
  }
  return value;
}

}  // namespace xscatter
