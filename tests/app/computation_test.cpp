// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>

#include "app/computation.h"
#include "app/entries.h"
#include "app/file_set.h"
#include "app/table_set.h"
#include "model/errors.h"
#include "tests/support/files.h"

namespace xscatter {
namespace {

namespace fs = std::filesystem;

PhysicalTables TestTables() {
  testing::TempFolder folder;
  testing::WriteTestTables(folder.path);
  return LoadPhysicalTables(folder.path / "Data");
}

Refusal RefusalOf(const auto& run) {
  try {
    run();
  } catch (const ConditionError& error) {
    return error.refusal;
  }
  ADD_FAILURE() << "nothing was refused";
  return Refusal::NotComputable;
}

TEST(ComputeRuns, DefaultRunGivesTheIndependentImplementationsFiles) {
  const PhysicalTables tables = TestTables();
  const PrimaryResult primary = ComputePrimaryRun(tables, ExposureConditions{});
  const ScatterResult scatter = ComputeScatterRun(tables, primary.spectrum, 90);
  FileSet files = PrimaryFileSet(primary.spectrum);
  for (auto& file : ScatterFileSet(scatter)) files.push_back(file);
  ASSERT_EQ(files.size(), 3u);
  for (const auto& [name, content] : files) {
    EXPECT_EQ(content, testing::ReadFile(fs::path(XSCATTER_REFERENCE_DIR) / name)) << name;
  }
}

TEST(ComputeRuns, RefusalsAndUncomputableConditions) {
  const PhysicalTables tables = TestTables();
  const struct {
    const char* name;
    ExposureConditions conditions;
    Refusal refusal;
  } rows[] = {
      {"voltage", {30, 12, 2.5, 0, 0}, Refusal::VoltageOutOfRange},
      {"target 90", {100, 90, 2.5, 0, 0}, Refusal::TargetAngle},
      {"negative copper", {100, 12, 2.5, 0, -1e6}, Refusal::AddedCopper},
      {"huge aluminium", {100, 12, 2.5, 1e6, 0}, Refusal::NotComputable},
      {"huge inherent filtration", {100, 12, 1e308, 0, 0}, Refusal::NotComputable},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(RefusalOf([&] { ComputePrimaryRun(tables, row.conditions); }), row.refusal)
        << row.name;
  }
  const PrimaryResult primary = ComputePrimaryRun(tables, {});
  EXPECT_EQ(RefusalOf([&] { ComputeScatterRun(tables, primary.spectrum, 4.9); }),
            Refusal::ScatterAngleOutOfRange);
}

TEST(ComputeRuns, NormalisedIncoherentPhotonsAreOnTheFilesScale) {
  const PhysicalTables tables = TestTables();
  const ScatterResult scatter =
      ComputeScatterRun(tables, ComputePrimaryRun(tables, {}).spectrum, 60);
  const GridArray photons = NormalisedIncoherentPhotons(scatter);
  for (int i = 1; i <= kLastBin; ++i) {
    EXPECT_EQ(photons[i], scatter.incoherent_photons[i] / scatter.common_maximum) << i;
  }
}

// Broadening moves the scattered photons in energy and keeps their number; the coherent spectrum
// stays as it is up to the common maximum.
TEST(ComputeRuns, DopplerBroadeningKeepsThePhotons) {
  const TableSet tables(XSCATTER_DATA_DIR);
  const PrimaryResult primary = ComputePrimaryRun(tables.Physical(), {});
  const ScatterResult plain = ComputeScatterRun(tables.Physical(), primary.spectrum, 90);
  const ScatterResult broadened =
      ComputeScatterRun(tables.Physical(), primary.spectrum, 90, &tables.WaterCompton());
  double plain_photons = 0, broadened_photons = 0;
  for (int i = 1; i <= kLastBin; ++i) {
    plain_photons += plain.incoherent_photons[i] / plain.common_maximum;
    broadened_photons += broadened.incoherent_photons[i] / broadened.common_maximum;
    EXPECT_DOUBLE_EQ(plain.coherent[i] * plain.common_maximum,
                     broadened.coherent[i] * broadened.common_maximum)
        << i;
  }
  const double scale = plain.common_maximum / broadened.common_maximum;
  EXPECT_NEAR(broadened_photons / scale / plain_photons, 1, 1e-12);
}

}  // namespace
}  // namespace xscatter
