#include <gtest/gtest.h>

#include <cmath>

#include "model/errors.h"
#include "model/interpolation.h"
#include "model/scatter_curve.h"
#include "model/state.h"

namespace xscatter {
namespace {

// Tables on which log-log interpolation is exact: S = 3 x^0.5 and F = 2 x^-1.5.
Module1 PowerLawStore(double angle_degrees) {
  Module1 m;
  m.Pi = 3.14159;
  for (int r = 1; r <= kTableRows; ++r) {
    const double x = 0.01 * std::pow(1.2, r - 1);
    m.ScatterX[r] = x;
    m.IncoherentS[r] = 3 * std::sqrt(x);
    m.CoherentF[r] = 2 * std::pow(x, -1.5);
  }
  for (int i = 1; i <= kLastBin; ++i) {
    m.WaterIncoherent[i] = 0.2;
    m.WaterCoherent[i] = 0.05;
  }
  m.ScatterAngle = angle_degrees / 180 * m.Pi;
  return m;
}

double X(int bin, double theta) { return std::sin(0.5 * theta) / (12.4 / (0.5 * bin)); }

TEST(ScatterModels, SingleBinAtNinetyDegrees) {
  Module1 m = PowerLawStore(90);
  m.PrimarySpectrum[200] = 1;
  m.ComputeIncoherentSpectrum();
  m.ComputeCoherentSpectrum();

  const double theta = 90.0 / 180 * 3.14159;
  const double e_scattered = 100 / (1 + 100.0 / 511 * (1 - std::cos(theta)));
  EXPECT_NEAR(e_scattered, 83.633, 5e-4);
  EXPECT_EQ(m.IncoherentSpectrum[1][200], e_scattered);
  const double r = e_scattered / 100;
  const double s = 3 * std::sqrt(X(200, theta));
  // Bin 201 was not computed, so bin 200 keeps its fluence per primary bin.
  EXPECT_NEAR(m.IncoherentSpectrum[2][200],
              0.2 * r * r * (1 / r + r - std::sin(theta) * std::sin(theta)) * s, 1e-14);
  const double f = 2 * std::pow(X(200, theta), -1.5);
  EXPECT_NEAR(m.CoherentSpectrum[200], 0.05 * (1 + std::cos(theta) * std::cos(theta)) * f * f,
              1e-12 * m.CoherentSpectrum[200]);
  for (int i = 1; i <= kLastBin; ++i) {
    if (i == 200) continue;
    EXPECT_EQ(m.IncoherentSpectrum[1][i], 0.0);
    EXPECT_EQ(m.IncoherentSpectrum[2][i], 0.0);
    EXPECT_EQ(m.CoherentSpectrum[i], 0.0);
  }
}

TEST(ScatterModels, ThomsonFactorAtTheAngleLimits) {
  const struct {
    double angle, factor, tolerance;
  } cases[] = {{5, 1.99240, 1e-5}, {175, 1.99240, 1e-5}, {90, 1.0, 2e-12}};
  for (const auto& c : cases) {
    Module1 m = PowerLawStore(c.angle);
    m.PrimarySpectrum[200] = 1;
    m.ComputeCoherentSpectrum();
    const double f = 2 * std::pow(X(200, m.ScatterAngle), -1.5);
    EXPECT_NEAR(m.CoherentSpectrum[200] / (0.05 * f * f), c.factor, c.tolerance) << c.angle;
  }
}

TEST(ScatterModels, SecondPassConvertsWhereTheNextBinWasComputed) {
  Module1 m = PowerLawStore(60);
  for (int i = 1; i <= 200; ++i) m.PrimarySpectrum[i] = 1;
  m.PrimarySpectrum[150] = 0;
  m.ComputeIncoherentSpectrum();

  Module1 raw = PowerLawStore(60);
  raw.PrimarySpectrum[149] = 1;
  raw.PrimarySpectrum[120] = 1;
  raw.PrimarySpectrum[200] = 1;
  raw.ComputeIncoherentSpectrum();  // isolated bins stay per primary bin

  const auto& e = m.IncoherentSpectrum[1];
  const auto& f = m.IncoherentSpectrum[2];
  for (int i = 1; i <= 15; ++i) EXPECT_EQ(e[i], 0.0) << i;
  EXPECT_EQ(e[150], 0.0);
  EXPECT_EQ(f[150], 0.0);
  EXPECT_EQ(f[149], raw.IncoherentSpectrum[2][149]);
  EXPECT_EQ(f[200], raw.IncoherentSpectrum[2][200]);
  EXPECT_DOUBLE_EQ(f[120], raw.IncoherentSpectrum[2][120] / ((e[121] - e[120]) / 0.5));
  EXPECT_GT(e[121] - e[120], 0.0);
  EXPECT_LT(e[121] - e[120], 0.5);
}

TEST(ScatterModels, BinsBelowEightKeVHaveNoEffect) {
  Module1 m = PowerLawStore(90);
  for (int i = 1; i <= 15; ++i) m.PrimarySpectrum[i] = 1;
  m.ComputeIncoherentSpectrum();
  m.ComputeCoherentSpectrum();
  EXPECT_EQ(m.IncoherentSpectrum, Module1{}.IncoherentSpectrum);
  EXPECT_EQ(m.CoherentSpectrum, Module1{}.CoherentSpectrum);
}

TEST(Interpolation, RowsExtrapolationAndExactPowerLaws) {
  Module1 m = PowerLawStore(90);
  const double xs[] = {0.005, 0.0281, 0.01, 0.0123, 1.0, 12.085, 20.0};
  for (double x : xs) {
    EXPECT_NEAR(InterpolateLogLog(x, m.ScatterX, m.IncoherentS), 3 * std::sqrt(x), 1e-13) << x;
    EXPECT_NEAR(InterpolateLogLog(x, m.ScatterX, m.CoherentF) / (2 * std::pow(x, -1.5)), 1, 1e-12)
        << x;
  }
  // x equal to a row makes that row the lower bracket and returns its value.
  m.IncoherentS[20] = 17;
  for (int j : {1, 19, 20, 44}) {
    EXPECT_DOUBLE_EQ(InterpolateLogLog(m.ScatterX[j], m.ScatterX, m.IncoherentS), m.IncoherentS[j])
        << j;
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
      {"対数", [](Module1& m) { m.ScatterX[1] = -1; }, 0.005},
      {"オーバーフロー", [](Module1& m) { m.IncoherentS[1] = 1e300; }, 1e-30},
  };
  for (const auto& c : cases) {
    Module1 m = PowerLawStore(90);
    c.spoil(m);
    try {
      InterpolateLogLog(c.x, m.ScatterX, m.IncoherentS);
      ADD_FAILURE() << c.what << " not raised for x = " << c.x;
    } catch (const ScatterModelError& error) {
      EXPECT_NE(std::string(error.what()).find(c.what), std::string::npos) << error.what();
    }
  }
}

TEST(ScatterCurve, ExtraPointPastTheLastBin) {
  Module1 m;
  for (int bin : {200, 300}) {
    m.BinCount = bin;
    m.IncoherentSpectrum[1][bin - 1] = 80.0;
    m.IncoherentSpectrum[1][bin] = 80.25;
    m.IncoherentSpectrum[2][bin] = 0.5;
    const CurvePoint last = IncoherentCurvePoint(m, bin + 1);
    EXPECT_EQ(ExtrapolatedScatterEnergy(m), 80.5);
    EXPECT_EQ(last.energy, bin == 300 ? 80.5 : 0.0);
    EXPECT_EQ(last.fluence, 0.0);
    EXPECT_EQ(CoherentCurveValue(m, bin + 1), 0.0);
    ExtendScatterEnergies(m);
    EXPECT_EQ(IncoherentCurvePoint(m, bin + 1).energy, 80.5);
    EXPECT_EQ(IncoherentCurvePoint(m, bin).fluence, 0.5);
  }
}

}  // namespace
}  // namespace xscatter
