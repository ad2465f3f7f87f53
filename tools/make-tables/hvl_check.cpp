// SPDX-License-Identifier: MIT
// hvl-check: the first half-value layer, in mm aluminium, of the program's primary spectrum for a
// 20 degree tungsten target with 2.5 mm Al inherent filtration, a beryllium window (1 mm; 7 mm at
// 150 kV) and 95 cm of air, against published measurements. Run it in the working folder that holds
// Data/, or pass that folder.

#include <cstdio>
#include <exception>
#include <filesystem>
#include <vector>

#include "model/air_table.h"
#include "model/beam_quality.h"
#include "model/errors.h"
#include "model/materials.h"
#include "model/physical_tables.h"
#include "model/primary_model.h"
#include "model/table_messages.h"

namespace {

struct Measurement {
  double kv;
  double hvl_mm_al;
  double beryllium_mm;  // the window of the tube used
};

// First HVLs measured for a 20 degree tungsten target, 2.5 mm Al and 95 cm of air, behind a 1 mm
// beryllium window; the 150 kV beam came from a tube with a 7 mm window.
constexpr Measurement kMeasured[] = {
    {40, 1.36, 1}, {60, 2.02, 1}, {80, 2.59, 1}, {100, 3.23, 1}, {120, 3.88, 1}, {150, 5.01, 7},
};

constexpr double kTargetAngle = 20;
constexpr double kInherentAl = 2.5;  // mm
constexpr double kAirMm = 950;

int Check(const std::filesystem::path& data_folder) {
  const xscatter::PhysicalTables tables = xscatter::LoadPhysicalTables(data_folder);
  const xscatter::AirTable air = xscatter::LoadAirTable(data_folder);
  const std::vector<xscatter::Material> materials = xscatter::LoadMaterials(data_folder);

  std::printf("| kV | measured HVL (mm Al) | computed HVL (mm Al) | difference |\n");
  std::printf("|---:|---:|---:|---:|\n");
  for (const Measurement& measured : kMeasured) {
    const std::vector<xscatter::FilterLayer> window_and_air = {
        xscatter::MakeFilterLayer(*xscatter::FindMaterial(materials, "Be"), measured.beryllium_mm),
        xscatter::MakeFilterLayer(*xscatter::FindMaterial(materials, "air"), kAirMm)};
    const xscatter::PrimaryResult beam = xscatter::ComputePrimary(
        tables, {measured.kv, kTargetAngle, kInherentAl, 0, 0}, window_and_air);
    const xscatter::PrimaryQuality quality = xscatter::PrimaryBeamQuality(
        beam.spectrum, beam.bin_count, tables.mu_al, tables.mu_cu, air.mu_en_rho);
    std::printf("| %.0f | %.2f | %.2f | %+.1f %% |\n", measured.kv, measured.hvl_mm_al,
                quality.hvl1_mm_al, 100 * (quality.hvl1_mm_al / measured.hvl_mm_al - 1));
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2) {
    std::fprintf(stderr, "usage: hvl-check [WORKING_FOLDER]\n");
    return 2;
  }
  const std::filesystem::path working = argc == 2 ? argv[1] : ".";
  try {
    return Check(working / "Data");
  } catch (const xscatter::TableError& error) {
    std::fprintf(stderr, "hvl-check: %s\n", xscatter::DescribeTableError(error).c_str());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "hvl-check: %s\n", error.what());
  }
  return 1;
}
