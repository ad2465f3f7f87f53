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

// Both absent, or both present and equal to a relative precision.
void ExpectNear(const std::string& what, std::optional<double> actual,
                std::optional<double> expected, double relative = 1e-9) {
  SCOPED_TRACE(what);
  ASSERT_EQ(actual.has_value(), expected.has_value());
  if (actual) {
    EXPECT_NEAR(*actual, *expected, relative * std::fabs(*expected));
  }
}

std::optional<double> Thickness(const std::vector<BeamComponent>& beam, double fraction) {
  return TransmissionThickness(beam, fraction);
}

// TransmissionThickness to 1e-9, the table look-ups to 1e-12; absent where there is no answer.
TEST(BeamQuality, SolversAndLookUpsMatchHandWorkedValues) {
  // 3 at 0.5 keV, 4 and 1 at 10 and 10.5 keV, 9 at 150 keV and 0 elsewhere.
  const GridArray sparse = Spectrum({{20, 4}, {21, 1}, {300, 9}, {1, 3}});
  const GridArray power = Table([](double e) { return 7 * std::pow(e, -2.8); });
  // Falls as 1/E, then jumps by a factor 4 at 40 keV like an absorption edge.
  const GridArray edge = Table([](double e) { return (e < 40 ? 20 : 80) / e; });
  const struct {
    const char* name;
    std::optional<double> actual, expected;
    double relative = 1e-9;
  } rows[] = {
      {"Thickness/EqualPairHalf", Thickness({{1, 0.7}, {1, 1.4}}, 0.5), kHalfOfPair / 0.7},
      {"Thickness/EqualPairQuarter", Thickness({{1, 0.7}, {1, 1.4}}, 0.25), kQuarterOfPair / 0.7},
      // (1 + 2e^{-1.5t})/3 = 1/2: e^{-1.5t} = 1/4.
      {"Thickness/UnattenuatedThird", Thickness({{1, 0}, {2, 1.5}}, 0.5), std::log(4.0) / 1.5},
      {"Thickness/WeightlessComponentIgnored", Thickness({{0, 100}, {5, 1}}, 0.5), kLn2},
      {"Thickness/HugeWeightsDoNotOverflow", Thickness({{1e300, 0.7}, {1e300, 1.4}}, 0.5),
       kHalfOfPair / 0.7},
      {"Thickness/TinyCoefficient", Thickness({{1, 1e-300}}, 0.5), kLn2 / 1e-300},
      {"Thickness/NoWeight", Thickness({{0, 1}, {0, 2}}, 0.5), std::nullopt},
      {"Thickness/NothingAttenuated", Thickness({{1, 0}}, 0.5), std::nullopt},
      {"Thickness/UnattenuatedHalfNeverHalves", Thickness({{1, 0}, {1, 5}}, 0.5), std::nullopt},
      {"Thickness/NegativeWeight", Thickness({{-1, 1}, {2, 1}}, 0.5), std::nullopt},
      {"Thickness/NegativeCoefficient", Thickness({{1, -1}}, 0.5), std::nullopt},
      {"Thickness/NaNCoefficient", Thickness({{1, kNaN}}, 0.5), std::nullopt},
      {"Thickness/FractionZero", Thickness({{1, 1}}, 0), std::nullopt},
      {"Thickness/FractionNaN", Thickness({{1, 1}}, kNaN), std::nullopt},
      {"Thickness/BeyondTheRangeOfDouble", Thickness({{1, 1e-310}}, 0.5), std::nullopt},
      // At the geometric mean of 10 and 10.5 keV the value is the geometric mean of 4 and 1.
      {"LogLog/GeometricMeanBetweenBins", LogLogTable(sparse).At(std::sqrt(10 * 10.5)), 2, 1e-12},
      {"LogLog/PowerLawIsExact", LogLogTable(power).At(83.6334), 7 * std::pow(83.6334, -2.8),
       1e-12},
      {"LogLog/OnABinBesideZero", LogLogTable(sparse).At(10), 4, 1e-12},
      {"LogLog/FirstBin", LogLogTable(sparse).At(0.5), 3, 1e-12},
      {"LogLog/TopOfTheGrid", LogLogTable(sparse).At(150), 9, 1e-12},
      {"LogLog/BetweenZeroValues", LogLogTable(sparse).At(10.7), std::nullopt},
      {"LogLog/BelowTheGrid", LogLogTable(power).At(0.49), std::nullopt},
      {"LogLog/AboveTheGrid", LogLogTable(power).At(150.01), std::nullopt},
      {"LogLog/NotANumber", LogLogTable(power).At(kNaN), std::nullopt},
      // mu = 1 is met at 20 keV below the edge and again at 80 keV above it.
      {"Effective/FirstOfTwoCrossings", EffectiveEnergy(edge, kLn2 / 1.0), 20, 1e-12},
      // mu = 0.77 is met between bins 51 and 52 below the edge; 1/E is exact in log-log.
      {"Effective/BetweenBins", EffectiveEnergy(edge, kLn2 / 0.77), 20 / 0.77, 1e-12},
      // Above the table's largest value in bins 16..300 (2.5 at 8 keV); below its smallest.
      {"Effective/SofterThanTheTable", EffectiveEnergy(edge, kLn2 / 3.0), std::nullopt},
      {"Effective/HarderThanTheTable", EffectiveEnergy(edge, kLn2 / 0.5), std::nullopt},
      {"Effective/ZeroLayer", EffectiveEnergy(edge, 0), std::nullopt},
  };
  for (const auto& row : rows) ExpectNear(row.name, row.actual, row.expected, row.relative);
}

// Aluminium attenuates as 20/E per cm and copper three times as much, so every copper layer is a
// third of the aluminium one; air is 1 in every bin, so a bin's air kerma weight is φ·E.
struct PrimaryInput {
  GridArray primary;
  int bin_count;
  GridArray mu_al = Table([](double e) { return 20 / e; });
  GridArray mu_cu = Table([](double e) { return 60 / e; });
  GridArray air = Table([](double) { return 1.0; });
};

PrimaryQuality QualityOf(const PrimaryInput& in) {
  return PrimaryBeamQuality(in.primary, in.bin_count, in.mu_al, in.mu_cu, in.air);
}

// The message of the BeamQualityError that the figures of `in` throw.
template <class Input>
std::string ErrorOf(const Input& in) {
  try {
    QualityOf(in);
  } catch (const BeamQualityError& error) {
    return error.what();
  }
  return "no error";
}

PrimaryInput With(PrimaryInput in, GridArray PrimaryInput::*table, int bin, double value) {
  (in.*table)[bin] = value;
  return in;
}

TEST(BeamQuality, PrimaryFiguresMatchHandWorkedValues) {
  // φ = 1 at 20 keV and 0.5 at 40 keV: equal air kerma weights 20 and 20, μAl = 1 and 0.5, so
  // K(t) ∝ e^{-0.5t} + e^{-t}. μeff = 0.5·ln2/ln φ where 20/E meets it: E = 40·ln φ/ln 2.
  const PrimaryInput two_bins{Spectrum({{40, 1}, {80, 0.5}}), 80};
  // One bin at 5 keV: μAl = 4, above every value of bins 16..300 (at most 20/8 = 2.5).
  const PrimaryInput soft{Spectrum({{10, 0.3}}), 10};
  // A 50 keV bin and a 100 keV bin without air, which counts in the fluence mean alone.
  const PrimaryInput no_air =
      With({Spectrum({{100, 1}, {200, 1}}), 200}, &PrimaryInput::air, 200, 0);
  // One bin at 50 keV and nothing readable above the last bin.
  PrimaryInput nan_above{Spectrum({{100, 1}}), 120};
  for (int i = 121; i <= kLastBin; ++i) nan_above.primary[i] = kNaN;
  // One bin at 50 keV: μAl = 0.4, HVL = ln2/μ and QVL = 2·ln2/μ, so HVL2 = HVL1; the effective
  // energy is the bin's own.
  const double at_50 = 10 * kLn2 / 0.4;
  const struct {
    const char* name;
    const PrimaryInput& input;
    double mean, kerma_mean, hvl1_mm_al, hvl2_mm_al;
    std::optional<double> effective;
  } rows[] = {
      {"TwoBinsMuAndTwoMu", two_bins, 40 / 1.5, 30, 10 * kHalfOfPair / 0.5,
       10 * (kQuarterOfPair - kHalfOfPair) / 0.5, 40 * kHalfOfPair / kLn2},
      {"SoftBeamHasNoEffectiveEnergy", soft, 5, 5, 10 * kLn2 / 4, 10 * kLn2 / 4, std::nullopt},
      {"BinWithoutAirCountsOnlyInFluenceMean", no_air, 75, 50, at_50, at_50, 50},
      {"BinsAboveTheLastAreNotRead", nan_above, 50, 50, at_50, at_50, 50},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const PrimaryQuality q = QualityOf(row.input);
    const double homogeneity = row.hvl1_mm_al / row.hvl2_mm_al;
    EXPECT_EQ(q.bin_count, row.input.bin_count);
    ExpectNear("mean energy", q.mean_energy_kev, row.mean);
    ExpectNear("kerma mean energy", q.kerma_mean_energy_kev, row.kerma_mean);
    ExpectNear("HVL1 Al", q.hvl1_mm_al, row.hvl1_mm_al);
    ExpectNear("HVL2 Al", q.hvl2_mm_al, row.hvl2_mm_al);
    ExpectNear("homogeneity Al", q.homogeneity_al, homogeneity);
    ExpectNear("HVL1 Cu", q.hvl1_mm_cu, row.hvl1_mm_al / 3);
    ExpectNear("HVL2 Cu", q.hvl2_mm_cu, row.hvl2_mm_al / 3);
    ExpectNear("homogeneity Cu", q.homogeneity_cu, homogeneity);
    ExpectNear("effective energy", q.effective_energy_kev_al, row.effective);
  }
}

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

ScatterQuality QualityOf(const ScatterInput& in) {
  ScatterResult r;
  r.energy[200] = in.energy;
  r.incoherent_photons[200] = in.incoherent_photons;
  r.coherent[200] = in.coherent;
  r.common_maximum = in.common_maximum;
  return ScatterBeamQuality(r, in.mu_al, in.air);
}

TEST(BeamQuality, ScatterFiguresMatchHandWorkedValues) {
  const struct {
    const char* name;
    ScatterInput input;
    double coherent_share;
    double hvl1_mm_al;
  } rows[] = {
      // N = 2/4 = C = 0.5: K ∝ e^{-2t} + e^{-t}, the pair above.
      {"EqualShares", {2, 0.5, 4}, 0.5, 10 * kHalfOfPair},
      // N = 6/4 = 1.5, C = 0.5: 1.5x² + 0.5x = 1 with x = e^{-t} gives x = 2/3, t = ln 1.5.
      {"ThreeQuartersIncoherent", {6, 0.5, 4}, 0.25, 10 * std::log(1.5)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const ScatterQuality q = QualityOf(row.input);
    ExpectNear("incoherent mean", q.incoherent_mean_energy_kev, kScatteredEnergy);
    ExpectNear("coherent mean", q.coherent_mean_energy_kev, 100);
    ExpectNear("coherent share", q.coherent_share, row.coherent_share);
    ExpectNear("HVL1 Al", q.hvl1_mm_al, row.hvl1_mm_al);
  }
}

TEST(BeamQuality, BadInputThrowsNamingTheCause) {
  const PrimaryInput one_bin{Spectrum({{100, 1}}), 100};
  ScatterInput without_air{2, 0.5, 4};
  without_air.air[static_cast<int>(2 * kScatteredEnergy)] = 0;
  const char* const no_maximum =
      "the common maximum of the scatter run is not a finite positive number";
  const struct {
    const char* name;
    std::string error;
    const char* expected;
  } rows[] = {
      {"Primary/LastBinOne", ErrorOf(PrimaryInput{one_bin.primary, 1}),
       "the spectrum's last bin 1 lies outside 2..300"},
      {"Primary/LastBinPastTheGrid", ErrorOf(PrimaryInput{one_bin.primary, 301}),
       "the spectrum's last bin 301 lies outside 2..300"},
      {"Primary/NegativeBin", ErrorOf(With(one_bin, &PrimaryInput::primary, 50, -1)),
       "the primary spectrum at bin 50 is negative or not finite"},
      {"Primary/NaNBin", ErrorOf(With(one_bin, &PrimaryInput::primary, 2, kNaN)),
       "the primary spectrum at bin 2 is negative or not finite"},
      {"Primary/NaNAirInUse", ErrorOf(With(one_bin, &PrimaryInput::air, 100, kNaN)),
       "the air energy-absorption coefficient at bin 100 is negative or not finite"},
      {"Primary/InfiniteCopperInUse", ErrorOf(With(one_bin, &PrimaryInput::mu_cu, 100, kInf)),
       "the copper attenuation coefficient at bin 100 is negative or not finite"},
      {"Primary/AirKermaOverflows", ErrorOf(With(one_bin, &PrimaryInput::primary, 100, 1e307)),
       "the air kerma of bin 100 is not finite"},
      {"Primary/EmptySpectrum", ErrorOf(PrimaryInput{GridArray{}, 100}),
       "the spectrum carries no air kerma"},
      {"Primary/NoAirAnywhere", ErrorOf(With(one_bin, &PrimaryInput::air, 100, 0)),
       "the spectrum carries no air kerma"},
      {"Primary/AluminiumTransparent", ErrorOf(With(one_bin, &PrimaryInput::mu_al, 100, 0)),
       "aluminium never halves the air kerma"},
      {"Primary/CopperTransparent", ErrorOf(With(one_bin, &PrimaryInput::mu_cu, 100, 0)),
       "copper never halves the air kerma"},
      {"Scatter/ZeroMaximum", ErrorOf(ScatterInput{2, 0.5, 0}), no_maximum},
      {"Scatter/NaNMaximum", ErrorOf(ScatterInput{2, 0.5, kNaN}), no_maximum},
      {"Scatter/NegativePhotons", ErrorOf(ScatterInput{-2, 0.5, 4}),
       "the incoherent photon count at bin 200 is negative or not finite"},
      {"Scatter/InfiniteCoherent", ErrorOf(ScatterInput{2, kInf, 4}),
       "the coherent spectrum at bin 200 is negative or not finite"},
      {"Scatter/PhotonsOverflowTheMaximum", ErrorOf(ScatterInput{1e300, 0.5, 1e-300}),
       "the normalised incoherent photons of bin 200 are not finite"},
      {"Scatter/ScatteredEnergyMissing", ErrorOf(ScatterInput{2, 0.5, 4, 0}),
       "no usable air energy-absorption coefficient at the scattered energy 0 keV of bin 200"},
      {"Scatter/NoAirBesideTheScatteredEnergy", ErrorOf(without_air),
       "no usable air energy-absorption coefficient at the scattered energy 83.6334 keV of bin "
       "200"},
      {"Scatter/NoIncoherentPhotons", ErrorOf(ScatterInput{0, 0.5, 4}),
       "the scatter run holds no incoherent photons"},
      {"Scatter/NoCoherentPhotons", ErrorOf(ScatterInput{2, 0, 4}),
       "the scatter run holds no coherent photons"},
  };
  for (const auto& row : rows) EXPECT_EQ(row.error, row.expected) << row.name;
}

}  // namespace
}  // namespace xscatter
