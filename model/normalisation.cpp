// SPDX-License-Identifier: MIT
#include "model/normalisation.h"

#include <cmath>

namespace xscatter {

double LargestValue(const GridArray& values, int first, int last, double floor) {
  double largest = floor;
  for (int i = first; i <= last; ++i) {
    if (values[i] > largest) largest = values[i];
  }
  return largest;
}

bool DivideByMaximum(GridArray& values, int first, int last, double maximum) {
  bool finite = true;
  for (int i = first; i <= last; ++i) {
    values[i] = values[i] / maximum;
    if (values[i] <= 1e-100) values[i] = 0;
    finite = finite && std::isfinite(values[i]);
  }
  return finite;
}

}  // namespace xscatter
