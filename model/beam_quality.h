// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <span>

#include "model/grid.h"
#include "model/scatter_models.h"

namespace xscatter {

// One part of a beam behind a layer: its weight in the measured quantity (air kerma, say) and the
// layer material's linear attenuation coefficient at its energy.
struct BeamComponent {
  double weight = 0;
  double mu_per_cm = 0;
};

// The thickness t in cm at which Σ weight·exp(−mu·t) falls to `fraction` (0 < fraction < 1) of
// its value at t = 0, to a relative precision of 1e-9 or better (0.5: the half-value layer). The
// sum falls strictly wherever some component with weight is attenuated, so the answer is unique.
// Absent when a weight or coefficient is negative or not finite, when no component has weight,
// when the unattenuated components alone keep the sum at or above the fraction, or when the
// thickness lies beyond the range of double.
std::optional<double> TransmissionThickness(std::span<const BeamComponent> beam, double fraction);

// An energy's place on the grid (0.5 to 150 keV): the bin j with 0.5·j ≤ E < 0.5·(j + 1), whether
// E lies on it, and ln E; found once for every table read at E. Absent outside the grid and for a
// non-finite energy.
struct GridPosition {
  static std::optional<GridPosition> Of(double energy_kev);
  int bin = 0;
  bool on_bin = false;
  double ln_energy = 0;  // taken only between bins
};

// A per-bin table read at any energy E: interpolated linearly in ln(value) against ln(E) between
// bins j and j + 1 of E's GridPosition; an energy on a bin gives that bin's value as it stands.
// At() is absent where E has no GridPosition or lies between two bins and either value is not
// positive. The logarithms of the values are taken once, when the table is made, for the many
// energies of many runs.
class LogLogTable {
 public:
  explicit LogLogTable(const GridArray& table);
  std::optional<double> At(double energy_kev) const;
  std::optional<double> At(const GridPosition& position) const;
  const GridArray& Values() const { return table_; }

 private:
  GridArray table_;
  GridArray ln_value_{};
};

// The energy at which the aluminium table equals ln 2 / hvl1_cm: the first pair of neighbouring
// bins from bin 16 upward whose (positive) values bracket it, interpolated linearly in ln(mu)
// against ln(E); a bin whose value equals it exactly gives that bin's energy. Aluminium attenuation
// falls with energy over 8..150 keV, so the first pair is the only one there. Absent when no pair
// brackets it.
std::optional<double> EffectiveEnergy(const GridArray& mu_al, double hvl1_cm);

// Figures of a primary spectrum φ(i), bins 2..bin_count at E = 0.5·i keV. Layers are weighted by
// air kerma k(i) = φ(i)·E·(μen/ρ)air(i). HVL2 is the quarter-value layer minus HVL1 and the
// homogeneity coefficient HVL1/HVL2.
struct PrimaryQuality {
  int bin_count = 0;
  double mean_energy_kev = 0;        // fluence-weighted
  double kerma_mean_energy_kev = 0;  // air-kerma-weighted
  double hvl1_mm_al = 0;
  double hvl2_mm_al = 0;
  double homogeneity_al = 0;
  double hvl1_mm_cu = 0;
  double hvl2_mm_cu = 0;
  double homogeneity_cu = 0;
  std::optional<double> effective_energy_kev_al;  // see EffectiveEnergy
};

// Throws BeamQualityError, naming the bin or the figure, when bin_count is outside 2..300, a
// spectrum or table value of a bin in use is negative or not finite, the spectrum carries no air
// kerma, or a material never brings the air kerma down to a quarter.
PrimaryQuality PrimaryBeamQuality(const GridArray& primary, int bin_count, const GridArray& mu_al,
                                  const GridArray& mu_cu, const GridArray& air_mu_en_rho);

// Figures of the scattered photons after a scatter run, on the coherent spectrum's normalised
// scale: N(i) = incoherent_photons(i) / common_maximum at E'(i) = energy(i), and C(i) = coherent(i)
// at 0.5·i keV. The HVL counts both kinds together, weighted by n·E·(μen/ρ)air(E) and attenuated
// by the aluminium table at E; values at E' come from LogLogTable.
struct ScatterQuality {
  double incoherent_mean_energy_kev = 0;
  double coherent_mean_energy_kev = 0;
  double coherent_share = 0;  // ΣC / (ΣC + ΣN)
  double hvl1_mm_al = 0;
};

// The tables the scatter figures read at scattered energies, made once for the runs of a sweep.
struct ScatterFigureTables {
  ScatterFigureTables(const GridArray& mu_al, const GridArray& air_mu_en_rho)
      : mu_al(mu_al), air_mu_en_rho(air_mu_en_rho) {}
  LogLogTable mu_al;
  LogLogTable air_mu_en_rho;
};

// Throws BeamQualityError when the common maximum is not a finite positive number, a value is
// negative or not finite, a scattered energy lies outside the grid or between bins whose table
// values are not positive, either kind of scatter holds no photons, or aluminium never halves the
// air kerma.
ScatterQuality ScatterBeamQuality(const ScatterResult& scatter, const ScatterFigureTables& tables);
ScatterQuality ScatterBeamQuality(const ScatterResult& scatter, const GridArray& mu_al,
                                  const GridArray& air_mu_en_rho);

}  // namespace xscatter
