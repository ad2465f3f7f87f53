// SPDX-License-Identifier: MIT
#include "nist_air.h"

#include <cmath>
#include <iterator>
#include <stdexcept>

namespace xscatter::tables {

double NistAirEnergyAbsorption(double e) {
  const std::size_t rows = std::size(kNistAirTable);
  if (!(e >= kNistAirTable[0].energy && e <= kNistAirTable[rows - 1].energy)) {
    throw std::out_of_range("no NIST energy absorption of air at this energy");
  }
  // The last row at or below e: at the edge energy that is the row above the edge.
  std::size_t a = 0;
  while (a + 1 < rows && kNistAirTable[a + 1].energy <= e) ++a;
  if (kNistAirTable[a].energy == e || a + 1 == rows) return kNistAirTable[a].mu_en_rho;
  const NistAirRow& lo = kNistAirTable[a];
  const NistAirRow& hi = kNistAirTable[a + 1];
  const double t = std::log(e / lo.energy) / std::log(hi.energy / lo.energy);
  return std::exp(std::log(lo.mu_en_rho) + t * std::log(hi.mu_en_rho / lo.mu_en_rho));
}

}  // namespace xscatter::tables
