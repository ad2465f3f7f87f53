// SPDX-License-Identifier: MIT
#include "model/hvl_match.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "model/beam_quality.h"

namespace xscatter {
namespace {

GridArray Table(const std::function<double(double)>& f) {
  GridArray table{};
  for (int i = 1; i <= kLastBin; ++i) table[i] = f(0.5 * i);
  return table;
}

// Smooth tables shaped like tungsten, aluminium, copper and air: falling as about E^-3 above a
// constant scattering part, no edges.
PhysicalTables SmoothTables() {
  PhysicalTables t;
  t.mu_target = Table([](double e) { return 19.3 * (0.1 + 6000 / std::pow(e, 2.7)); });
  t.mu_al = Table([](double e) { return 2.699 * (0.15 + 1000 / std::pow(e, 3)); });
  t.mu_cu = Table([](double e) { return 8.96 * (0.15 + 12000 / std::pow(e, 2.8)); });
  return t;
}
const GridArray kSmoothAir = Table([](double e) { return 0.02 + 2500 / std::pow(e, 3); });

double FirstHvl(const PrimaryQuality& q, HvlMetal metal) {
  return metal == HvlMetal::Aluminium ? q.hvl1_mm_al : q.hvl1_mm_cu;
}

// The figures of the primary model with `added` mm of the metal, as the batch report computes
// them: an independent check of the thickness found.
PrimaryQuality Figures(const PhysicalTables& tables, ExposureConditions conditions,
                       const std::vector<FilterLayer>& filters, const GridArray& air,
                       HvlMetal metal, double added) {
  (metal == HvlMetal::Aluminium ? conditions.al_mm : conditions.cu_mm) = added;
  const PrimaryResult beam = ComputePrimary(tables, conditions, filters);
  return PrimaryBeamQuality(beam.spectrum, beam.bin_count, tables.mu_al, tables.mu_cu, air);
}

// A beam of two bins: A, attenuated by the metal with mu, and B, which the metal does not
// attenuate at all. With air kerma weights a and b before any metal, t cm of metal leave
// a·e^{-mu t} and b, and the first HVL h solves a·e^{-mu t}·e^{-mu h} + b = (a·e^{-mu t} + b)/2:
//   e^{-mu h} = 1/2 − (b/2a)·e^{mu t},  so  t = ln((a/b)·(1 − 2 e^{-mu h})) / mu.
// The test picks t, computes h from the first line, and expects the solver to find t.
struct TwoBinRow {
  const char* name;
  HvlMetal metal;
  double mu_per_cm;
  double added_mm;  // the thickness the solver should find
};

class TwoBinBeam : public ::testing::TestWithParam<TwoBinRow> {};

TEST_P(TwoBinBeam, ThicknessFollowsFromTheExponential) {
  const TwoBinRow& row = GetParam();
  constexpr int kBinA = 80;   // 40 keV
  constexpr int kBinB = 120;  // 60 keV
  PhysicalTables tables = SmoothTables();
  GridArray& mu = row.metal == HvlMetal::Aluminium ? tables.mu_al : tables.mu_cu;
  mu[kBinA] = row.mu_per_cm;
  mu[kBinB] = 0;
  // A layer that removes every other bin completely (e^-5000 is 0 in double) and brings B's
  // weight to a tenth of A's, so that with nothing added the quarter-value layers exist.
  const GridArray air = Table([](double) { return 1.0; });
  FilterLayer layer{Table([](double) { return 5000.0; }), 1};
  layer.mu_per_cm[kBinA] = layer.mu_per_cm[kBinB] = 0;
  const ExposureConditions conditions{100, 12, 2.5, 7, 0.3};
  const auto weights = [&](const std::vector<FilterLayer>& filters) {
    ExposureConditions bare = conditions;
    (row.metal == HvlMetal::Aluminium ? bare.al_mm : bare.cu_mm) = 0;
    const PrimaryResult beam = ComputePrimary(tables, bare, filters);
    for (int i = 2; i <= beam.bin_count; ++i) {
      if (i != kBinA && i != kBinB) {
        EXPECT_EQ(beam.spectrum[i], 0) << "bin " << i;
      }
    }
    return std::pair{beam.spectrum[kBinA] * 40, beam.spectrum[kBinB] * 60};
  };
  const auto [a0, b0] = weights({layer});
  layer.mu_per_cm[kBinB] = std::max(0.0, std::log(10 * b0 / a0));
  const auto [a, b] = weights({layer});
  ASSERT_NEAR(b / a, 0.1, 1e-12);

  const double t = row.added_mm / 10;
  const double hvl_mm =
      -10 * std::log(0.5 - b / (2 * a) * std::exp(row.mu_per_cm * t)) / row.mu_per_cm;
  const HvlMatch match = MatchHvl(tables, conditions, {layer}, air, row.metal, hvl_mm);
  // Near 0 mm the HVL changes slowly with the thickness, so 10 nm stands for the 1e-6 there.
  EXPECT_NEAR(match.added_mm, row.added_mm, 1e-5 * row.added_mm + 1e-5);
  // The HVL of the thickness found, from the closed form, meets the target to 1e-6.
  const double found_hvl_mm =
      -10 * std::log(0.5 - b / (2 * a) * std::exp(row.mu_per_cm * match.added_mm / 10)) /
      row.mu_per_cm;
  EXPECT_NEAR(found_hvl_mm, hvl_mm, 1e-6 * hvl_mm);
  EXPECT_NEAR(match.hvl1_mm, hvl_mm, 1e-6 * hvl_mm);
}

// At the limit (10 cm Al, 1 cm Cu) mu·t exceeds ln 10, where B alone keeps half the air kerma:
// the metal can no longer halve the beam, which counts as infinitely hard.
INSTANTIATE_TEST_SUITE_P(
    HvlMatch, TwoBinBeam,
    ::testing::Values(TwoBinRow{"Aluminium", HvlMetal::Aluminium, 1.0, 12.5},
                      TwoBinRow{"AluminiumNearlyNothing", HvlMetal::Aluminium, 1.0, 0.01},
                      TwoBinRow{"AluminiumClosestToTheTurn", HvlMetal::Aluminium, 0.25, 88},
                      TwoBinRow{"Copper", HvlMetal::Copper, 10.0, 0.8},
                      TwoBinRow{"CopperSteep", HvlMetal::Copper, 30.0, 0.7}),
    [](const auto& info) { return std::string(info.param.name); });

// A 100 kV beam of the smooth tables behind 2.5 mm Al and a further layer of "air".
struct NormalBeam {
  PhysicalTables tables = SmoothTables();
  ExposureConditions conditions{100, 12, 2.5, 3, 0.2};
  std::vector<FilterLayer> filters{
      {Table([](double e) { return 1.2e-3 * (0.15 + 3000 / (e * e * e)); }), 95}};
};

struct NormalRow {
  const char* name;
  HvlMetal metal;
  double added_mm;  // the thickness whose first HVL is the target
};

class NormalBeamMatch : public ::testing::TestWithParam<NormalRow> {};

TEST_P(NormalBeamMatch, FindsTheThicknessWhoseFiguresGiveTheTarget) {
  const NormalRow& row = GetParam();
  const NormalBeam beam;
  const double target = FirstHvl(
      Figures(beam.tables, beam.conditions, beam.filters, kSmoothAir, row.metal, row.added_mm),
      row.metal);
  const HvlMatch match =
      MatchHvl(beam.tables, beam.conditions, beam.filters, kSmoothAir, row.metal, target);
  // Checked through the report's own figures, not the solver's value.
  const double reported = FirstHvl(
      Figures(beam.tables, beam.conditions, beam.filters, kSmoothAir, row.metal, match.added_mm),
      row.metal);
  EXPECT_NEAR(reported, target, 1e-6 * target);
  EXPECT_NEAR(match.hvl1_mm, reported, 1e-8 * target);
  EXPECT_NEAR(match.added_mm, row.added_mm, 1e-4 * row.added_mm + 1e-9);
}

INSTANTIATE_TEST_SUITE_P(HvlMatch, NormalBeamMatch,
                         ::testing::Values(NormalRow{"Aluminium", HvlMetal::Aluminium, 3.7},
                                           NormalRow{"AluminiumAtTheLimit", HvlMetal::Aluminium,
                                                     100},
                                           NormalRow{"NothingAdded", HvlMetal::Aluminium, 0},
                                           NormalRow{"Copper", HvlMetal::Copper, 0.25},
                                           NormalRow{"CopperThick", HvlMetal::Copper, 6}),
                         [](const auto& info) { return std::string(info.param.name); });

// Unreachable targets carry the HVL that bounds them, which the figures of 0 mm and of the limit
// give, and the limit itself.
TEST(HvlMatch, UnreachableTargetsNameTheBoundTheyMiss) {
  const NormalBeam beam;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    const char* name;
    HvlMetal metal;
    double target;
    HvlMatchFault::Kind kind;
    double bound_added_mm;  // the thickness whose HVL is reported as reachable; < 0: none
  } rows[] = {
      {"SofterThanBareAl", HvlMetal::Aluminium, 0.01, HvlMatchFault::Kind::SofterThanUnfiltered, 0},
      {"HarderThanLimitAl", HvlMetal::Aluminium, 1000, HvlMatchFault::Kind::HarderThanLimit, 100},
      {"SofterThanBareCu", HvlMetal::Copper, 1e-4, HvlMatchFault::Kind::SofterThanUnfiltered, 0},
      {"HarderThanLimitCu", HvlMetal::Copper, 50, HvlMatchFault::Kind::HarderThanLimit, 10},
      {"Zero", HvlMetal::Aluminium, 0, HvlMatchFault::Kind::TargetNotPositive, -1},
      {"Negative", HvlMetal::Copper, -1, HvlMatchFault::Kind::TargetNotPositive, -1},
      {"NaN", HvlMetal::Aluminium, nan, HvlMatchFault::Kind::TargetNotPositive, -1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    try {
      MatchHvl(beam.tables, beam.conditions, beam.filters, kSmoothAir, row.metal, row.target);
      ADD_FAILURE() << "no error";
    } catch (const HvlMatchError& error) {
      EXPECT_EQ(error.fault.kind, row.kind);
      EXPECT_EQ(error.fault.metal, row.metal);
      EXPECT_EQ(error.fault.limit_mm, row.metal == HvlMetal::Aluminium ? 100 : 10);
      if (row.bound_added_mm >= 0) {
        EXPECT_EQ(error.fault.target_mm, row.target);
        EXPECT_NEAR(error.fault.reachable_mm,
                    FirstHvl(Figures(beam.tables, beam.conditions, beam.filters, kSmoothAir,
                                     row.metal, row.bound_added_mm),
                             row.metal),
                    1e-12);
      }
    }
  }
}

TEST(HvlMatch, FaultsReadAsEnglishSentences) {
  using Kind = HvlMatchFault::Kind;
  const struct {
    HvlMatchFault fault;
    const char* text;
  } rows[] = {
      {{Kind::SofterThanUnfiltered, HvlMetal::Aluminium, 0.5, 1.23456789, 100},
       "a first HVL of 0.5 mm Al is softer than the beam without added aluminium (1.23457 mm Al)"},
      {{Kind::HarderThanLimit, HvlMetal::Copper, 12, 3.25, 10},
       "a first HVL of 12 mm Cu is harder than 10 mm Cu of added copper can make the beam "
       "(3.25 mm Cu)"},
      {{Kind::TargetNotPositive, HvlMetal::Aluminium, -2, 0, 100},
       "a first HVL of -2 mm Al cannot be matched: the HVL must be a positive number"},
  };
  for (const auto& row : rows) EXPECT_EQ(DescribeHvlMatchFault(row.fault), row.text);
}

}  // namespace
}  // namespace xscatter
