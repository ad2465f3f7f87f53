// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include "model/air_table.h"
#include "model/compton_profiles.h"
#include "model/errors.h"
#include "model/materials.h"
#include "model/physical_tables.h"

namespace xscatter {

// The tables of one data folder, read once and shared read-only by every spectrum computed from
// them (also from several threads). The folder is made absolute and every table is read when the
// set is made, so a later change of the working folder changes nothing. Mus.dat, Water.csv and
// Water.xfs are needed by every spectrum; Air.csv (for the figures), Materials.csv (for further
// filters) and WaterCompton.csv (for Doppler broadening) may be missing or broken, and their error
// is raised when they are asked for.
class TableSet {
 public:
  // Throws TableError for the three spectrum tables.
  explicit TableSet(const std::filesystem::path& folder);

  const std::filesystem::path& Folder() const { return folder_; }
  const PhysicalTables& Physical() const { return physical_; }
  // Both throw the TableError of their table.
  const AirTable& Air() const;
  const std::vector<Material>& Materials() const;
  const ComptonProfiles& WaterCompton() const;

 private:
  std::filesystem::path folder_;
  PhysicalTables physical_;
  std::optional<AirTable> air_;
  std::optional<TableError> air_error_;
  std::optional<std::vector<Material>> materials_;
  std::optional<TableError> materials_error_;
  std::optional<ComptonProfiles> compton_;
  std::optional<TableError> compton_error_;
};

}  // namespace xscatter
