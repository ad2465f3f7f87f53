// SPDX-License-Identifier: MIT
// Costs of the number formats on the numbers a run writes: the 300 lines of a spectrum file
// (bin energy with 3 decimals, fluence with 4) and the shortest texts of a report's figures.
// Beside them, for comparison, the standard library's to_chars where it has the floating-point
// overloads, and printf under a per-thread "C" locale with a digit-count search for the
// shortest text. Quote ratios as callgrind instruction counts, for example
//   valgrind --tool=callgrind --toggle-collect='*BM_FormatScientific*'
//     xscatter_bench --benchmark_filter=BM_FormatScientific
#include <benchmark/benchmark.h>
#include <locale.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "output/number_format.h"

namespace {

// Fixed, so that callgrind counts of the benchmarks compare directly.
constexpr int kIterations = 100;

// Energies of the 300 bins and a fluence falling over six decades with an edge-like wiggle.
struct SpectrumNumbers {
  SpectrumNumbers() {
    for (int i = 1; i <= 300; ++i) {
      energy.push_back(0.5 * i);
      fluence.push_back(1e6 * std::exp(-0.05 * i) * (1.3 + std::sin(0.37 * i)) / i);
    }
  }
  std::vector<double> energy, fluence;
};

// Figures of a report: computed means, layers and ratios with all 17 digits, and box values.
std::vector<double> ReportFigures() {
  std::vector<double> figures;
  for (int i = 0; i < 20; ++i) {
    figures.push_back(40 + i * 5.5);
    figures.push_back(std::sqrt(2.0 + i) * 17.3);
    figures.push_back(1.0 / (3 + i));
  }
  return figures;
}

void BM_FormatScientific(benchmark::State& state) {
  const SpectrumNumbers numbers;
  for (auto _ : state) {
    for (std::size_t i = 0; i < numbers.energy.size(); ++i) {
      benchmark::DoNotOptimize(xscatter::FormatScientific(numbers.energy[i], 3));
      benchmark::DoNotOptimize(xscatter::FormatScientific(numbers.fluence[i], 4));
    }
  }
}
BENCHMARK(BM_FormatScientific)->Iterations(kIterations);

void BM_ShortestText(benchmark::State& state) {
  const std::vector<double> figures = ReportFigures();
  for (auto _ : state) {
    for (const double value : figures) benchmark::DoNotOptimize(xscatter::ShortestText(value));
  }
}
BENCHMARK(BM_ShortestText)->Iterations(kIterations);

// The printf route: the thread's locale switched to "C" around each call.
locale_t CLocale() {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return c;
}

std::string PrintfScientific(double value, int decimals) {
  const locale_t previous = uselocale(CLocale());
  char text[64];
  const int length = std::snprintf(text, sizeof text, "%.*E", decimals, value);
  uselocale(previous);
  return std::string(text, length);
}

// Fewest digits first, each read back (without the search for the decimal above a power of two
// that a correct version needs).
std::string PrintfShortest(double value) {
  const locale_t previous = uselocale(CLocale());
  char text[64];
  for (int digits = 1; digits <= 17; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    if (std::strtod(text, nullptr) == value) break;
  }
  uselocale(previous);
  return text;
}

void BM_PrintfScientific(benchmark::State& state) {
  const SpectrumNumbers numbers;
  for (auto _ : state) {
    for (std::size_t i = 0; i < numbers.energy.size(); ++i) {
      benchmark::DoNotOptimize(PrintfScientific(numbers.energy[i], 3));
      benchmark::DoNotOptimize(PrintfScientific(numbers.fluence[i], 4));
    }
  }
}
BENCHMARK(BM_PrintfScientific)->Iterations(kIterations);

void BM_PrintfShortest(benchmark::State& state) {
  const std::vector<double> figures = ReportFigures();
  for (auto _ : state) {
    for (const double value : figures) benchmark::DoNotOptimize(PrintfShortest(value));
  }
}
BENCHMARK(BM_PrintfShortest)->Iterations(kIterations);

#if defined(__cpp_lib_to_chars)
std::string ToCharsScientific(double value, int decimals) {
  char text[64];
  const auto result =
      std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, decimals);
  for (char* c = text; c != result.ptr; ++c) {
    if (*c == 'e') *c = 'E';
  }
  return std::string(text, result.ptr);
}

std::string ToCharsShortest(double value) {
  char text[64];
  return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

void BM_ToCharsScientific(benchmark::State& state) {
  const SpectrumNumbers numbers;
  for (auto _ : state) {
    for (std::size_t i = 0; i < numbers.energy.size(); ++i) {
      benchmark::DoNotOptimize(ToCharsScientific(numbers.energy[i], 3));
      benchmark::DoNotOptimize(ToCharsScientific(numbers.fluence[i], 4));
    }
  }
}
BENCHMARK(BM_ToCharsScientific)->Iterations(kIterations);

void BM_ToCharsShortest(benchmark::State& state) {
  const std::vector<double> figures = ReportFigures();
  for (auto _ : state) {
    for (const double value : figures) benchmark::DoNotOptimize(ToCharsShortest(value));
  }
}
BENCHMARK(BM_ToCharsShortest)->Iterations(kIterations);
#endif

}  // namespace
