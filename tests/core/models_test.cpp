// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>

#include "model/errors.h"
#include "model/interpolation.h"
#include "model/primary_model.h"
#include "model/scatter_messages.h"
#include "tests/core/fixture.h"

namespace xscatter {
namespace {

using testing::LoadedStore;

TEST(PrimaryModel, DepthCoefficientAndLineShare) {
  const double cases[][3] = {
      {40, 483251.09952, 0}, {100, 702526.2, 2.8}, {150, 840447.5125, 5.0835}, {70.5, 0, 0.104}};
  for (const auto& [kv, d, k] : cases) {
    SCOPED_TRACE(kv);
    if (d != 0) {
      EXPECT_NEAR(TuckerDepthCoefficient(kv), d, 1e-6);
    }
    EXPECT_NEAR(CharacteristicLineShare(kv), k, 5e-4) << kv;
  }
  EXPECT_EQ(CharacteristicLineShare(70), 0.0);
}

TEST(PrimaryModel, FillsBinsTwoToTheLastAndNormalisesToOne) {
  const std::pair<const char*, int> cases[] = {{"40", 80}, {"80.3", 160}, {"150", 300}};
  for (const auto& [kv, last] : cases) {
    SCOPED_TRACE(kv);
    LoadedStore s;
    s.panel.boxes[ConditionBox::TubeVoltage] = kv;
    s.m.PrimarySpectrum.fill(7);  // leftovers of an earlier run must vanish
    s.m.ComputePrimarySpectrum();
    const auto& p = s.m.PrimarySpectrum;
    EXPECT_EQ(*std::max_element(p.begin() + 1, p.end()), 1.0) << kv;
    for (int i = 1; i <= 300; ++i) EXPECT_EQ(p[i] > 1e-100, i >= 2 && i <= last) << kv << " " << i;
  }
}

TEST(PrimaryModel, MatchesHandWorkedAndIndependentValues) {
  LoadedStore s;
  s.panel.boxes[ConditionBox::TubeVoltage] = "40";
  s.m.ComputePrimarySpectrum();
  // Bin 80 at 40 kV has the single term T = E = 40: x = 0, F = 1, u = 1, B(1) = 0.124.
  const double s40 = 1036.1 * std::exp(-0.04695 * 40) + 202.41;
  EXPECT_NEAR(s.m.UnfilteredSpectrum[80], (0.000029 * 40 + 0.03658) * 0.124 * 13.775 / s40, 1e-17);
  EXPECT_NEAR(s.m.UnfilteredSpectrum[79], 0.0003496670353395232, 1e-18);
  s.panel.boxes[ConditionBox::TubeVoltage] = "80.3";  // bin 160: one term, at T = 80
  s.m.ComputePrimarySpectrum();
  EXPECT_NEAR(s.m.UnfilteredSpectrum[160], 0.00015725593994326748, 1e-18);

  // Values of reference/independent_model.py at the default conditions.
  s.panel.boxes[ConditionBox::TubeVoltage] = "100";
  s.m.ComputePrimarySpectrum();
  const std::pair<int, double> expected[] = {{2, 0.0003108924111694621},
                                             {116, 0.027891138564770927},
                                             {119, 0.04293612224156666},
                                             {138, 0.006103104741863666},
                                             {200, 4.288993685284581e-05}};
  for (const auto& [bin, value] : expected) {
    SCOPED_TRACE(bin);
    EXPECT_NEAR(s.m.PrimarySpectrum[bin], value, value * 1e-13) << bin;
  }
}

TEST(PrimaryModel, CharacteristicLinesStandOutByTheirWeights) {
  LoadedStore s;
  s.m.ComputePrimarySpectrum();
  const auto& u = s.m.UnfilteredSpectrum;
  const double k = CharacteristicLineShare(100);
  const double l = 0.01 * k * std::accumulate(u.begin() + 2, u.begin() + 201, 0.0) / (1 + 0.01 * k);
  for (const auto& [bin, weight] :
       {std::pair{116, 0.2908}, {119, 0.5048}, {134, 0.162}, {138, 0.0424}}) {
    SCOPED_TRACE(bin);
    EXPECT_NEAR(u[bin] - 0.5 * (u[bin - 1] + u[bin + 1]), weight * l, 0.01 * weight * l) << bin;
  }
}

TEST(PrimaryModel, ValuesAtOrBelowOneE100BecomeZero) {
  LoadedStore s;
  s.m.ComputePrimarySpectrum();
  const GridArray ratio = s.m.PrimarySpectrum;
  // Filter two bins to just below and just above the threshold through the 0.25 cm inherent Al.
  s.m.MuAl[10] += std::log(ratio[10] / 1e-101) / 0.25;
  s.m.MuAl[11] += std::log(ratio[11] / 1e-99) / 0.25;
  s.m.ComputePrimarySpectrum();
  EXPECT_EQ(s.m.PrimarySpectrum[10], 0.0);
  EXPECT_NEAR(s.m.PrimarySpectrum[11], 1e-99, 1e-110);
}

TEST(PrimaryModel, UncomputableConditionsLeaveTheSpectrumAlone) {
  const std::pair<ConditionBox, const char*> cases[] = {
      {ConditionBox::TargetAngle, "179.99"},
      {ConditionBox::TargetAngle, "1E999"},
      {ConditionBox::AddedAluminium, "1E6"},
      {ConditionBox::AddedCopper, "-1E6"},
      {ConditionBox::InherentFiltration, "1E308"}};
  for (const auto& [box, text] : cases) {
    SCOPED_TRACE(text);
    LoadedStore s;
    s.m.ComputePrimarySpectrum();
    const Module1 before = s.m;
    s.panel.boxes[box] = text;
    EXPECT_THROW(s.m.ComputePrimarySpectrum(), ModelError) << text;
    EXPECT_EQ(s.m.PrimarySpectrum, before.PrimarySpectrum);
    EXPECT_EQ(s.m.UnfilteredSpectrum, before.UnfilteredSpectrum);
  }
}

// Tables on which log-log interpolation is exact: S = 3 x^0.5, F = 2 x^-1.5.
Module1 PowerLawStore(double degrees) {
  Module1 m;
  for (int r = 1; r <= kTableRows; ++r) {
    m.ScatterX[r] = 0.01 * std::pow(1.2, r - 1);
    m.IncoherentS[r] = 3 * std::sqrt(m.ScatterX[r]);
    m.CoherentF[r] = 2 * std::pow(m.ScatterX[r], -1.5);
  }
  m.WaterIncoherent.fill(0.2);
  m.WaterCoherent.fill(0.05);
  m.ScatterAngle = degrees / 180 * 3.14159;
  return m;
}

TEST(ScatterModels, SingleBinAtOneHundredKeV) {
  for (double degrees : {90.0, 5.0, 175.0}) {
    SCOPED_TRACE(degrees);
    Module1 m = PowerLawStore(degrees);
    m.PrimarySpectrum[200] = 1;
    m.PrimarySpectrum[7] = 1;  // below 8 keV: never scattered
    m.ComputeIncoherentSpectrum();
    m.ComputeCoherentSpectrum();
    const double theta = m.ScatterAngle, x = std::sin(theta / 2) * 100 / 12.4;
    const double e = 100 / (1 + 100.0 / 511 * (1 - std::cos(theta))), r = e / 100;
    if (degrees == 90) {
      EXPECT_NEAR(e, 83.633, 5e-4);
    }
    EXPECT_EQ(m.IncoherentSpectrum[1][200], e);
    // Bin 201 was not computed, so bin 200 stays per primary bin.
    EXPECT_NEAR(m.IncoherentSpectrum[2][200],
                0.2 * r * r * (1 / r + r - std::pow(std::sin(theta), 2)) * 3 * std::sqrt(x), 1e-14);
    const double thomson = degrees == 90 ? 1.0 : 1.99240;
    EXPECT_NEAR(m.CoherentSpectrum[200] / (0.05 * 4 * std::pow(x, -3)), thomson,
                degrees == 90 ? 2e-12 : 1e-5);
    const auto one_bin = [](const GridArray& a) {
      return std::count(a.begin(), a.end(), 0.0) == 300;
    };
    EXPECT_TRUE(one_bin(m.IncoherentSpectrum[1]) && one_bin(m.CoherentSpectrum));
  }
}

TEST(ScatterModels, SecondPassConvertsOnlyWhereTheNextBinWasComputed) {
  Module1 m = PowerLawStore(60), isolated = PowerLawStore(60);
  std::fill(m.PrimarySpectrum.begin() + 1, m.PrimarySpectrum.begin() + 201, 1.0);
  m.PrimarySpectrum[150] = 0;
  for (int bin : {120, 149, 200}) isolated.PrimarySpectrum[bin] = 1;
  m.ComputeIncoherentSpectrum();
  isolated.ComputeIncoherentSpectrum();
  const auto &e = m.IncoherentSpectrum[1], &f = m.IncoherentSpectrum[2];
  EXPECT_EQ(e[15], 0.0);
  EXPECT_EQ(e[150], 0.0);
  EXPECT_EQ(f[149], isolated.IncoherentSpectrum[2][149]);
  EXPECT_EQ(f[200], isolated.IncoherentSpectrum[2][200]);
  EXPECT_DOUBLE_EQ(f[120], isolated.IncoherentSpectrum[2][120] / ((e[121] - e[120]) / 0.5));
}

TEST(Interpolation, ExactOnPowerLawsAndAtRows) {
  Module1 m = PowerLawStore(90);
  for (double x : {0.005, 0.0281, 0.0123, 1.0, 12.085}) {
    EXPECT_NEAR(InterpolateLogLog(x, m.ScatterX, m.IncoherentS), 3 * std::sqrt(x), 1e-13) << x;
  }
  m.IncoherentS[20] = 17;  // a row equal to x is the lower bracket and gives its own value
  for (int j : {1, 20, 44}) {
    EXPECT_DOUBLE_EQ(InterpolateLogLog(m.ScatterX[j], m.ScatterX, m.IncoherentS), m.IncoherentS[j]);
  }
}

TEST(Interpolation, ErrorsNameWhatWentWrong) {
  const struct {
    const char* what;
    void (*spoil)(Module1&);
    double x;
  } cases[] = {
      {"テーブルの範囲外", [](Module1&) {}, 40.0},
      {"テーブルの範囲外",
       [](Module1& m) {
         for (int r = 1; r <= kTableRows; ++r) m.ScatterX[r] = r;
       },
       45.0},
      {"ゼロによる除算", [](Module1& m) { m.ScatterX[2] = m.ScatterX[1]; }, 0.005},
      {"対数", [](Module1& m) { m.IncoherentS[3] = 0; }, 0.0125},
      {"オーバーフロー", [](Module1& m) { m.IncoherentS[1] = 1e300; }, 1e-30},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Module1 m = PowerLawStore(90);
    c.spoil(m);
    try {
      InterpolateLogLog(c.x, m.ScatterX, m.IncoherentS);
      ADD_FAILURE() << c.what << " not raised";
    } catch (const InterpolationError& error) {
      const std::string text = DescribeInterpolationFault(error.fault);
      EXPECT_NE(text.find(c.what), std::string::npos) << text;
    }
  }
}

}  // namespace
}  // namespace xscatter

namespace xscatter {
namespace {

// A filter layer multiplies each bin by exp(-mu t) before the spectrum is normalised.
TEST(PrimaryModel, FilterLayersAttenuateEachBinByTheirTransmission) {
  const LoadedStore s;
  const PhysicalTables tables = s.m.Tables();
  const ExposureConditions conditions;
  const PrimaryResult plain = ComputePrimary(tables, conditions);

  FilterLayer one_bin;  // attenuates bin 40 (20 keV) only: 2 /cm through 0.3 cm
  one_bin.mu_per_cm[40] = 2;
  one_bin.thickness_cm = 0.3;
  FilterLayer even;  // the same everywhere: the normalisation takes it out again
  even.mu_per_cm.fill(5);
  even.thickness_cm = 0.1;
  FilterLayer none;  // no thickness: bit for bit the plain spectrum
  none.mu_per_cm.fill(7);

  const PrimaryResult filtered = ComputePrimary(tables, conditions, {one_bin, even});
  for (int i = 2; i <= plain.bin_count; ++i) {
    SCOPED_TRACE(i);
    const double expected = i == 40 ? plain.spectrum[i] * std::exp(-0.6) : plain.spectrum[i];
    EXPECT_NEAR(filtered.spectrum[i], expected, 4e-16 * expected);
  }
  EXPECT_EQ(ComputePrimary(tables, conditions, {none}).spectrum, plain.spectrum);
}

}  // namespace
}  // namespace xscatter
