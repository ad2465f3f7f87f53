// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

#include "model/grid.h"
#include "model/physical_tables.h"

namespace xscatter {

struct ComptonProfiles;

// Scatter of a primary spectrum by water at one angle, on the primary grid: bin i belongs to the
// primary photons of 0.5*i keV. Bins that were not scattered hold 0 everywhere. Doppler
// broadening (BroadenIncoherentScatter) puts the incoherent part on the grid of scattered energy
// instead: bin i then holds the photons scattered into 0.5*i keV +- 0.25 keV.
struct ScatterResult {
  GridArray energy{};              // keV of the incoherently scattered photon of bin i
  GridArray incoherent_photons{};  // incoherent photons of bin i, before the per-0.5 keV step
  GridArray incoherent{};          // incoherent fluence per 0.5 keV of scattered energy
  GridArray coherent{};            // coherent fluence at 0.5*i keV
  double common_maximum = 0;       // set by NormaliseScatter
};

// The incoherent model: fills energy, incoherent_photons and incoherent. `between_passes` runs once
// between the two passes (the screens let the window repaint there). Throws ScatterModelError.
void ComputeIncoherentScatter(const PhysicalTables& tables, const GridArray& primary, double theta,
                              ScatterResult& result,
                              const std::function<void()>& between_passes = {});

// The coherent model: fills coherent. Throws ScatterModelError.
void ComputeCoherentScatter(const PhysicalTables& tables, const GridArray& primary, double theta,
                            ScatterResult& result);

// Divides incoherent and coherent (bins 2..300) by their common maximum; quotients at or below
// 1e-100 become 0. Throws NormalisationError when the maximum is not a finite positive number or
// a quotient is not finite.
void NormaliseScatter(ScatterResult& result);

// Both models and the normalisation; theta in radians. With `doppler`, the incoherent spectrum is
// broadened by these profiles before the normalisation.
ScatterResult ComputeScatter(const PhysicalTables& tables, const GridArray& primary, double theta,
                             const ComptonProfiles* doppler = nullptr);

}  // namespace xscatter
