// SPDX-License-Identifier: MIT
#include <filesystem>
#include <string>
#include <vector>

#include "model/errors.h"
#include "model/physical_tables.h"
#include "model/table_reader.h"
#include "output/number_format.h"

namespace xscatter {
namespace {

namespace fs = std::filesystem;

// The scatter models search the rows upward and interpolate on ln x: x must be positive and grow
// from row to row. Rows out of order (two rows swapped, a decimal comma shifting the fields)
// would otherwise give wrong spectra without any message.
void CheckAscendingX(const fs::path& data_folder, const TableArray& x) {
  for (int k = 1; k <= kTableRows; ++k) {
    if (k == 1 ? x[k] > 0 : x[k] > x[k - 1]) continue;
    TableError error(k == 1 ? TableFailure::NotPositive : TableFailure::NotAscending, "Water.xfs",
                     data_folder);
    error.record = k;
    error.field = 1;
    error.SetText(ShortestText(x[k]));
    if (k > 1) error.previous_text = ShortestText(x[k - 1]);
    throw error;
  }
}

}  // namespace

PhysicalTables LoadPhysicalTables(const fs::path& data_folder) {
  const auto mus = ReadTableColumns(data_folder, {"Mus.dat", kLastBin, 7, {2, 3, 4}});
  const auto water = ReadTableColumns(data_folder, {"Water.csv", kLastBin, 3, {2, 3}});
  const auto xfs = ReadTableColumns(data_folder, {"Water.xfs", kTableRows, 3, {1, 2, 3}});

  PhysicalTables tables;
  tables.mu_target = ColumnArray<kLastBin + 1>(mus[0]);
  tables.mu_al = ColumnArray<kLastBin + 1>(mus[1]);
  tables.mu_cu = ColumnArray<kLastBin + 1>(mus[2]);
  tables.water_coherent = ColumnArray<kLastBin + 1>(water[0]);
  tables.water_incoherent = ColumnArray<kLastBin + 1>(water[1]);
  tables.scatter_x = ColumnArray<kTableRows + 1>(xfs[0]);
  tables.coherent_f = ColumnArray<kTableRows + 1>(xfs[1]);
  tables.incoherent_s = ColumnArray<kTableRows + 1>(xfs[2]);
  CheckAscendingX(data_folder, tables.scatter_x);
  return tables;
}

}  // namespace xscatter
