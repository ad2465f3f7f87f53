// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>

#include "model/grid.h"

namespace xscatter {

// The eight arrays of the three tables in Data/: Mus.dat fields 2..4, Water.csv fields 2..3 and
// Water.xfs fields 1..3, indexed like the grid (bins 1..300, rows 1..45; element 0 unused).
struct PhysicalTables {
  GridArray mu_target{};         // 1/cm
  GridArray mu_al{};             // 1/cm
  GridArray mu_cu{};             // 1/cm
  GridArray water_coherent{};    // weight of the coherent model
  GridArray water_incoherent{};  // weight of the incoherent model
  TableArray scatter_x{};        // 1/Angstrom, ascending
  TableArray coherent_f{};
  TableArray incoherent_s{};
};

// Reads Mus.dat, Water.csv and Water.xfs from `data_folder`. Throws TableError; nothing partly
// read is returned.
PhysicalTables LoadPhysicalTables(const std::filesystem::path& data_folder);

}  // namespace xscatter
