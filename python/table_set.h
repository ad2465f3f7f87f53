#pragma once

#include <filesystem>

#include "model/physical_tables.h"

namespace xscatter::python {

// The tables of one data folder, loaded once and then shared read-only by every spectrum computed
// from them (also while the models run without the interpreter lock).
class TableSet {
 public:
  // Throws TableError with the program's message.
  explicit TableSet(std::filesystem::path folder);

  const std::filesystem::path& Folder() const { return folder_; }
  const PhysicalTables& Physical() const { return physical_; }

 private:
  std::filesystem::path folder_;
  PhysicalTables physical_;
};

// The shipped tables for a module file at `module_file`: the installation prefix's
// share/xscatter/Data (the module lies in <prefix>/lib/python3/dist-packages), or `source_data`
// when the module is the one in the build folder `build_module_dir`.
std::filesystem::path DefaultTableFolder(const std::filesystem::path& module_file,
                                         const std::filesystem::path& build_module_dir,
                                         const std::filesystem::path& source_data);

}  // namespace xscatter::python
