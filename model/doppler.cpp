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

double Momentum(double energy, double scattered, double cos_theta) {
  const double momentum_transfer =
      std::sqrt(energy * energy + scattered * scattered - 2 * energy * scattered * cos_theta);
  return kMomentumUnit *
         (energy * scattered * (1 - cos_theta) / kRestEnergy - (energy - scattered)) /
         momentum_transfer;
}

}  // namespace

double ScatteringElectronMomentum(double energy, double scattered, double theta) {
  return Momentum(energy, scattered, std::cos(theta));
}

ComptonDistribution::ComptonDistribution(const ComptonProfiles& profiles) : profiles_(profiles) {
  const std::vector<double>& pz = profiles_.pz;
  for (int s = 0; s < kComptonShells; ++s) {
    const std::vector<double>& j = profiles_.j[s];
    std::vector<double>& integral = integral_[s];
    std::vector<double>& slope = slope_[s];
    integral.assign(pz.size(), 0.0);
    slope.assign(pz.size(), 0.0);
    for (std::size_t n = 1; n < pz.size(); ++n) {
      integral[n] = integral[n - 1] + 0.5 * (j[n - 1] + j[n]) * (pz[n] - pz[n - 1]);
      slope[n - 1] = (j[n] - j[n - 1]) / (pz[n] - pz[n - 1]);
    }
  }
  constexpr std::size_t kIntervals = 1024;
  interval_ = pz.back() / kIntervals;
  first_row_.resize(kIntervals);
  std::size_t row = 0;
  for (std::size_t i = 0; i < kIntervals; ++i) {
    while (pz[row + 1] <= interval_ * i) ++row;
    first_row_[i] = row;
  }
}

ComptonDistribution::Place ComptonDistribution::Locate(double pz) const {
  const std::vector<double>& grid = profiles_.pz;
  const double p = std::abs(pz);
  Place place;
  if (!(p < grid.back())) {
    place.beyond = true;
    return place;
  }
  const std::size_t interval =
      std::min(static_cast<std::size_t>(p / interval_), first_row_.size() - 1);
  std::size_t row = first_row_[interval];
  while (grid[row + 1] <= p) ++row;
  place.row = row;
  place.t = p - grid[row];
  return place;
}

double ComptonDistribution::Cumulative(int s, double pz, const Place& place) const {
  const std::vector<double>& integral = integral_[s];
  const double half = integral.back();
  double upto = half;  // of J from 0 to |pz|
  if (!place.beyond) {
    // The exact integral of the straight line from the row below.
    const std::size_t n = place.row;
    upto = integral[n] + place.t * (profiles_.j[s][n] + 0.5 * slope_[s][n] * place.t);
  }
  return pz < 0 ? half - upto : half + upto;
}

DopplerLine::DopplerLine(const ComptonDistribution& distribution, double energy, double theta)
    : distribution_(distribution), energy_(energy), cos_theta_(std::cos(theta)) {
  for (int s = 0; s < kComptonShells; ++s) {
    highest_[s] = energy - distribution.profiles_.binding_kev[s];
    if (highest_[s] <= 0) continue;
    const double pz = Momentum(energy, highest_[s], cos_theta_);
    all_below_[s] = distribution.profiles_.electrons[s] *
                    distribution.Cumulative(s, pz, distribution.Locate(pz));
  }
}

double DopplerLine::ElectronsBelow(double scattered) const {
  if (scattered <= 0) return 0;
  const double pz = Momentum(energy_, scattered, cos_theta_);
  const ComptonDistribution::Place place = distribution_.Locate(pz);
  double electrons = 0;
  for (int s = 0; s < kComptonShells; ++s) {
    if (highest_[s] <= 0) continue;
    electrons += scattered < highest_[s]
                     ? distribution_.profiles_.electrons[s] * distribution_.Cumulative(s, pz, place)
                     : all_below_[s];
  }
  return electrons;
}

GridArray DopplerShares(const ComptonDistribution& distribution, double energy, double theta) {
  GridArray shares{};
  const DopplerLine line(distribution, energy, theta);
  double below = line.ElectronsBelow(kLowestEdge);
  double total = 0;
  // Bins that begin at or above the primary energy receive nothing.
  for (int k = 1; k <= kLastBin && UpperEdge(k) - kBinWidth < energy; ++k) {
    const double next = line.ElectronsBelow(UpperEdge(k));
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
