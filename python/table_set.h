// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <mutex>
#include <optional>
#include <vector>

#include "model/air_table.h"
#include "model/materials.h"
#include "model/physical_tables.h"

namespace xscatter::python {

// The tables of one data folder, shared read-only by every spectrum computed from them (also
// while the models run without the interpreter lock). Mus.dat, Water.csv and Water.xfs, all the
// spectra need, are read at once; Air.csv (for the figures) and Materials.csv (for filters) at
// their first use, so a folder without them still gives spectra.
class TableSet {
 public:
  // Throws TableError.
  explicit TableSet(std::filesystem::path folder);

  const std::filesystem::path& Folder() const { return folder_; }
  const PhysicalTables& Physical() const { return physical_; }
  // Both throw TableError and try again at the next call.
  const AirTable& Air() const;
  const std::vector<Material>& Materials() const;

 private:
  std::filesystem::path folder_;
  PhysicalTables physical_;
  mutable std::mutex lazy_mutex_;
  mutable std::optional<AirTable> air_;
  mutable std::optional<std::vector<Material>> materials_;
};

// The shipped tables for a module file at `module_file`: the installation prefix's
// share/xscatter/Data (the module lies in <prefix>/lib/python3/dist-packages), or `source_data`
// when the module is the one in the build folder `build_module_dir`.
std::filesystem::path DefaultTableFolder(const std::filesystem::path& module_file,
                                         const std::filesystem::path& build_module_dir,
                                         const std::filesystem::path& source_data);

}  // namespace xscatter::python
