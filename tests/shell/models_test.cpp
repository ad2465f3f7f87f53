// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>

#include "model/errors.h"
#include "model/interpolation.h"
#include "model/primary_model.h"
#include "model/scatter_messages.h"
#include "tests/shell/fixture.h"

namespace xscatter {
namespace {

using testing::LoadedStore;

TEST(PrimaryModel, DepthCoefficientAndLineShare) {
  const double cases[][3] = {
      {40, 483251.09952, 0}, {100, 702526.2, 2.8}, {150, 840447.5125, 5.0835}, {70.5, 0, 0.104}};
  for (const auto& [kv, d, k] : cases) {
    SCOPED_TRACE(kv);
    EXPECT_NEAR(d != 0 ? TuckerDepthCoefficient(kv) : 0, d, 1e-6);  // d 0: not checked
    EXPECT_NEAR(CharacteristicLineShare(kv), k, 5e-4) << kv;
  }
  EXPECT_EQ(CharacteristicLineShare(70), 0.0);
}

// Fills bins 2 to 2 kV, normalised to a maximum of 1, with the values of
// reference/independent_model.py. Bin 80 at 40 kV has the single term T = E = 40 (x = 0, F = 1,
// u = 1, B(1) = 0.124); bin 160 at 80.3 kV one term at T = 80. At 100 kV bins 116, 119, 134 and
// 138 carry the characteristic lines.
TEST(PrimaryModel, FillsBinsTwoToTheLastAndMatchesTheIndependentModel) {
  const std::tuple<const char*, int, bool, int, double> cases[] = {
      {"40", 80, true, 80, 0.00017865633525448473},
      {"40", 80, true, 79, 0.0003496670353395232},
      {"80.3", 160, true, 160, 0.00015725593994326748},
      {"150", 300, false, 300, 1.757120536213417e-05},
      {"100", 200, false, 2, 0.0003108924111694621},
      {"100", 200, false, 116, 0.027891138564770927},
      {"100", 200, false, 119, 0.04293612224156666},
      {"100", 200, false, 134, 0.014453921031782817},
      {"100", 200, false, 138, 0.006103104741863666},
      {"100", 200, false, 200, 4.288993685284581e-05}};
  for (const auto& [kv, last, unfiltered, bin, value] : cases) {
    SCOPED_TRACE(std::string(kv) + " kV, bin " + std::to_string(bin));
    LoadedStore s;
    s.panel.boxes[ConditionBox::TubeVoltage] = kv;
    s.m.PrimarySpectrum.fill(7);  // leftovers of an earlier run must vanish
    s.m.ComputePrimarySpectrum();
    const auto& p = s.m.PrimarySpectrum;
    EXPECT_EQ(*std::max_element(p.begin() + 1, p.end()), 1.0);
    for (int i = 1; i <= 300; ++i) EXPECT_EQ(p[i] > 1e-100, i >= 2 && i <= last) << i;
    EXPECT_NEAR((unfiltered ? s.m.UnfilteredSpectrum : p)[bin], value, value * 3e-15);
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
  using enum ConditionBox;
  const std::pair<ConditionBox, const char*> cases[] = {{TargetAngle, "179.99"},
                                                        {TargetAngle, "1E999"},
                                                        {AddedAluminium, "1E6"},
                                                        {AddedCopper, "-1E6"},
                                                        {InherentFiltration, "1E308"}};
  for (const auto& [box, text] : cases) {
    SCOPED_TRACE(text);
    LoadedStore s;
    s.m.ComputePrimarySpectrum();
    const Module1 before = s.m;
    s.panel.boxes[box] = text;
    EXPECT_THROW(s.m.ComputePrimarySpectrum(), ModelError);
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
    EXPECT_EQ(m.IncoherentSpectrum[1][200], e);
    // Bin 201 was not computed, so bin 200 stays per primary bin.
    EXPECT_NEAR(m.IncoherentSpectrum[2][200],
                0.2 * r * r * (1 / r + r - std::pow(std::sin(theta), 2)) * 3 * std::sqrt(x), 1e-14);
    // Thomson factor (1 + cos^2) is 1 at 90 degrees and 1.99240 at 5 and 175.
    EXPECT_NEAR(m.CoherentSpectrum[200] / (0.05 * 4 * std::pow(x, -3)),
                degrees == 90 ? 1.0 : 1.99240, degrees == 90 ? 2e-12 : 1e-5);
    for (const GridArray* a : {&m.IncoherentSpectrum[1], &m.CoherentSpectrum})
      EXPECT_EQ(std::count(a->begin(), a->end(), 0.0), 300);  // only bin 200
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
  for (double x : {0.005, 0.0281, 0.0123, 1.0, 12.085})
    EXPECT_NEAR(InterpolateLogLog(x, m.ScatterX, m.IncoherentS), 3 * std::sqrt(x), 1e-13) << x;
  m.IncoherentS[20] = 17;  // a row equal to x is the lower bracket and gives its own value
  for (int j : {1, 20, 44})
    EXPECT_DOUBLE_EQ(InterpolateLogLog(m.ScatterX[j], m.ScatterX, m.IncoherentS), m.IncoherentS[j]);
}

// Spoils one cell of the power-law tables (row 0: none) and reads at x.
TEST(Interpolation, ErrorsNameWhatWentWrong) {
  const std::tuple<const char*, bool, int, double, double> cases[] = {
      {"テーブルの範囲外", false, 0, 0, 40.0},
      {"テーブルの範囲外", false, 0, 0, 0.01 * std::pow(1.2, 44)},  // the last row
      {"ゼロによる除算", true, 2, 0.01, 0.005},
      {"対数", false, 3, 0, 0.0125},
      {"オーバーフロー", false, 1, 1e300, 1e-30}};
  for (const auto& [what, in_x, row, value, x] : cases) {
    SCOPED_TRACE(std::string(what) + " at " + std::to_string(x));
    Module1 m = PowerLawStore(90);
    if (row != 0) (in_x ? m.ScatterX : m.IncoherentS)[row] = value;
    try {
      InterpolateLogLog(x, m.ScatterX, m.IncoherentS);
      ADD_FAILURE() << "not raised";
    } catch (const InterpolationError& error) {
      const std::string text = DescribeInterpolationFault(error.fault);
      EXPECT_NE(text.find(what), std::string::npos) << text;
    }
  }
}

// A filter layer multiplies each bin by exp(-mu t) before the spectrum is normalised: bin 40 alone
// through 2 /cm and 0.3 cm; every bin alike, which the normalisation takes out again; and a layer
// of no thickness, which leaves the spectrum bit for bit.
TEST(PrimaryModel, FilterLayersAttenuateEachBinByTheirTransmission) {
  const LoadedStore s;
  const PhysicalTables tables = s.m.Tables();
  const ExposureConditions conditions;
  const PrimaryResult plain = ComputePrimary(tables, conditions);
  FilterLayer one_bin{{}, 0.3}, even{{}, 0.1}, none;
  one_bin.mu_per_cm[40] = 2;
  even.mu_per_cm.fill(5);
  none.mu_per_cm.fill(7);
  const PrimaryResult filtered = ComputePrimary(tables, conditions, {one_bin, even});
  for (int i = 2; i <= plain.bin_count; ++i) {
    SCOPED_TRACE(i);
    const double expected = plain.spectrum[i] * (i == 40 ? std::exp(-0.6) : 1);
    EXPECT_NEAR(filtered.spectrum[i], expected, 4e-16 * expected);
  }
  EXPECT_EQ(ComputePrimary(tables, conditions, {none}).spectrum, plain.spectrum);
}

}  // namespace
}  // namespace xscatter
