// SPDX-License-Identifier: MIT
// The primary model keeps its shape factors B(u) in a table shared by all runs, and the scatter
// models take the table logarithms and the angle's sine and cosine once per run. Both must give
// exactly the doubles of computing everything on the spot, term by term, as written here.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "model/errors.h"
#include "model/primary_model.h"
#include "model/scatter_models.h"

namespace xscatter {
namespace {

PhysicalTables ShippedTables() {
  return LoadPhysicalTables(std::filesystem::path(XSCATTER_SOURCE_DIR) / "data");
}

// The Tucker model term by term, every factor computed where it is used.
GridArray PrimaryOnTheSpot(const PhysicalTables& tables, const ExposureConditions& c) {
  const double kv = c.kv;
  const int n = static_cast<int>(std::floor(2 * kv));
  const double cot = 1 / std::tan(c.target_angle_deg * 3.14159 / 180);
  const double d = TuckerDepthCoefficient(kv);
  const double a = 0.000029 * kv + 0.03658;
  GridArray unfiltered{};
  for (int i = 2; i <= n; ++i) {
    const double e = 0.5 * i;
    double sum = 0;
    for (int m = i; m <= n; ++m) {
      const double t = 0.5 * m;
      const double u = e / t;
      const double b = 1 - 5.049 * u + 10.847 * std::pow(u, 2) - 10.516 * std::pow(u, 3) +
                       3.842 * std::pow(u, 4);
      const double path = cot * ((kv * kv - t * t) / (19.3 * d));
      const double stopping = 1036.1 * std::exp(-0.04695 * t) + 202.41;
      const double relativistic = 511 / t + 1;
      const double f = std::exp(-tables.mu_target[i] * path);
      sum = sum + f * ((a * b * relativistic) / stopping);
    }
    unfiltered[i] = sum;
  }
  if (kv > 70) {
    double total = 0;
    for (int i = 2; i <= n; ++i) total = total + unfiltered[i];
    const double l = 0.01 * (CharacteristicLineShare(kv) * total);
    unfiltered[119] = unfiltered[119] + 0.5048 * l;
    unfiltered[116] = unfiltered[116] + 0.2908 * l;
    unfiltered[134] = unfiltered[134] + 0.162 * l;
    unfiltered[138] = unfiltered[138] + 0.0424 * l;
  }
  GridArray primary{};
  double maximum = 0;
  for (int i = 2; i <= n; ++i) {
    primary[i] = unfiltered[i] *
                 std::exp(-(0.1 * c.inherent_mm_al + 0.1 * c.al_mm) * tables.mu_al[i]) *
                 std::exp(-(0.1 * c.cu_mm) * tables.mu_cu[i]) / (0.5 * i);
    maximum = std::max(maximum, primary[i]);
  }
  for (int i = 2; i <= n; ++i) {
    primary[i] = primary[i] / maximum;
    if (primary[i] <= 1e-100) primary[i] = 0;
  }
  return primary;
}

double LogLogOnTheSpot(double x, const TableArray& xs, const TableArray& ys) {
  int j = 2;
  while (x >= xs[j]) ++j;
  const double span = std::log(xs[j]) - std::log(xs[j - 1]);
  return std::exp(std::log(ys[j - 1]) + (std::log(x) - std::log(xs[j - 1])) *
                                            (std::log(ys[j]) - std::log(ys[j - 1])) / span);
}

// Both scatter models bin by bin before normalisation, every factor computed where it is used.
ScatterResult ScatterOnTheSpot(const PhysicalTables& t, const GridArray& primary, double theta) {
  ScatterResult r;
  for (int i = kFirstScatterBin; i <= kLastBin; ++i) {
    if (primary[i] == 0) continue;
    const double e = 0.5 * i;
    const double x = std::sin(0.5 * theta) / (12.4 / e);
    const double s = LogLogOnTheSpot(x, t.scatter_x, t.incoherent_s);
    const double e_scattered = e / (1 + (e / 511) * (1 - std::cos(theta)));
    r.energy[i] = e_scattered;
    const double ratio = e_scattered / e;
    r.incoherent_photons[i] =
        primary[i] * t.water_incoherent[i] * (ratio * ratio) *
        (e / e_scattered + e_scattered / e - std::sin(theta) * std::sin(theta)) * s;
    const double f = LogLogOnTheSpot(x, t.scatter_x, t.coherent_f);
    r.coherent[i] =
        primary[i] * t.water_coherent[i] * (1 + std::cos(theta) * std::cos(theta)) * (f * f);
  }
  return r;
}

void ExpectSameGrid(const GridArray& got, const GridArray& want, const std::string& what) {
  for (int i = 0; i <= kLastBin; ++i) EXPECT_EQ(got[i], want[i]) << what << ", bin " << i;
}

std::string Name(const ExposureConditions& c) {
  return std::to_string(c.kv) + " kV, " + std::to_string(c.target_angle_deg) + " deg, " +
         std::to_string(c.inherent_mm_al) + "/" + std::to_string(c.al_mm) + " mm Al, " +
         std::to_string(c.cu_mm) + " mm Cu";
}

// Voltages from the lowest to the top of the grid, up and down again, so that runs meet shape
// factors filled by earlier runs as well as ones they fill themselves.
TEST(ModelRecompute, PrimaryEqualsTheTermByTermSum) {
  const PhysicalTables tables = ShippedTables();
  std::vector<ExposureConditions> runs;
  // Without filtration, so that the lowest voltages leave something to normalise.
  for (const double kv : {1.0, 1.5, 3.0}) runs.push_back({kv, 12, 0, 0, 0});
  for (const double kv :
       {12.3, 30.0, 49.75, 50.0, 70.0, 70.5, 99.9, 100.0, 123.4, 150.0, 149.5, 80.0, 40.25, 25.0}) {
    runs.push_back({kv, 12, 2.5, 0, 0});
  }
  for (const double angle : {5.0, 7.5, 16.0, 22.0}) runs.push_back({100, angle, 2.5, 0, 0});
  runs.push_back({80, 12, 0, 3.2, 0.1});
  runs.push_back({120, 10, 1, 0, 0.3});
  runs.push_back({60, 12, 0, 0, 0});
  for (const ExposureConditions& c : runs) {
    SCOPED_TRACE(Name(c));
    ExpectSameGrid(ComputePrimary(tables, c).spectrum, PrimaryOnTheSpot(tables, c), "primary");
  }
}

// The models find each bin's table rows starting where the bin below found its own; a table whose
// momentum transfers are out of order (rows 20 and 21 swapped) must still give the rows of a
// search from the top.
TEST(ModelRecompute, ScatterEqualsTheBinByBinModels) {
  const PhysicalTables shipped = ShippedTables();
  PhysicalTables swapped = shipped;
  std::swap(swapped.scatter_x[20], swapped.scatter_x[21]);
  const double pi = 3.14159;
  for (const auto& [name, tables] : {std::pair{"shipped", &shipped}, {"rows swapped", &swapped}})
    for (const double kv : {20.0, 70.0, 100.0, 150.0}) {
      const GridArray primary = ComputePrimary(*tables, {kv, 12, 2.5, 0, 0}).spectrum;
      for (const double degrees : {1.0, 30.0, 45.5, 90.0, 135.0, 179.0, 180.0}) {
        SCOPED_TRACE(std::string(name) + ", " + std::to_string(kv) + " kV at " +
                     std::to_string(degrees) + " deg");
        const double theta = degrees / 180 * pi;
        ScatterResult got;
        ComputeIncoherentScatter(*tables, primary, theta, got);
        ComputeCoherentScatter(*tables, primary, theta, got);
        const ScatterResult want = ScatterOnTheSpot(*tables, primary, theta);
        ExpectSameGrid(got.energy, want.energy, "scattered energy");
        ExpectSameGrid(got.incoherent_photons, want.incoherent_photons, "incoherent photons");
        ExpectSameGrid(got.coherent, want.coherent, "coherent");
      }
    }
}

// Runs in several threads at once (the Python module releases its lock) all read the shared
// shape factors while some of them may still be filled.
TEST(ModelRecompute, ConcurrentRunsGiveTheSequentialSpectra) {
  const PhysicalTables tables = ShippedTables();
  const std::vector<double> voltages = {150, 37.5, 121, 88, 64.5, 142};
  std::vector<GridArray> got(voltages.size());
  std::vector<std::thread> threads;
  for (std::size_t k = 0; k < voltages.size(); ++k) {
    threads.emplace_back([&, k] {
      got[k] = ComputePrimary(tables, {voltages[k], 12, 2.5, 0, 0}).spectrum;
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (std::size_t k = 0; k < voltages.size(); ++k) {
    const ExposureConditions c{voltages[k], 12, 2.5, 0, 0};
    SCOPED_TRACE(Name(c));
    ExpectSameGrid(got[k], PrimaryOnTheSpot(tables, c), "primary");
  }
}

}  // namespace
}  // namespace xscatter
