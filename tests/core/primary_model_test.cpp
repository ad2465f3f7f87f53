#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>

#include "model/commands.h"
#include "model/errors.h"
#include "model/primary_model.h"
#include "tests/core/core_fixture.h"

namespace xscatter {
namespace {

using testing::LoadedStore;

void SetConditions(testing::FakePanel& panel, const char* kv, const char* angle = "12",
                   const char* inherent = "2.5", const char* al = "0", const char* cu = "0") {
  panel.boxes[ConditionBox::TubeVoltage] = kv;
  panel.boxes[ConditionBox::TargetAngle] = angle;
  panel.boxes[ConditionBox::InherentFiltration] = inherent;
  panel.boxes[ConditionBox::AddedAluminium] = al;
  panel.boxes[ConditionBox::AddedCopper] = cu;
}

TEST(PrimaryModel, DepthCoefficientAndLineShare) {
  const struct {
    double kv, d, k;
  } cases[] = {
      {40, 483251.09952, 0}, {100, 702526.2, 2.8}, {150, 840447.5125, 5.0835}, {70, 0, 0},
      {70.5, 0, 0.104},
  };
  for (const auto& c : cases) {
    if (c.d != 0) {
      EXPECT_NEAR(TuckerDepthCoefficient(c.kv), c.d, 1e-6) << c.kv;
    }
    EXPECT_NEAR(CharacteristicLineShare(c.kv), c.k, 5e-4) << c.kv;
  }
}

TEST(PrimaryModel, FillsBinsTwoToTheLastAndNormalisesToOne) {
  const struct {
    const char* kv;
    int last;
  } cases[] = {{"40", 80}, {"80.3", 160}, {"100", 200}, {"150", 300}, {"70.5", 141}};
  for (const auto& c : cases) {
    LoadedStore s;
    SetConditions(s.panel, c.kv);
    s.m.PrimarySpectrum.fill(7);  // leftovers of an earlier run must vanish
    s.m.ComputePrimarySpectrum();
    const auto& p = s.m.PrimarySpectrum;
    EXPECT_EQ(p[1], 0.0) << c.kv;
    EXPECT_EQ(*std::max_element(p.begin() + 1, p.end()), 1.0) << c.kv;
    for (int i = 2; i <= c.last; ++i) EXPECT_GT(p[i], 1e-100) << c.kv << " bin " << i;
    for (int i = c.last + 1; i <= 300; ++i) EXPECT_EQ(p[i], 0.0) << c.kv << " bin " << i;
  }
}

TEST(PrimaryModel, HandWorkedTermsAtTheTopBins) {
  LoadedStore s;
  SetConditions(s.panel, "40");
  s.m.ComputePrimarySpectrum();
  // Bin 80 at 40 kV has one term, T = E = 40: x = 0, F = 1, u = 1, B = 0.124.
  const double a = 0.000029 * 40 + 0.03658;
  const double s40 = 1036.1 * std::exp(-0.04695 * 40) + 202.41;
  EXPECT_NEAR(s.m.UnfilteredSpectrum[80], a * 0.124 * (511.0 / 40 + 1) / s40, 1e-17);
  EXPECT_NEAR(s.m.UnfilteredSpectrum[80], 0.00017865633525448473, 1e-18);
  EXPECT_NEAR(s.m.UnfilteredSpectrum[79], 0.0003496670353395232, 1e-18);

  // At 80.3 kV bin 160 (80 keV) has exactly one term, at T = 80, with a little self-absorption.
  SetConditions(s.panel, "80.3");
  s.m.ComputePrimarySpectrum();
  EXPECT_NEAR(s.m.UnfilteredSpectrum[160], 0.00015725593994326748, 1e-18);
}

TEST(PrimaryModel, MatchesAnIndependentImplementation) {
  LoadedStore s;
  s.m.ComputePrimarySpectrum();
  const struct {
    int bin;
    double value;
  } cases[] = {{2, 0.0003108924111694621},  {60, 0.025121768170454167},
               {116, 0.027891138564770927}, {119, 0.04293612224156666},
               {134, 0.014453921031782817}, {138, 0.006103104741863666},
               {200, 4.288993685284581e-05}};
  for (const auto& c : cases) {
    EXPECT_NEAR(s.m.PrimarySpectrum[c.bin], c.value, c.value * 1e-13) << c.bin;
  }
  EXPECT_NEAR(s.m.UnfilteredSpectrum[200], 0.0001411719219631094, 1e-19);
}

TEST(PrimaryModel, CharacteristicLinesStandOutAboveSeventyKilovolts) {
  LoadedStore s;
  s.m.ComputePrimarySpectrum();
  const auto& u = s.m.UnfilteredSpectrum;
  const double k = CharacteristicLineShare(100);
  const double with_lines = std::accumulate(u.begin() + 2, u.begin() + 201, 0.0);
  const double l = 0.01 * k * with_lines / (1 + 0.01 * k);
  const struct {
    int bin;
    double weight;
  } lines[] = {{116, 0.2908}, {119, 0.5048}, {134, 0.162}, {138, 0.0424}};
  for (const auto& line : lines) {
    const double excess = u[line.bin] - 0.5 * (u[line.bin - 1] + u[line.bin + 1]);
    EXPECT_NEAR(excess, line.weight * l, 0.01 * line.weight * l) << line.bin;
  }

  SetConditions(s.panel, "70");
  s.m.ComputePrimarySpectrum();
  EXPECT_NEAR(u[119] - 0.5 * (u[118] + u[120]), 0, 1e-3 * u[119]);
}

TEST(PrimaryModel, ZeroThresholdAtOneE100) {
  LoadedStore s;
  s.m.ComputePrimarySpectrum();
  const GridArray ratio = s.m.PrimarySpectrum;
  // Filter two low bins so that they end just below and just above the threshold; the inherent
  // 2.5 mm Al is 0.25 cm.
  s.m.MuAl[10] += std::log(ratio[10] / 1e-101) / 0.25;
  s.m.MuAl[11] += std::log(ratio[11] / 1e-99) / 0.25;
  s.m.ComputePrimarySpectrum();
  EXPECT_EQ(s.m.PrimarySpectrum[10], 0.0);
  EXPECT_NEAR(s.m.PrimarySpectrum[11], 1e-99, 1e-110);
  EXPECT_EQ(*std::max_element(s.m.PrimarySpectrum.begin(), s.m.PrimarySpectrum.end()), 1.0);
}

TEST(PrimaryModel, NinetyDegreeTargetAndEmptyFilterBoxes) {
  LoadedStore plain, angled, texts;
  plain.m.ComputePrimarySpectrum();
  SetConditions(angled.panel, "100", "90");
  angled.m.ComputePrimarySpectrum();
  // cot(90 deg) is about 1.33E-06, not 0, because 3.14159 is not pi: absorption almost vanishes.
  EXPECT_NE(angled.m.PrimarySpectrum[60], plain.m.PrimarySpectrum[60]);
  SetConditions(texts.panel, "100", "12", "2.5", "", "mm");
  texts.m.ComputePrimarySpectrum();
  EXPECT_EQ(texts.m.PrimarySpectrum, plain.m.PrimarySpectrum);
}

TEST(PrimaryModel, UncomputableConditionsLeaveTheSpectrumAlone) {
  const struct {
    const char *angle, *inherent, *al, *cu;
  } cases[] = {
      {"179.99", "2.5", "0", "0"},  // target factor overflows
      {"1E999", "2.5", "0", "0"},   // tangent of infinity
      {"12", "2.5", "1E6", "0"},    // every bin filtered to 0
      {"12", "2.5", "0", "-1E6"},   // negative copper overflows
      {"12", "1E308", "1E308", "0"},
  };
  for (const auto& c : cases) {
    LoadedStore s;
    s.m.ComputePrimarySpectrum();
    const GridArray primary = s.m.PrimarySpectrum;
    const GridArray unfiltered = s.m.UnfilteredSpectrum;
    SetConditions(s.panel, "100", c.angle, c.inherent, c.al, c.cu);
    EXPECT_THROW(s.m.ComputePrimarySpectrum(), ModelError) << c.angle << " " << c.al;
    EXPECT_EQ(s.m.PrimarySpectrum, primary);
    EXPECT_EQ(s.m.UnfilteredSpectrum, unfiltered);
  }
}

}  // namespace
}  // namespace xscatter
