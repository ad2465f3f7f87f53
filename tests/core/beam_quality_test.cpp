// SPDX-License-Identifier: MIT
#include "model/beam_quality.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/errors.h"

namespace xscatter {
namespace {

const double kLn2 = std::log(2.0);
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
// K(t) = e^{-μt} + e^{-2μt} reaches half of K(0) where x = e^{-μt} solves x² + x − 1 = 0, so
// x = (√5 − 1)/2 and μt = ln((1 + √5)/2); a quarter where x² + x − 1/2 = 0, x = (√3 − 1)/2.
const double kHalfOfPair = std::log((1 + std::sqrt(5.0)) / 2);
const double kQuarterOfPair = -std::log((std::sqrt(3.0) - 1) / 2);

// A table with value f(E) at every bin energy E = 0.5·i.
GridArray Table(const std::function<double(double)>& f) {
  GridArray table{};
  for (int i = 1; i <= kLastBin; ++i) table[i] = f(0.5 * i);
  return table;
}

GridArray Spectrum(const std::vector<std::pair<int, double>>& bins) {
  GridArray spectrum{};
  for (const auto& [bin, value] : bins) spectrum[bin] = value;
  return spectrum;
}

// --- the generic solver --------------------------------------------------------------------------

struct ThicknessCase {
  std::string name;
  std::vector<BeamComponent> beam;
  double fraction;
  std::optional<double> expected_cm;
};

// The row's name, not its bytes, in test listings.
void PrintTo(const ThicknessCase& row, std::ostream* out) { *out << row.name; }

class TransmissionThicknessTest : public testing::TestWithParam<ThicknessCase> {};

TEST_P(TransmissionThicknessTest, SolvesOrReportsAbsent) {
  const ThicknessCase& c = GetParam();
  const std::optional<double> t = TransmissionThickness(c.beam, c.fraction);
  ASSERT_EQ(t.has_value(), c.expected_cm.has_value());
  if (t) {
    EXPECT_NEAR(*t, *c.expected_cm, 1e-9 * *c.expected_cm);
  }
}

INSTANTIATE_TEST_SUITE_P(
    BeamQuality, TransmissionThicknessTest,
    testing::Values(
        ThicknessCase{"OneComponentHalf", {{3, 2.0}}, 0.5, kLn2 / 2},
        ThicknessCase{"OneComponentQuarter", {{3, 2.0}}, 0.25, 2 * kLn2 / 2},
        ThicknessCase{"EqualPairHalf", {{1, 0.7}, {1, 1.4}}, 0.5, kHalfOfPair / 0.7},
        ThicknessCase{"EqualPairQuarter", {{1, 0.7}, {1, 1.4}}, 0.25, kQuarterOfPair / 0.7},
        // (1 + 2e^{-1.5t})/3 = 1/2: e^{-1.5t} = 1/4.
        ThicknessCase{"UnattenuatedThird", {{1, 0}, {2, 1.5}}, 0.5, std::log(4.0) / 1.5},
        ThicknessCase{"WeightlessComponentIgnored", {{0, 100}, {5, 1}}, 0.5, kLn2},
        ThicknessCase{
            "HugeWeightsDoNotOverflow", {{1e300, 0.7}, {1e300, 1.4}}, 0.5, kHalfOfPair / 0.7},
        ThicknessCase{"TinyCoefficient", {{1, 1e-300}}, 0.5, kLn2 / 1e-300},
        ThicknessCase{"EmptyBeam", {}, 0.5, std::nullopt},
        ThicknessCase{"NoWeight", {{0, 1}, {0, 2}}, 0.5, std::nullopt},
        ThicknessCase{"NothingAttenuated", {{1, 0}}, 0.5, std::nullopt},
        ThicknessCase{"UnattenuatedHalfNeverHalves", {{1, 0}, {1, 5}}, 0.5, std::nullopt},
        ThicknessCase{"NegativeWeight", {{-1, 1}, {2, 1}}, 0.5, std::nullopt},
        ThicknessCase{"NegativeCoefficient", {{1, -1}}, 0.5, std::nullopt},
        ThicknessCase{"NaNCoefficient", {{1, kNaN}}, 0.5, std::nullopt},
        ThicknessCase{"FractionZero", {{1, 1}}, 0, std::nullopt},
        ThicknessCase{"FractionNaN", {{1, 1}}, kNaN, std::nullopt},
        ThicknessCase{"BeyondTheRangeOfDouble", {{1, 1e-310}}, 0.5, std::nullopt}),
    [](const auto& info) { return info.param.name; });

// --- log-log values between bins -----------------------------------------------------------------

struct LogLogCase {
  std::string name;
  GridArray table;
  double energy;
  std::optional<double> expected;
};

// The row's name, not its bytes, in test listings.
void PrintTo(const LogLogCase& row, std::ostream* out) { *out << row.name; }

class LogLogAtEnergyTest : public testing::TestWithParam<LogLogCase> {};

TEST_P(LogLogAtEnergyTest, InterpolatesOrReportsAbsent) {
  const LogLogCase& c = GetParam();
  const std::optional<double> value = LogLogAtEnergy(c.table, c.energy);
  ASSERT_EQ(value.has_value(), c.expected.has_value());
  if (value) {
    EXPECT_NEAR(*value, *c.expected, 1e-12 * std::fabs(*c.expected));
  }
}

const GridArray kFourThenOne = Spectrum({{20, 4}, {21, 1}, {300, 9}, {1, 3}});
const GridArray kPowerLaw = Table([](double e) { return 7 * std::pow(e, -2.8); });

INSTANTIATE_TEST_SUITE_P(
    BeamQuality, LogLogAtEnergyTest,
    testing::Values(
        // At the geometric mean of 10 and 10.5 keV the value is the geometric mean of 4 and 1.
        LogLogCase{"GeometricMeanBetweenBins", kFourThenOne, std::sqrt(10 * 10.5), 2.0},
        LogLogCase{"PowerLawIsExact", kPowerLaw, 83.6334, 7 * std::pow(83.6334, -2.8)},
        LogLogCase{"OnABinItsOwnValue", kFourThenOne, 10.5, 1.0},
        LogLogCase{"OnABinBesideZero", kFourThenOne, 10.0, 4.0},
        LogLogCase{"FirstBin", kFourThenOne, 0.5, 3.0},
        LogLogCase{"TopOfTheGrid", kFourThenOne, 150, 9.0},
        LogLogCase{"BetweenZeroValues", kFourThenOne, 10.7, std::nullopt},
        LogLogCase{"BelowTheGrid", kPowerLaw, 0.49, std::nullopt},
        LogLogCase{"AboveTheGrid", kPowerLaw, 150.01, std::nullopt},
        LogLogCase{"NotANumber", kPowerLaw, kNaN, std::nullopt}),
    [](const auto& info) { return info.param.name; });

// --- effective energy ----------------------------------------------------------------------------

// Falls as 1/E, then jumps by a factor 4 at 40 keV like an absorption edge.
const GridArray kEdgeTable = Table([](double e) { return (e < 40 ? 20 : 80) / e; });

struct EffectiveEnergyCase {
  std::string name;
  double hvl1_cm;
  std::optional<double> expected_kev;
};

// The row's name, not its bytes, in test listings.
void PrintTo(const EffectiveEnergyCase& row, std::ostream* out) { *out << row.name; }

class EffectiveEnergyTest : public testing::TestWithParam<EffectiveEnergyCase> {};

TEST_P(EffectiveEnergyTest, FindsTheFirstBracketingPair) {
  const EffectiveEnergyCase& c = GetParam();
  const std::optional<double> e = EffectiveEnergy(kEdgeTable, c.hvl1_cm);
  ASSERT_EQ(e.has_value(), c.expected_kev.has_value());
  if (e) {
    EXPECT_NEAR(*e, *c.expected_kev, 1e-12 * *c.expected_kev);
  }
}

INSTANTIATE_TEST_SUITE_P(
    BeamQuality, EffectiveEnergyTest,
    testing::Values(
        // mu = 1 is met at 20 keV below the edge and again at 80 keV above it.
        EffectiveEnergyCase{"FirstOfTwoCrossings", kLn2 / 1.0, 20.0},
        // mu = 0.77 is met between bins 51 and 52 below the edge; 1/E is exact in log-log.
        EffectiveEnergyCase{"BetweenBins", kLn2 / 0.77, 20 / 0.77},
        // Above the table's largest value in bins 16..300 (2.5 at 8 keV).
        EffectiveEnergyCase{"SofterThanTheTable", kLn2 / 3.0, std::nullopt},
        // Below its smallest (80/150).
        EffectiveEnergyCase{"HarderThanTheTable", kLn2 / 0.5, std::nullopt},
        EffectiveEnergyCase{"ZeroLayer", 0, std::nullopt}),
    [](const auto& info) { return info.param.name; });

// --- primary beam --------------------------------------------------------------------------------

// Aluminium attenuates as 20/E per cm and copper three times as much; air is 1 in every bin, so a
// bin's air kerma weight is φ·E.
struct PrimaryInput {
  GridArray primary;
  int bin_count;
  GridArray mu_al = Table([](double e) { return 20 / e; });
  GridArray mu_cu = Table([](double e) { return 60 / e; });
  GridArray air = Table([](double) { return 1.0; });
};

struct PrimaryCase {
  std::string name;
  PrimaryInput input;
  PrimaryQuality expected;
};

// The row's name, not its bytes, in test listings.
void PrintTo(const PrimaryCase& row, std::ostream* out) { *out << row.name; }

class PrimaryBeamQualityTest : public testing::TestWithParam<PrimaryCase> {};

void ExpectRelative(double actual, double expected, const char* what) {
  EXPECT_NEAR(actual, expected, 1e-9 * std::fabs(expected)) << what;
}

TEST_P(PrimaryBeamQualityTest, MatchesHandWorkedFigures) {
  const PrimaryCase& c = GetParam();
  const PrimaryInput& in = c.input;
  const PrimaryQuality q = PrimaryBeamQuality(in.primary, in.bin_count, in.mu_al, in.mu_cu, in.air);
  const PrimaryQuality& e = c.expected;
  EXPECT_EQ(q.bin_count, in.bin_count);
  ExpectRelative(q.mean_energy_kev, e.mean_energy_kev, "mean energy");
  ExpectRelative(q.kerma_mean_energy_kev, e.kerma_mean_energy_kev, "kerma mean energy");
  ExpectRelative(q.hvl1_mm_al, e.hvl1_mm_al, "HVL1 Al");
  ExpectRelative(q.hvl2_mm_al, e.hvl2_mm_al, "HVL2 Al");
  ExpectRelative(q.homogeneity_al, e.homogeneity_al, "homogeneity Al");
  ExpectRelative(q.hvl1_mm_cu, e.hvl1_mm_cu, "HVL1 Cu");
  ExpectRelative(q.hvl2_mm_cu, e.hvl2_mm_cu, "HVL2 Cu");
  ExpectRelative(q.homogeneity_cu, e.homogeneity_cu, "homogeneity Cu");
  ASSERT_EQ(q.effective_energy_kev_al.has_value(), e.effective_energy_kev_al.has_value());
  if (q.effective_energy_kev_al) {
    ExpectRelative(*q.effective_energy_kev_al, *e.effective_energy_kev_al, "effective energy");
  }
}

// One bin at 50 keV: μAl = 0.4, μCu = 1.2. HVL = ln2/μ, QVL = 2·ln2/μ, so HVL2 = HVL1 and h = 1;
// the effective energy is the bin's own.
PrimaryQuality OneBinAt50() {
  PrimaryQuality q;
  q.mean_energy_kev = q.kerma_mean_energy_kev = 50;
  q.hvl1_mm_al = q.hvl2_mm_al = 10 * kLn2 / 0.4;
  q.hvl1_mm_cu = q.hvl2_mm_cu = 10 * kLn2 / 1.2;
  q.homogeneity_al = q.homogeneity_cu = 1;
  q.effective_energy_kev_al = 50;
  return q;
}

// φ = 1 at 20 keV and 0.5 at 40 keV: equal air kerma weights 20 and 20, μAl = 1 and 0.5, so
// K(t) ∝ e^{-0.5t} + e^{-t}. Fluence mean (20 + 20)/1.5, kerma mean 30. μeff = 0.5·ln2/ln φ where
// 20/E meets it: E = 40·ln φ/ln 2.
PrimaryQuality TwoBinsMuAndTwoMu() {
  PrimaryQuality q;
  q.mean_energy_kev = 40 / 1.5;
  q.kerma_mean_energy_kev = 30;
  q.hvl1_mm_al = 10 * kHalfOfPair / 0.5;
  q.hvl2_mm_al = 10 * (kQuarterOfPair - kHalfOfPair) / 0.5;
  q.homogeneity_al = kHalfOfPair / (kQuarterOfPair - kHalfOfPair);
  q.hvl1_mm_cu = 10 * kHalfOfPair / 1.5;
  q.hvl2_mm_cu = 10 * (kQuarterOfPair - kHalfOfPair) / 1.5;
  q.homogeneity_cu = q.homogeneity_al;
  q.effective_energy_kev_al = 40 * kHalfOfPair / kLn2;
  return q;
}

// One bin at 5 keV: μAl = 4, above every value of bins 16..300 (at most 20/8 = 2.5).
PrimaryQuality OneBinAt5() {
  PrimaryQuality q;
  q.mean_energy_kev = q.kerma_mean_energy_kev = 5;
  q.hvl1_mm_al = q.hvl2_mm_al = 10 * kLn2 / 4;
  q.hvl1_mm_cu = q.hvl2_mm_cu = 10 * kLn2 / 12;
  q.homogeneity_al = q.homogeneity_cu = 1;
  return q;
}

PrimaryInput WithoutAirAt100kev() {
  PrimaryInput in{Spectrum({{100, 1}, {200, 1}}), 200};
  in.air[200] = 0;
  return in;
}

PrimaryQuality FluenceMean75() {
  PrimaryQuality q = OneBinAt50();
  q.mean_energy_kev = 75;
  return q;
}

GridArray WithNaNAbove(GridArray spectrum, int last) {
  for (int i = last + 1; i <= kLastBin; ++i) spectrum[i] = kNaN;
  return spectrum;
}

INSTANTIATE_TEST_SUITE_P(
    BeamQuality, PrimaryBeamQualityTest,
    testing::Values(
        PrimaryCase{"OneBinEffectiveEnergyOnTheBin", {Spectrum({{100, 1}}), 100}, OneBinAt50()},
        PrimaryCase{"TwoBinsMuAndTwoMu", {Spectrum({{40, 1}, {80, 0.5}}), 80}, TwoBinsMuAndTwoMu()},
        PrimaryCase{"SoftBeamHasNoEffectiveEnergy", {Spectrum({{10, 0.3}}), 10}, OneBinAt5()},
        PrimaryCase{"BinWithoutAirCountsOnlyInFluenceMean", WithoutAirAt100kev(), FluenceMean75()},
        PrimaryCase{"BinsAboveTheLastAreNotRead",
                    {WithNaNAbove(Spectrum({{100, 1}}), 120), 120},
                    OneBinAt50()}),
    [](const auto& info) { return info.param.name; });

struct PrimaryErrorCase {
  std::string name;
  PrimaryInput input;
  std::string message;
};

// The row's name, not its bytes, in test listings.
void PrintTo(const PrimaryErrorCase& row, std::ostream* out) { *out << row.name; }

class PrimaryBeamQualityErrorTest : public testing::TestWithParam<PrimaryErrorCase> {};

TEST_P(PrimaryBeamQualityErrorTest, ThrowsNamingTheCause) {
  const PrimaryErrorCase& c = GetParam();
  const PrimaryInput& in = c.input;
  try {
    PrimaryBeamQuality(in.primary, in.bin_count, in.mu_al, in.mu_cu, in.air);
    FAIL() << "no error";
  } catch (const BeamQualityError& error) {
    EXPECT_EQ(std::string(error.what()), c.message);
  }
}

PrimaryInput OneBin(int bin, double value, int bin_count) {
  return {Spectrum({{bin, value}}), bin_count};
}

PrimaryInput With(PrimaryInput in, GridArray PrimaryInput::*table, int bin, double value) {
  (in.*table)[bin] = value;
  return in;
}

INSTANTIATE_TEST_SUITE_P(
    BeamQuality, PrimaryBeamQualityErrorTest,
    testing::Values(
        PrimaryErrorCase{"LastBinOne", OneBin(100, 1, 1),
                         "the spectrum's last bin 1 lies outside 2..300"},
        PrimaryErrorCase{"LastBinPastTheGrid", OneBin(100, 1, 301),
                         "the spectrum's last bin 301 lies outside 2..300"},
        PrimaryErrorCase{"NegativeBin", With(OneBin(100, 1, 100), &PrimaryInput::primary, 50, -1),
                         "the primary spectrum at bin 50 is negative or not finite"},
        PrimaryErrorCase{"NaNBin", With(OneBin(100, 1, 100), &PrimaryInput::primary, 2, kNaN),
                         "the primary spectrum at bin 2 is negative or not finite"},
        PrimaryErrorCase{"NaNAirInUse", With(OneBin(100, 1, 100), &PrimaryInput::air, 100, kNaN),
                         "the air energy-absorption coefficient at bin 100 is negative or not "
                         "finite"},
        PrimaryErrorCase{"InfiniteCopperInUse",
                         With(OneBin(100, 1, 100), &PrimaryInput::mu_cu, 100, kInf),
                         "the copper attenuation coefficient at bin 100 is negative or not finite"},
        PrimaryErrorCase{"AirKermaOverflows", OneBin(100, 1e307, 100),
                         "the air kerma of bin 100 is not finite"},
        PrimaryErrorCase{"EmptySpectrum", OneBin(100, 0, 100), "the spectrum carries no air kerma"},
        PrimaryErrorCase{"NoAirAnywhere", With(OneBin(100, 1, 100), &PrimaryInput::air, 100, 0),
                         "the spectrum carries no air kerma"},
        PrimaryErrorCase{"AluminiumTransparent",
                         With(OneBin(100, 1, 100), &PrimaryInput::mu_al, 100, 0),
                         "aluminium never halves the air kerma"},
        PrimaryErrorCase{"CopperTransparent",
                         With(OneBin(100, 1, 100), &PrimaryInput::mu_cu, 100, 0),
                         "copper never halves the air kerma"}),
    [](const auto& info) { return info.param.name; });

// A 150 kV Kramers spectrum behind 2.5 mm Al on smooth tables: every layer agrees with a plain
// bisection of the air kerma in long double, to the promised 1e-9.
TEST(BeamQuality, LayersOfA150kVSpectrumAgreeWithBisection) {
  const GridArray mu_al = Table([](double e) { return 30 * std::pow(e, -2.8) + 0.5; });
  const GridArray mu_cu = Table([](double e) { return 900 * std::pow(e, -2.7) + 2; });
  const GridArray air = Table([](double e) { return 4600 * std::pow(e, -3) + 0.022; });
  GridArray primary{};
  for (int i = 2; i <= kLastBin; ++i) {
    const double e = 0.5 * i;
    primary[i] = (150 - e) / (e * e) * std::exp(-0.25 * mu_al[i]);
  }
  const PrimaryQuality q = PrimaryBeamQuality(primary, kLastBin, mu_al, mu_cu, air);

  const auto kerma = [&](const GridArray& mu, long double t) {
    long double sum = 0;
    for (int i = 2; i <= kLastBin; ++i) {
      sum += primary[i] * (0.5L * i) * air[i] * std::exp(-mu[i] * t);
    }
    return sum;
  };
  const auto bisect = [&](const GridArray& mu, long double fraction) {
    long double thin = 0;
    long double thick = 100;
    const long double wanted = fraction * kerma(mu, 0);
    for (int step = 0; step < 200; ++step) {
      const long double mid = (thin + thick) / 2;
      (kerma(mu, mid) > wanted ? thin : thick) = mid;
    }
    return static_cast<double>(10 * (thin + thick) / 2);
  };
  const struct {
    const char* name;
    double actual;
    double expected;
  } rows[] = {
      {"HVL1 Al", q.hvl1_mm_al, bisect(mu_al, 0.5)},
      {"QVL Al", q.hvl1_mm_al + q.hvl2_mm_al, bisect(mu_al, 0.25)},
      {"HVL1 Cu", q.hvl1_mm_cu, bisect(mu_cu, 0.5)},
      {"QVL Cu", q.hvl1_mm_cu + q.hvl2_mm_cu, bisect(mu_cu, 0.25)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_NEAR(row.actual, row.expected, 1e-9 * row.expected);
  }
}

// --- scattered photons ---------------------------------------------------------------------------

// One primary bin at 100 keV scattered at 90°: E' = 100/(1 + 100/511). Air is 1/E, so a weight
// n·E·air is n itself; aluminium is (E/100)^p with p chosen so that μ(E') = 2 and μ(100) = 1,
// a power law that the log-log interpolation at E' reproduces exactly.
const double kScatteredEnergy = 100 / (1 + 100.0 / 511);
const double kPower = -kLn2 / std::log(100 / kScatteredEnergy);

struct ScatterInput {
  double incoherent_photons;
  double coherent;
  double common_maximum;
  double energy = kScatteredEnergy;
  GridArray mu_al = Table([](double e) { return std::pow(e / 100, kPower); });
  GridArray air = Table([](double e) { return 1 / e; });
};

ScatterResult ResultOf(const ScatterInput& in) {
  ScatterResult r;
  r.energy[200] = in.energy;
  r.incoherent_photons[200] = in.incoherent_photons;
  r.coherent[200] = in.coherent;
  r.common_maximum = in.common_maximum;
  return r;
}

struct ScatterCase {
  std::string name;
  ScatterInput input;
  ScatterQuality expected;
};

// The row's name, not its bytes, in test listings.
void PrintTo(const ScatterCase& row, std::ostream* out) { *out << row.name; }

class ScatterBeamQualityTest : public testing::TestWithParam<ScatterCase> {};

TEST_P(ScatterBeamQualityTest, MatchesHandWorkedFigures) {
  const ScatterCase& c = GetParam();
  const ScatterQuality q = ScatterBeamQuality(ResultOf(c.input), c.input.mu_al, c.input.air);
  ExpectRelative(q.incoherent_mean_energy_kev, c.expected.incoherent_mean_energy_kev,
                 "incoherent mean");
  ExpectRelative(q.coherent_mean_energy_kev, c.expected.coherent_mean_energy_kev, "coherent mean");
  ExpectRelative(q.coherent_share, c.expected.coherent_share, "coherent share");
  ExpectRelative(q.hvl1_mm_al, c.expected.hvl1_mm_al, "HVL1 Al");
}

INSTANTIATE_TEST_SUITE_P(
    BeamQuality, ScatterBeamQualityTest,
    testing::Values(
        // N = 2/4 = C = 0.5: K ∝ e^{-2t} + e^{-t}, the pair above.
        ScatterCase{"EqualShares", {2, 0.5, 4}, {kScatteredEnergy, 100, 0.5, 10 * kHalfOfPair}},
        // N = 6/4 = 1.5, C = 0.5: 1.5x² + 0.5x = 1 with x = e^{-t} gives x = 2/3, t = ln 1.5.
        ScatterCase{"ThreeQuartersIncoherent",
                    {6, 0.5, 4},
                    {kScatteredEnergy, 100, 0.25, 10 * std::log(1.5)}}),
    [](const auto& info) { return info.param.name; });

struct ScatterErrorCase {
  std::string name;
  ScatterInput input;
  std::string message;
};

// The row's name, not its bytes, in test listings.
void PrintTo(const ScatterErrorCase& row, std::ostream* out) { *out << row.name; }

class ScatterBeamQualityErrorTest : public testing::TestWithParam<ScatterErrorCase> {};

TEST_P(ScatterBeamQualityErrorTest, ThrowsNamingTheCause) {
  const ScatterErrorCase& c = GetParam();
  try {
    ScatterBeamQuality(ResultOf(c.input), c.input.mu_al, c.input.air);
    FAIL() << "no error";
  } catch (const BeamQualityError& error) {
    EXPECT_EQ(std::string(error.what()), c.message);
  }
}

ScatterInput WithoutAirNear(double energy) {
  ScatterInput in{2, 0.5, 4};
  in.air[static_cast<int>(2 * energy)] = 0;
  return in;
}

const char* const kNoMaximum =
    "the common maximum of the scatter run is not a finite positive number";

INSTANTIATE_TEST_SUITE_P(
    BeamQuality, ScatterBeamQualityErrorTest,
    testing::Values(
        ScatterErrorCase{"ZeroMaximum", {2, 0.5, 0}, kNoMaximum},
        ScatterErrorCase{"NaNMaximum", {2, 0.5, kNaN}, kNoMaximum},
        ScatterErrorCase{"NegativePhotons",
                         {-2, 0.5, 4},
                         "the incoherent photon count at bin 200 is negative or not finite"},
        ScatterErrorCase{"InfiniteCoherent",
                         {2, kInf, 4},
                         "the coherent spectrum at bin 200 is negative or not finite"},
        ScatterErrorCase{"PhotonsOverflowTheMaximum",
                         {1e300, 0.5, 1e-300},
                         "the normalised incoherent photons of bin 200 are not finite"},
        ScatterErrorCase{"ScatteredEnergyMissing",
                         {2, 0.5, 4, 0},
                         "no usable air energy-absorption coefficient at the scattered energy 0 "
                         "keV of bin 200"},
        ScatterErrorCase{"NoAirBesideTheScatteredEnergy", WithoutAirNear(kScatteredEnergy),
                         "no usable air energy-absorption coefficient at the scattered energy "
                         "83.6334 keV of bin 200"},
        ScatterErrorCase{
            "NoIncoherentPhotons", {0, 0.5, 4}, "the scatter run holds no incoherent photons"},
        ScatterErrorCase{
            "NoCoherentPhotons", {2, 0, 4}, "the scatter run holds no coherent photons"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace xscatter
