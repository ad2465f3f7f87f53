// SPDX-License-Identifier: MIT
#include "app/table_set.h"

#include <system_error>

namespace xscatter {
namespace {

namespace fs = std::filesystem;

fs::path Absolute(const fs::path& folder) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(folder, ec);
  return ec ? folder : absolute.lexically_normal();
}

}  // namespace

TableSet::TableSet(const fs::path& folder)
    : folder_(Absolute(folder)), physical_(LoadPhysicalTables(folder_)) {
  try {
    air_ = LoadAirTable(folder_);
  } catch (const TableError& error) {
    air_error_ = error;
  }
  try {
    materials_ = LoadMaterials(folder_);
  } catch (const TableError& error) {
    materials_error_ = error;
  }
  try {
    compton_ = LoadComptonProfiles(folder_);
  } catch (const TableError& error) {
    compton_error_ = error;
  }
}

const AirTable& TableSet::Air() const {
  if (!air_) throw *air_error_;
  return *air_;
}

const std::vector<Material>& TableSet::Materials() const {
  if (!materials_) throw *materials_error_;
  return *materials_;
}

const ComptonProfiles& TableSet::WaterCompton() const {
  if (!compton_) throw *compton_error_;
  return *compton_;
}

}  // namespace xscatter
