// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "model/grid.h"
#include "model/primary_model.h"

namespace xscatter {

// A filter material of Materials.csv.
struct Material {
  std::string name;
  double density = 0;  // g/cm^3
  GridArray mu_rho{};  // mass attenuation per bin (1..300), cm^2/g
};

// Reads Materials.csv from `data_folder`: record 1 is the number M of materials (1..100), then M
// records of name, density and mu/rho at bins 1..300. Names must be non-empty and unique ignoring
// ASCII case, densities positive, mu/rho not negative. Throws TableError.
std::vector<Material> LoadMaterials(const std::filesystem::path& data_folder);

// The material named `name`, ignoring ASCII case; nullptr when there is none.
const Material* FindMaterial(const std::vector<Material>& materials, std::string_view name);

// The material as a filter of `thickness_mm`: mu/rho times density per cm, thickness in cm.
FilterLayer MakeFilterLayer(const Material& material, double thickness_mm);

}  // namespace xscatter
