// SPDX-License-Identifier: MIT
#pragma once

#include <vector>

#include "model/grid.h"
#include "model/physical_tables.h"

namespace xscatter {

// The five exposure conditions as numbers.
struct ExposureConditions {
  double kv = 100;
  double target_angle_deg = 12;
  double inherent_mm_al = 2.5;
  double al_mm = 0;
  double cu_mm = 0;
};

// A further layer in the beam behind the inherent, aluminium and copper filters.
struct FilterLayer {
  GridArray mu_per_cm{};  // linear attenuation per bin, 1/cm
  double thickness_cm = 0;
};

struct PrimaryResult {
  GridArray spectrum{};    // bins 2..bin_count normalised to a maximum of 1, all others 0
  GridArray unfiltered{};  // bins 2..bin_count: the target's spectrum before filtration
  int bin_count = 0;       // Int(2 kV)
};

// The Tucker model of the tungsten target, the filters, and the normalisation to the largest bin.
// Throws ModelError when the conditions give no finite spectrum.
PrimaryResult ComputePrimary(const PhysicalTables& tables, const ExposureConditions& conditions,
                             const std::vector<FilterLayer>& filters = {});

// Depth coefficient D(kV) of the target model: the electron path scale in the self-absorption term.
double TuckerDepthCoefficient(double kv);

// Share K(kV) of the characteristic lines in per cent of the bremsstrahlung sum; 0 up to 70 kV.
double CharacteristicLineShare(double kv);

}  // namespace xscatter
