// SPDX-License-Identifier: MIT
#include "model/doppler.h"

#include <algorithm>
#include <cmath>

namespace xscatter {
namespace {

constexpr double kRestEnergy = 511;              // keV, as the incoherent model's Compton energy
constexpr double kMomentumUnit = 137.035999084;  // 1/alpha: m_e c in atomic units of momentum
// Bin k of scattered energy reaches from 0.5*k - 0.25 to 0.5*k + 0.25 keV.
constexpr double kLowestEdge = 0.5 * kBinWidth;

double UpperEdge(int k) { return kBinWidth * k + 0.5 * kBinWidth; }

}  // namespace

double ScatteringElectronMomentum(double energy, double scattered, double theta) {
  const double cos_theta = std::cos(theta);
  const double momentum_transfer =
      std::sqrt(energy * energy + scattered * scattered - 2 * energy * scattered * cos_theta);
  return kMomentumUnit *
         (energy * scattered * (1 - cos_theta) / kRestEnergy - (energy - scattered)) /
         momentum_transfer;
}

ComptonDistribution::ComptonDistribution(const ComptonProfiles& profiles) : profiles_(profiles) {
  const std::vector<double>& pz = profiles_.pz;
  for (int s = 0; s < kComptonShells; ++s) {
    const std::vector<double>& j = profiles_.j[s];
    std::vector<double>& integral = integral_[s];
    integral.assign(pz.size(), 0.0);
    for (std::size_t n = 1; n < pz.size(); ++n) {
      integral[n] = integral[n - 1] + 0.5 * (j[n - 1] + j[n]) * (pz[n] - pz[n - 1]);
    }
  }
}

double ComptonDistribution::Cumulative(int s, double pz) const {
  const std::vector<double>& grid = profiles_.pz;
  const std::vector<double>& j = profiles_.j[s];
  const std::vector<double>& integral = integral_[s];
  const double half = integral.back();
  const double p = std::abs(pz);
  double upto = half;  // of J from 0 to p
  if (p < grid.back()) {
    // The row at or below p, and the exact integral of the straight line from it.
    const std::size_t n =
        static_cast<std::size_t>(std::upper_bound(grid.begin(), grid.end(), p) - grid.begin() - 1);
    const double t = p - grid[n];
    const double slope = (j[n + 1] - j[n]) / (grid[n + 1] - grid[n]);
    upto = integral[n] + t * (j[n] + 0.5 * slope * t);
  }
  return pz < 0 ? half - upto : half + upto;
}

double ComptonDistribution::ElectronsBelow(double energy, double scattered, double theta) const {
  if (scattered <= 0) return 0;
  const double pz = ScatteringElectronMomentum(energy, scattered, theta);
  double electrons = 0;
  for (int s = 0; s < kComptonShells; ++s) {
    const double highest = energy - profiles_.binding_kev[s];
    if (highest <= 0) continue;
    const double p = scattered < highest ? pz : ScatteringElectronMomentum(energy, highest, theta);
    electrons += profiles_.electrons[s] * Cumulative(s, p);
  }
  return electrons;
}

GridArray DopplerShares(const ComptonDistribution& distribution, double energy, double theta) {
  GridArray shares{};
  double below = distribution.ElectronsBelow(energy, kLowestEdge, theta);
  double total = 0;
  // Bins that begin at or above the primary energy receive nothing.
  for (int k = 1; k <= kLastBin && UpperEdge(k) - kBinWidth < energy; ++k) {
    const double next = distribution.ElectronsBelow(energy, UpperEdge(k), theta);
    shares[k] = next - below;
    total += shares[k];
    below = next;
  }
  if (total > 0 && std::isfinite(total)) {
    for (double& share : shares) share /= total;
    return shares;
  }
  shares.fill(0);
  const double compton = energy / (1 + (energy / kRestEnergy) * (1 - std::cos(theta)));
  const int bin = static_cast<int>(std::lround(compton / kBinWidth));
  shares[std::clamp(bin, 1, kLastBin)] = 1;
  return shares;
}

void BroadenIncoherentScatter(const ComptonProfiles& profiles, double theta,
                              ScatterResult& result) {
  const ComptonDistribution distribution(profiles);
  GridArray photons{};
  for (int i = 1; i <= kLastBin; ++i) {
    const double n = result.incoherent_photons[i];
    if (result.energy[i] == 0 || n == 0) continue;
    const GridArray shares = DopplerShares(distribution, kBinWidth * i, theta);
    for (int k = 1; k <= kLastBin; ++k) photons[k] += n * shares[k];
  }
  for (int k = 1; k <= kLastBin; ++k) result.energy[k] = kBinWidth * k;
  result.incoherent_photons = photons;
  result.incoherent = photons;
}

}  // namespace xscatter
