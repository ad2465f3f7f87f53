// SPDX-License-Identifier: MIT
// The engine's two hot paths on their own, for instruction counts under callgrind: the 150 kV
// primary model after its first call (44,850 bremsstrahlung terms, each needing one exponential
// that no implementation can avoid) against 44,850 bare exponentials, and one scatter run.
//
//   valgrind --tool=callgrind --callgrind-out-file=engine.out build/bench/xscatter_engine_bench
//   callgrind_annotate --inclusive=yes --tree=caller engine.out | grep -A3 'ComputePrimary\|Bare'
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "bench/smooth_tables.h"
#include "model/primary_model.h"
#include "model/scatter_models.h"

namespace {

using xscatter::bench::SmoothTables;

// The floor: one exponential per term, of arguments like the model's.
[[gnu::noinline]] double BareExponentials(const std::vector<double>& arguments) {
  double sum = 0;
  for (const double x : arguments) sum += std::exp(x);
  return sum;
}

void BM_BareExponentials44850(benchmark::State& state) {
  std::vector<double> arguments;
  for (int i = 2; i <= 300; ++i) {
    for (int m = i; m <= 300; ++m) arguments.push_back(-1e-3 * (300 - m) * (1 + 0.01 * i));
  }
  for (auto _ : state) benchmark::DoNotOptimize(BareExponentials(arguments));
  state.counters["terms"] = static_cast<double>(arguments.size());
}
BENCHMARK(BM_BareExponentials44850)->Unit(benchmark::kMicrosecond);

// The first call in the process fills the shape factors; every later call is measured here.
void BM_ComputePrimary150kV(benchmark::State& state) {
  const xscatter::PhysicalTables t = SmoothTables();
  benchmark::DoNotOptimize(xscatter::ComputePrimary(t, {150, 12, 2.5, 0, 0}));
  for (auto _ : state) {
    benchmark::DoNotOptimize(xscatter::ComputePrimary(t, {150, 12, 2.5, 0, 0}));
  }
  state.counters["terms"] = 44850;
}
BENCHMARK(BM_ComputePrimary150kV)->Unit(benchmark::kMicrosecond);

void BM_ComputeScatter150kV90Degrees(benchmark::State& state) {
  const xscatter::PhysicalTables t = SmoothTables();
  const xscatter::PrimaryResult primary = xscatter::ComputePrimary(t, {150, 12, 2.5, 0, 0});
  for (auto _ : state) {
    benchmark::DoNotOptimize(xscatter::ComputeScatter(t, primary.spectrum, 90.0 / 180 * 3.14159));
  }
}
BENCHMARK(BM_ComputeScatter150kV90Degrees)->Unit(benchmark::kMicrosecond);

}  // namespace
