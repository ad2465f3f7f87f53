// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>

#include "model/grid.h"

namespace xscatter {

// Dry air on the energy grid (bins 1..300; element 0 unused), both in cm^2/g.
struct AirTable {
  GridArray mu_en_rho{};  // mass energy-absorption coefficient
  GridArray mu_rho{};     // mass attenuation coefficient
};

// Reads Air.csv from `data_folder`: 300 records of energy, mu_en/rho and mu/rho, none of them
// negative. Throws TableError; nothing partly read is returned.
AirTable LoadAirTable(const std::filesystem::path& data_folder);

}  // namespace xscatter
