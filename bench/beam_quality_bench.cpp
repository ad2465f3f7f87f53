// SPDX-License-Identifier: MIT
// Cost of the beam-quality figures of one 150 kV primary spectrum (299 bins; four layer solves,
// two means and the effective energy), the figure the batch tool adds to every run. Target: under
// 100 microseconds.
#include <benchmark/benchmark.h>

#include <cmath>

#include "model/beam_quality.h"

namespace {

using xscatter::GridArray;
using xscatter::kLastBin;

struct Tables {
  GridArray primary{};
  GridArray mu_al{};
  GridArray mu_cu{};
  GridArray air{};
};

// Smooth tables of the shape of the real ones, and a Kramers spectrum for 150 kV behind 2.5 mm Al,
// normalised to its maximum.
Tables Smooth150kV() {
  Tables t;
  double maximum = 0;
  for (int k = 1; k <= kLastBin; ++k) {
    const double e = 0.5 * k;
    t.mu_al[k] = 30 * std::pow(e, -2.8) + 0.5;
    t.mu_cu[k] = 900 * std::pow(e, -2.7) + 2;
    t.air[k] = 4600 * std::pow(e, -3) + 0.022;
    if (k >= 2) t.primary[k] = (150 - e) / e * std::exp(-0.25 * t.mu_al[k]) / e;
    maximum = std::max(maximum, t.primary[k]);
  }
  for (double& value : t.primary) value /= maximum;
  return t;
}

void BM_PrimaryBeamQuality150kV(benchmark::State& state) {
  const Tables t = Smooth150kV();
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        xscatter::PrimaryBeamQuality(t.primary, kLastBin, t.mu_al, t.mu_cu, t.air));
  }
}
BENCHMARK(BM_PrimaryBeamQuality150kV)->Unit(benchmark::kMicrosecond);

}  // namespace
