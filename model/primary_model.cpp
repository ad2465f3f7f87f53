// SPDX-License-Identifier: MIT
#include "model/primary_model.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <mutex>

#include "model/errors.h"
#include "model/normalisation.h"

namespace xscatter {
namespace {

bool AllFinite(const GridArray& values, int first, int last) {
  for (int i = first; i <= last; ++i) {
    if (!std::isfinite(values[i])) return false;
  }
  return true;
}

// The factors of a bremsstrahlung term that depend only on the electron energy T = 0.5*m keV.
// Every T of the sum is a multiple of 0.5 and so exact, which makes each factor the same double
// whichever bin's sum it enters.
struct ElectronFactors {
  GridArray path{};          // cot(target angle) * (kV^2 - T^2) / (19.3 D)
  GridArray stopping{};      // S(T) = 1036.1 exp(-0.04695 T) + 202.41
  GridArray relativistic{};  // 511 / T + 1
};

ElectronFactors FactorsPerElectronEnergy(double kv, double cot, double d, int last) {
  ElectronFactors factors;
  for (int m = 2; m <= last; ++m) {
    const double t = 0.5 * m;
    const double x = (kv * kv - t * t) / (19.3 * d);
    factors.path[m] = cot * x;
    factors.stopping[m] = 1036.1 * std::exp(-0.04695 * t) + 202.41;
    factors.relativistic[m] = 511 / t + 1;
  }
  return factors;
}

// The shape factor B(u) of the bremsstrahlung cross-section, u = E/T, for photon bin i and electron
// energy step m (E = 0.5*i, T = 0.5*m keV). It depends on neither the voltage nor the tables, and
// its powers are most of the model's work, so it is computed once per process, in blocks of
// electron energy steps as far as the highest voltage met so far needs. Each entry is the same
// expression as always, so every run gives the same doubles as computing it on the spot.
class ShapeFactors {
 public:
  // The entries (i, m) for 2 <= i <= m <= last, ready to read.
  static const ShapeFactors& UpTo(int last) {
    static ShapeFactors factors;
    for (int block = 0; block * kStepsPerBlock <= last; ++block) {
      std::call_once(factors.filled_[block], [block] { factors.Fill(block); });
    }
    return factors;
  }

  // Row i: the factors for m = 0..kLastBin, of which i..last are set.
  const GridArray& Row(int i) const { return b_[i]; }

 private:
  static constexpr int kStepsPerBlock = 25;
  static constexpr int kBlocks = kLastBin / kStepsPerBlock + 1;

  void Fill(int block) {
    const int first = std::max(2, block * kStepsPerBlock);
    const int last = std::min(kLastBin, (block + 1) * kStepsPerBlock - 1);
    for (int m = first; m <= last; ++m) {
      const double t = 0.5 * m;
      for (int i = 2; i <= m; ++i) {
        const double e = 0.5 * i;
        const double u = e / t;
        b_[i][m] = 1 - 5.049 * u + 10.847 * std::pow(u, 2) - 10.516 * std::pow(u, 3) +
                   3.842 * std::pow(u, 4);
      }
    }
  }

  std::array<GridArray, kLastBin + 1> b_{};
  std::array<std::once_flag, kBlocks> filled_;
};

}  // namespace

double TuckerDepthCoefficient(double kv) {
  return 141766 + 12157 * kv - 111.046 * std::pow(kv, 2) + 0.552536 * std::pow(kv, 3) -
         0.000970158 * std::pow(kv, 4);
}

double CharacteristicLineShare(double kv) {
  return kv > 70 ? (std::sqrt(8.79856 * kv - 595.149) - 4.55528) / 4.39928 : 0.0;
}

PrimaryResult ComputePrimary(const PhysicalTables& tables, const ExposureConditions& conditions,
                             const std::vector<FilterLayer>& filters) {
  const double kv = conditions.kv;
  const double last = std::floor(2 * kv);
  if (!(last >= 2 && last <= kLastBin)) throw ModelError("tube voltage outside the energy grid");
  const int n = static_cast<int>(last);

  const double t_inh = 0.1 * conditions.inherent_mm_al;
  const double t_al = 0.1 * conditions.al_mm;
  const double t_cu = 0.1 * conditions.cu_mm;
  const double cot = 1 / std::tan(conditions.target_angle_deg * 3.14159 / 180);
  const double d = TuckerDepthCoefficient(kv);
  const double k_share = CharacteristicLineShare(kv);
  const double a = 0.000029 * kv + 0.03658;
  const ElectronFactors factors = FactorsPerElectronEnergy(kv, cot, d, n);
  const ShapeFactors& shape = ShapeFactors::UpTo(n);

  PrimaryResult result;
  result.bin_count = n;
  GridArray& unfiltered = result.unfiltered;
  for (int i = 2; i <= n; ++i) {
    const double mu = tables.mu_target[i];
    const GridArray& b_row = shape.Row(i);
    double sum = 0;
    // T runs over e, e + 0.5, ... up to kV, that is over 0.5*m for m = i..n.
    for (int m = i; m <= n; ++m) {
      const double b = b_row[m];
      const double f = std::exp(-mu * factors.path[m]);
      sum = sum + f * ((a * b * factors.relativistic[m]) / factors.stopping[m]);
    }
    unfiltered[i] = sum;
  }

  if (kv > 70) {
    double total = 0;
    for (int i = 2; i <= n; ++i) total = total + unfiltered[i];
    const double l = 0.01 * (k_share * total);
    unfiltered[119] = unfiltered[119] + 0.5048 * l;
    unfiltered[116] = unfiltered[116] + 0.2908 * l;
    unfiltered[134] = unfiltered[134] + 0.162 * l;
    unfiltered[138] = unfiltered[138] + 0.0424 * l;
  }

  GridArray& primary = result.spectrum;
  for (int i = 2; i <= n; ++i) {
    primary[i] = unfiltered[i];
    primary[i] = primary[i] * std::exp(-(t_inh + t_al) * tables.mu_al[i]) *
                 std::exp(-t_cu * tables.mu_cu[i]) / (0.5 * i);
  }
  for (const FilterLayer& layer : filters) {
    for (int i = 2; i <= n; ++i) {
      primary[i] = primary[i] * std::exp(-layer.mu_per_cm[i] * layer.thickness_cm);
    }
  }

  const double maximum = LargestValue(primary, 2, n);
  if (!AllFinite(unfiltered, 2, n) || !AllFinite(primary, 2, n) || !std::isfinite(maximum) ||
      !(maximum > 0)) {
    throw ModelError("the conditions give no finite primary spectrum");
  }
  if (!DivideByMaximum(primary, 2, n, maximum)) {
    throw ModelError("the conditions give no finite primary spectrum");
  }
  return result;
}

}  // namespace xscatter
