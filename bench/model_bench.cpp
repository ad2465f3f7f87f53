// SPDX-License-Identifier: MIT
// Costs of the calculation: the 150 kV primary model (44,850 bremsstrahlung terms) against the
// work no implementation of it can avoid (one exponential and the three powers of u per term),
// measured in the same run so that their ratio means something; one scatter run (both models and
// the normalisation; no files), and the same run with the incoherent spectrum Doppler-broadened by
// the shipped Compton profiles.
#include <benchmark/benchmark.h>

#include <cmath>

#include "bench/smooth_tables.h"
#include "model/compton_profiles.h"
#include "model/primary_model.h"
#include "model/scatter_models.h"
#include "model/state.h"
#include "model/text_panel.h"

namespace {

using xscatter::bench::SmoothTables;

// The store's procedure as the calculate command runs it: box texts in, arrays out.
void BM_ComputePrimarySpectrum150kV(benchmark::State& state) {
  const xscatter::PhysicalTables t = SmoothTables();
  xscatter::TextPanel panel;
  panel.boxes[xscatter::ConditionBox::TubeVoltage] = "150";
  xscatter::Module1 m;
  m.MuTarget = t.mu_target;
  m.MuAl = t.mu_al;
  m.MuCu = t.mu_cu;
  m.AttachPanel(&panel);
  for (auto _ : state) {
    m.ComputePrimarySpectrum();
    benchmark::DoNotOptimize(m.PrimarySpectrum.data());
  }
  state.counters["terms"] = 44850;
}
BENCHMARK(BM_ComputePrimarySpectrum150kV)->Unit(benchmark::kMicrosecond);

// The floor: for each of the 44,850 terms one exponential and u^2, u^3, u^4 by std::pow.
void BM_PrimaryFloor150kV(benchmark::State& state) {
  const xscatter::PhysicalTables t = SmoothTables();
  for (auto _ : state) {
    double sum = 0;
    for (int i = 2; i <= 300; ++i) {
      const double e = 0.5 * i;
      const double mu = t.mu_target[i];
      for (int m = i; m <= 300; ++m) {
        const double u = e / (0.5 * m);
        sum += std::exp(-mu * 1e-4 * (300 - m)) + std::pow(u, 2) + std::pow(u, 3) + std::pow(u, 4);
      }
    }
    benchmark::DoNotOptimize(sum);
  }
  state.counters["terms"] = 44850;
}
BENCHMARK(BM_PrimaryFloor150kV)->Unit(benchmark::kMicrosecond);

void BM_ScatterRun(benchmark::State& state) {
  const xscatter::PhysicalTables t = SmoothTables();
  const xscatter::PrimaryResult primary = xscatter::ComputePrimary(t, {150, 12, 2.5, 0, 0});
  for (auto _ : state) {
    benchmark::DoNotOptimize(xscatter::ComputeScatter(t, primary.spectrum, 90.0 / 180 * 3.14159));
  }
}
BENCHMARK(BM_ScatterRun)->Unit(benchmark::kMicrosecond);

void BM_ScatterRunDoppler(benchmark::State& state) {
  const xscatter::PhysicalTables t = SmoothTables();
  const xscatter::ComptonProfiles profiles = xscatter::LoadComptonProfiles(XSCATTER_DATA_DIR);
  const xscatter::PrimaryResult primary = xscatter::ComputePrimary(t, {150, 12, 2.5, 0, 0});
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        xscatter::ComputeScatter(t, primary.spectrum, 90.0 / 180 * 3.14159, &profiles));
  }
}
BENCHMARK(BM_ScatterRunDoppler)->Unit(benchmark::kMicrosecond);

}  // namespace
