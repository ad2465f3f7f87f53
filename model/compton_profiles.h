// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <filesystem>
#include <vector>

namespace xscatter {

// The shells of the water molecule whose electrons scatter incoherently: H 1s (both hydrogen
// atoms), O 1s, O 2s and O 2p, in this order.
inline constexpr int kComptonShells = 4;
// Rows of the momentum grid in WaterCompton.csv.
inline constexpr int kComptonProfileRows = 336;

// Compton profiles J(pz) of one molecule's shells: the distribution of the electrons' momentum
// component along the momentum transfer, even in pz, so only pz >= 0 is held.
struct ComptonProfiles {
  std::array<double, kComptonShells> electrons{};    // per molecule
  std::array<double, kComptonShells> binding_kev{};  // ionisation energy of the shell
  std::vector<double> pz;  // atomic units, from 0 ascending; J is 0 beyond the last row
  std::array<std::vector<double>, kComptonShells> j;  // per electron, 1/atomic unit, at pz
};

// Reads WaterCompton.csv from `data_folder`: four shell records (electrons above 0, binding
// energy in keV not below 0), then kComptonProfileRows records of pz and the four profiles (pz
// first 0 and then rising, profiles not below 0). Throws TableError; nothing partly read is
// returned.
ComptonProfiles LoadComptonProfiles(const std::filesystem::path& data_folder);

}  // namespace xscatter
