// SPDX-License-Identifier: MIT
#pragma once

#include <cmath>

#include "model/physical_tables.h"

namespace xscatter::bench {

// Smooth tables of realistic size; the values do not change the amount of work.
inline PhysicalTables SmoothTables() {
  PhysicalTables t;
  for (int k = 1; k <= kLastBin; ++k) {
    const double e = 0.5 * k;
    t.mu_target[k] = 2000 * std::pow(e, -2.5) + 5;
    t.mu_al[k] = 30 * std::pow(e, -2.8) + 0.5;
    t.mu_cu[k] = 900 * std::pow(e, -2.7) + 2;
    t.water_coherent[k] = 4e-26;
    t.water_incoherent[k] = 4e-26;
  }
  for (int r = 1; r <= kTableRows; ++r) {
    const double x = 0.01 * std::pow(1.2, r - 1);
    t.scatter_x[r] = x;
    t.coherent_f[r] = 8 / (1 + x * x);
    t.incoherent_s[r] = 10 * x / (1 + x);
  }
  return t;
}

}  // namespace xscatter::bench
