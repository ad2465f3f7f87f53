// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "model/compton_profiles.h"
#include "model/grid.h"
#include "model/scatter_models.h"

// Doppler broadening of incoherent scatter in the impulse approximation: the scattering electron
// moves, so a photon of energy E scattered at angle theta leaves with an energy E' spread around
// the Compton energy. Each E' belongs to one momentum component pz of the electron, and a shell's
// electrons have pz distributed as its Compton profile J(pz); a shell takes part only where the
// energy transfer E - E' reaches its binding energy.
namespace xscatter {

// pz in atomic units of the electron that scatters a photon of `energy` keV into `scattered` keV at
// theta (radians): 0 at the Compton energy of the incoherent model (rest energy 511 keV), rising
// with `scattered`.
double ScatteringElectronMomentum(double energy, double scattered, double theta);

// The profiles of a table, integrated once so that shares of scattered energy are differences.
class ComptonDistribution {
 public:
  explicit ComptonDistribution(const ComptonProfiles& profiles);

 private:
  friend class DopplerLine;
  // Where |pz| lies among the rows: after row `row`, by `t` atomic units; `beyond` past the last.
  struct Place {
    std::size_t row = 0;
    double t = 0;
    bool beyond = false;
  };
  Place Locate(double pz) const;
  // Integral of shell s's J from -infinity to pz (placed at `place`), J taken linear between the
  // rows and 0 beyond the last.
  double Cumulative(int s, double pz, const Place& place) const;

  ComptonProfiles profiles_;
  std::array<std::vector<double>, kComptonShells> integral_;  // of J from 0 to each row's pz
  std::array<std::vector<double>, kComptonShells> slope_;     // of J from each row to the next
  // Locate starts its search at the row at or below the start of one of equal pz intervals.
  double interval_ = 0;
  std::vector<std::size_t> first_row_;
};

// The scattered energies of photons of one primary energy scattered at one angle.
class DopplerLine {
 public:
  // `energy` in keV, theta in radians.
  DopplerLine(const ComptonDistribution& distribution, double energy, double theta);

  // Electrons per molecule that leave the photon with `scattered` keV or less: the sum over the
  // shells of electrons times the integral of J up to the pz of min(scattered, energy - binding
  // energy); a shell whose binding energy reaches the primary energy takes no part. 0 for
  // `scattered` at or below 0.
  double ElectronsBelow(double scattered) const;

 private:
  const ComptonDistribution& distribution_;
  double energy_;
  double cos_theta_;
  std::array<double, kComptonShells> highest_{};    // keV; the shell takes no part when <= 0
  std::array<double, kComptonShells> all_below_{};  // ElectronsBelow's term at highest_
};

// How the incoherent photons of primary energy `energy` keV spread over the bins of scattered
// energy: element k is the share that lands in bin k, from 0.5*k - 0.25 to 0.5*k + 0.25 keV
// (k = 1..300); the shares add up to 1. Photons below 0.25 keV, off the grid, are left out before
// the shares are formed. When no shell can take part on the grid, the whole line stays in the
// bin of its Compton energy.
GridArray DopplerShares(const ComptonDistribution& distribution, double energy, double theta);

// Turns the incoherent part of `result`, as ComputeIncoherentScatter leaves it, into the
// broadened spectrum on the grid of scattered energy: every computed primary bin's
// incoherent_photons are spread by DopplerShares, so their sum stays the same. Afterwards
// energy(k) = 0.5*k keV for k = 1..300, and incoherent_photons(k) and incoherent(k) both hold the
// photons in bin k, that is the fluence per 0.5 keV of scattered energy, as the unbroadened
// incoherent spectrum.
void BroadenIncoherentScatter(const ComptonProfiles& profiles, double theta, ScatterResult& result);

}  // namespace xscatter
