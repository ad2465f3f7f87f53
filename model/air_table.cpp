// SPDX-License-Identifier: MIT
#include "model/air_table.h"

#include "model/table_reader.h"

namespace xscatter {

AirTable LoadAirTable(const std::filesystem::path& data_folder) {
  // A coefficient below 0 would make air amplify the beam.
  const auto columns =
      ReadTableColumns(data_folder, {"Air.csv", kLastBin, 3, {2, 3}, /*not_negative=*/true});
  AirTable air;
  air.mu_en_rho = ColumnArray<kLastBin + 1>(columns[0]);
  air.mu_rho = ColumnArray<kLastBin + 1>(columns[1]);
  return air;
}

}  // namespace xscatter
