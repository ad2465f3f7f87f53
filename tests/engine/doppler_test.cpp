// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <tuple>

#include "model/compton_profiles.h"
#include "model/doppler.h"
#include "model/errors.h"
#include "model/physical_tables.h"
#include "model/primary_model.h"
#include "model/scatter_models.h"
#include "model/table_messages.h"
#include "tests/support/files.h"

namespace xscatter {
namespace {

using testing::TempFolder;
using Profile = std::function<double(int shell, double pz)>;

constexpr double kLastPz = 3.35;  // the synthetic tables' rows: pz = 0.00, 0.01, ..., 3.35

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

// WaterCompton.csv with the four shell records `shells` ("electrons,binding") and rows pz = 0.00,
// 0.01, ..., 3.35 holding j(s, pz) for the four shells.
std::string ProfileTable(const std::array<std::string, kComptonShells>& shells, const Profile& j) {
  std::string text;
  for (const std::string& shell : shells) text += shell + "\n";
  for (int n = 0; n < kComptonProfileRows; ++n) {
    char row[16];
    std::snprintf(row, sizeof row, "%d.%02d", n / 100, n % 100);
    const double pz = std::stod(row);
    text += row;
    for (int s = 0; s < kComptonShells; ++s) text += "," + Number(j(s, pz));
    text += "\n";
  }
  return text;
}

ComptonProfiles Load(const std::string& text) {
  TempFolder folder;
  testing::WriteFile(folder.path / "WaterCompton.csv", text);
  return LoadComptonProfiles(folder.path);
}

// Hydrogen-like profiles, J(pz) = 8/(3 pi w) (1 + (pz/w)^2)^-3, with water's electrons and binding
// energies and widths w of roughly its shells.
const std::array<std::string, kComptonShells> kWaterLikeShells = {"2,0.0136", "2,0.532", "2,0.0285",
                                                                  "4,0.0071"};
double WaterLike(int shell, double pz) {
  const double width[] = {1.0, 7.7, 1.7, 1.4};
  const double u = pz / width[shell];
  return 8 / (3 * M_PI * width[shell]) / std::pow(1 + u * u, 3);
}

// One shell with a flat profile over the whole grid (-3.35..3.35 a.u.), the others empty.
ComptonProfiles Flat(double binding_kev) {
  return Load(ProfileTable({"1," + Number(binding_kev), "1,0", "1,0", "1,0"},
                           [](int s, double) { return s == 0 ? 0.25 : 0.0; }));
}

TEST(ComptonProfilesTable, LoadsShellsAndRows) {
  const ComptonProfiles p =
      Load("\xEF\xBB\xBF" +
           ProfileTable(kWaterLikeShells, [](int s, double pz) { return (s + 1) * (1 + pz); }));
  EXPECT_EQ(p.electrons, (std::array<double, 4>{2, 2, 2, 4}));
  EXPECT_EQ(p.binding_kev, (std::array<double, 4>{0.0136, 0.532, 0.0285, 0.0071}));
  ASSERT_EQ(p.pz.size(), 336u);
  EXPECT_EQ(std::tuple(p.pz[0], p.pz[1], p.pz[335]), std::tuple(0.0, 0.01, 3.35));
  EXPECT_EQ(std::tuple(p.j[0][0], p.j[3][0], p.j[1][335]), std::tuple(1.0, 4.0, 2 * (1 + 3.35)));
}

// Record and field counts and the reading of numbers are the table reader's, tested with the
// model's tables; here what only WaterCompton.csv asks.
TEST(ComptonProfilesTable, BrokenTablesAreRefused) {
  const std::string good = ProfileTable(kWaterLikeShells, WaterLike);
  const auto replaced = [&](const std::string& from, const std::string& to) {
    std::string text = good;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  const std::string row2 = "\n0.01,", row3 = "\n0.02,";
  const struct {
    const char* name;
    std::string text;
    std::string message;  // after "データテーブル WaterCompton.csv "
  } cases[] = {
      {"Good", good, ""},
      {"NoElectrons", replaced("2,0.532", "0,0.532"),
       "のレコード 2 のフィールド 1 が正の数ではありません: \"0\""},
      {"NegativeBinding", replaced("2,0.0285", "2,-0.0285"),
       "のレコード 3 のフィールド 2 が負の数です: \"-0.0285\""},
      {"FirstPzNotZero", replaced("\n0.00,", "\n0.001,"),
       "のレコード 5 のフィールド 1 の pz が 0 ではありません: \"0.001\"（pz は 0 "
       "から始まり、レコードごとに増えなければなりません）"},
      {"PzRepeated", replaced(row3, "\n0.0100,"),
       "のレコード 7 のフィールド 1 の pz が前のレコードの pz \"0.01\" より大きくありません: "
       "\"0.0100\"（pz は 0 から始まり、レコードごとに増えなければなりません）"},
      {"PzNotANumber", replaced(row2, "\n1O,"),
       "のレコード 6 のフィールド 1 が数値ではありません: \"1O\""},
      {"NegativeProfile", replaced(row2 + Number(WaterLike(0, 0.01)), row2 + "-1E-3"),
       "のレコード 6 のフィールド 2 が負の数です: \"-1E-3\""},
      {"LastRowMissing", good.substr(0, good.rfind('\n', good.size() - 2) + 1),
       "が途中で終わっています: レコード 340 のフィールド 1 がありません（1688 "
       "個のフィールドが必要なところ 1683 個）。"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string message;
    try {
      Load(c.text);
    } catch (const TableError& error) {
      message = DescribeTableError(error);
      message = message.substr(0, message.find('\n'));
    }
    EXPECT_EQ(message, c.message.empty() ? "" : "データテーブル WaterCompton.csv " + c.message);
  }
}

// pz = 137.036 (E E' (1 - cos) / 511 - (E - E')) / sqrt(E^2 + E'^2 - 2 E E' cos), worked by hand.
TEST(Doppler, MomentumOfTheScatteringElectron) {
  const double right = std::acos(0.0);
  const double compton = 100 / (1 + 100.0 / 511);
  const struct {
    double e, scattered, theta, pz;
  } cases[] = {
      {100, compton, right, 0},
      // (100*90/511 - 10) / sqrt(18100) = 7.61252446184 / 134.536240471
      {100, 90, right, 137.035999084 * 0.0565834487065},
      // cos 180 = -1: (2*60*50/511 - 10) / 110 = 1.74168297456 / 110
      {60, 50, 2 * right, 137.035999084 * 0.0158334816},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(ScatteringElectronMomentum(c.e, c.scattered, c.theta), c.pz, 1e-8)
        << c.e << " keV into " << c.scattered << " keV";
  }
}

// With one shell of flat J the photons of a bin are in proportion to the span of pz it covers,
// clipped to the grid's -3.35..3.35 a.u. and, through the binding energy, to E' <= E - B.
TEST(Doppler, FlatProfileSharesAreSpansOfMomentum) {
  const struct {
    const char* name;
    double e, angle_deg, binding;
  } cases[] = {
      {"60keV90deg", 60, 90, 0},
      {"60keV90degCutInsideTheLine", 60, 90, 6.5},  // the Compton energy is 53.29 keV
      {"8keV175deg", 8, 175, 0},
      {"150keV5deg", 150, 5, 0},
      {"30keV120degCutAtABinEdge", 30, 120, 2.75},  // 27.57 keV; the line is 2.4 keV wide
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const double theta = c.angle_deg / 180 * 3.14159;
    const GridArray shares = DopplerShares(ComptonDistribution(Flat(c.binding)), c.e, theta);
    const auto pz = [&](double scattered) {
      const double q =
          std::sqrt(c.e * c.e + scattered * scattered - 2 * c.e * scattered * std::cos(theta));
      const double p =
          137.035999084 * (c.e * scattered * (1 - std::cos(theta)) / 511 - c.e + scattered) / q;
      return std::clamp(p, -kLastPz, kLastPz);
    };
    GridArray expected{};
    double total = 0;
    for (int k = 1; k <= kLastBin; ++k) {
      const double lo = 0.5 * k - 0.25, hi = std::min(0.5 * k + 0.25, c.e - c.binding);
      if (hi > lo) expected[k] = pz(hi) - pz(lo);
      total += expected[k];
    }
    for (int k = 1; k <= kLastBin; ++k) {
      EXPECT_NEAR(shares[k], expected[k] / total, 1e-12) << "bin " << k;
    }
  }
  // The cut inside the line: nothing above 53.5 keV, bin 107 only up to it.
  const GridArray cut = DopplerShares(ComptonDistribution(Flat(6.5)), 60, 90 / 180.0 * 3.14159);
  EXPECT_GT(cut[107], 0);
  EXPECT_EQ(cut[108], 0);
}

TEST(Doppler, SharesOfEveryPrimaryBinAddUpToOneBelowThePrimaryEnergy) {
  const ComptonDistribution water(Load(ProfileTable(kWaterLikeShells, WaterLike)));
  for (const double angle : {5.0, 90.0, 175.0}) {
    for (int i = kFirstScatterBin; i <= kLastBin; ++i) {
      SCOPED_TRACE(::testing::Message() << angle << " degrees, bin " << i);
      const GridArray shares = DopplerShares(water, 0.5 * i, angle / 180 * 3.14159);
      double sum = 0;
      for (int k = 1; k <= kLastBin; ++k) {
        EXPECT_GE(shares[k], 0) << k;
        if (k > i) {
          EXPECT_EQ(shares[k], 0) << k;  // bin k begins at or above 0.5 i keV
        }
        sum += shares[k];
      }
      EXPECT_NEAR(sum, 1, 1e-12);
    }
  }
}

// Each primary bin alone: the broadened spectrum holds exactly its photons, now on the grid of
// scattered energy.
TEST(Doppler, BroadeningKeepsThePhotonsOfEachPrimaryBin) {
  const ComptonProfiles water = Load(ProfileTable(kWaterLikeShells, WaterLike));
  const double theta = 90 / 180.0 * 3.14159;
  for (int i = kFirstScatterBin; i <= kLastBin; ++i) {
    ScatterResult r;
    r.energy[i] = 0.5 * i / (1 + 0.5 * i / 511);
    r.incoherent_photons[i] = 3.7e-26 * i;
    BroadenIncoherentScatter(water, theta, r);
    double photons = 0;
    for (int k = 1; k <= kLastBin; ++k) {
      photons += r.incoherent_photons[k];
      ASSERT_EQ(r.energy[k], 0.5 * k);
      ASSERT_EQ(r.incoherent[k], r.incoherent_photons[k]);
    }
    EXPECT_NEAR(photons / (3.7e-26 * i), 1, 1e-12) << "bin " << i;
  }
}

TEST(Doppler, WithoutAShellThatCanTakePartTheLineStaysAtItsComptonEnergy) {
  const ComptonDistribution none(
      Load(ProfileTable({"2,151", "2,151", "2,151", "4,151"}, WaterLike)));
  for (const auto& [e, bin] : {std::pair{100.0, 167}, std::pair{8.0, 16}, std::pair{150.0, 232}}) {
    const GridArray shares = DopplerShares(none, e, 90 / 180.0 * 3.14159);
    EXPECT_EQ(shares[bin], 1) << e << " keV";  // 83.63, 7.87 and 115.97 keV
  }
}

TEST(Doppler, ComputeScatterBroadensOnlyTheIncoherentSpectrumAndKeepsItsPhotons) {
  TempFolder folder;
  testing::WriteTestTables(folder.path);
  const PhysicalTables tables = LoadPhysicalTables(folder.path / "Data");
  const GridArray primary = ComputePrimary(tables, {}).spectrum;  // 100 kV
  const ComptonProfiles water = Load(ProfileTable(kWaterLikeShells, WaterLike));
  const double theta = 60 / 180.0 * 3.14159;
  const ScatterResult plain = ComputeScatter(tables, primary, theta);
  const ScatterResult broad = ComputeScatter(tables, primary, theta, &water);
  double before = 0, after = 0, largest = 0;
  for (int k = 1; k <= kLastBin; ++k) {
    before += plain.incoherent_photons[k];
    after += broad.incoherent_photons[k];
    EXPECT_EQ(broad.energy[k], 0.5 * k);
    // The same coherent spectrum, on the scale of its own run.
    EXPECT_NEAR(broad.coherent[k] * broad.common_maximum, plain.coherent[k] * plain.common_maximum,
                1e-15 * plain.common_maximum)
        << k;
    if (k >= 2) largest = std::max({largest, broad.incoherent[k], broad.coherent[k]});
  }
  EXPECT_NEAR(after / before, 1, 1e-12);
  EXPECT_EQ(largest, 1);
}

}  // namespace
}  // namespace xscatter
