// Costs of the calculation: the 150 kV primary model (44,850 bremsstrahlung terms), one scatter run
// (both models, common maximum, normalisation; no files), and the exponentials alone that the
// 150 kV model has to evaluate, measured in the same run so that their ratio means something.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

#include "model/commands.h"
#include "model/state.h"
#include "model/text_panel.h"

namespace {

// The 150 kV conditions of the heaviest primary calculation.
xscatter::TextPanel Conditions150kV() {
  xscatter::TextPanel panel;
  panel.boxes[xscatter::ConditionBox::TubeVoltage] = "150";
  return panel;
}

// Smooth tables of realistic size; the values do not change the amount of work.
void FillTables(xscatter::Module1& m) {
  for (int k = 1; k <= xscatter::kLastBin; ++k) {
    const double e = 0.5 * k;
    m.MuTarget[k] = 2000 * std::pow(e, -2.5) + 5;
    m.MuAl[k] = 30 * std::pow(e, -2.8) + 0.5;
    m.MuCu[k] = 900 * std::pow(e, -2.7) + 2;
    m.WaterCoherent[k] = 4e-26;
    m.WaterIncoherent[k] = 4e-26;
  }
  for (int r = 1; r <= xscatter::kTableRows; ++r) {
    const double x = 0.01 * std::pow(1.2, r - 1);
    m.ScatterX[r] = x;
    m.CoherentF[r] = 8 / (1 + x * x);
    m.IncoherentS[r] = 10 * x / (1 + x);
  }
  m.Pi = 3.14159;
}

void BM_PrimarySpectrum150kV(benchmark::State& state) {
  xscatter::TextPanel panel = Conditions150kV();
  xscatter::Module1 m;
  FillTables(m);
  m.AttachPanel(&panel);
  for (auto _ : state) {
    m.ComputePrimarySpectrum();
    benchmark::DoNotOptimize(m.PrimarySpectrum.data());
  }
  state.counters["terms"] = 44850;
}
BENCHMARK(BM_PrimarySpectrum150kV)->Unit(benchmark::kMicrosecond);

void BM_ScatterRun(benchmark::State& state) {
  xscatter::TextPanel panel = Conditions150kV();
  xscatter::Module1 m;
  FillTables(m);
  m.AttachPanel(&panel);
  m.ComputePrimarySpectrum();
  m.ScatterAngle = 90.0 / 180 * m.Pi;
  for (auto _ : state) {
    m.IncoherentSpectrum = {};
    m.CoherentSpectrum = {};
    m.ComputeIncoherentSpectrum();
    m.ComputeCoherentSpectrum();
    benchmark::DoNotOptimize(xscatter::NormaliseScatterSpectra(m));
  }
}
BENCHMARK(BM_ScatterRun)->Unit(benchmark::kMicrosecond);

// The two exponentials of each of the 44,850 terms, with arguments of the same range.
void BM_BareExponentials150kV(benchmark::State& state) {
  for (auto _ : state) {
    double sum = 0;
    for (int i = 2; i <= 300; ++i) {
      const double mu = 2000 * std::pow(0.5 * i, -2.5) + 5;
      for (double t = 0.5 * i; t <= 150; t += 0.5) {
        sum += std::exp(-0.04695 * t) + std::exp(-mu * 1e-4 * (150 - t));
      }
    }
    benchmark::DoNotOptimize(sum);
  }
  state.counters["exp_calls"] = 2 * 44850;
}
BENCHMARK(BM_BareExponentials150kV)->Unit(benchmark::kMicrosecond);

}  // namespace
