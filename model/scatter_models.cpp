// SPDX-License-Identifier: MIT
#include "model/scatter_models.h"

#include <cmath>

#include "model/doppler.h"
#include "model/errors.h"
#include "model/interpolation.h"
#include "model/normalisation.h"

namespace xscatter {
namespace {

// The momentum transfer sin(theta/2) / wavelength at the energy of every bin that scatters, with
// its logarithm and place among the table rows, found once for both models. The transfer grows with
// the energy, so each search starts where the one below it ended.
class TransferGrid {
 public:
  TransferGrid(const TableArray& scatter_x, const GridArray& primary, double theta) {
    const double sin_half_theta = std::sin(0.5 * theta);
    RowPosition below{};
    for (int i = kFirstScatterBin; i <= kLastBin; ++i) {
      if (primary[i] == 0) continue;
      const double wavelength = 12.4 / (0.5 * i);
      const double x = sin_half_theta / wavelength;
      const int from = below.upper != 0 && x >= below.x ? below.upper : 2;
      below = positions_[i] = FindRow(scatter_x, x, from);
    }
  }
  const RowPosition& At(int bin) const { return positions_[bin]; }

 private:
  std::array<RowPosition, kLastBin + 1> positions_{};
};

double Interpolate(ScatterModel model, double energy, const RowPosition& position,
                   const LogLogColumn& column) {
  try {
    return column.At(position);
  } catch (const InterpolationError& error) {
    throw ScatterModelError(model, energy, error.fault);
  }
}

[[noreturn]] void FailAngle(double angular, ScatterModel model, double energy) {
  throw ScatterModelError(model, energy, {InterpolationFault::Kind::AngleNotFinite, 0, angular, 0});
}

// Checked at every bin, after its interpolation, so that a bad table row is named first.
inline void RequireFinite(double angular, ScatterModel model, double energy) {
  if (!std::isfinite(angular)) [[unlikely]]
    FailAngle(angular, model, energy);
}

void Incoherent(const PhysicalTables& tables, const GridArray& primary, double theta,
                const TransferGrid& transfer, ScatterResult& result,
                const std::function<void()>& between_passes) {
  GridArray& energy = result.energy;
  GridArray& photons = result.incoherent_photons;
  const LogLogColumn incoherent_s(tables.scatter_x, tables.incoherent_s);
  const double one_minus_cos = 1 - std::cos(theta);
  const double sin_theta = std::sin(theta);
  for (int i = kFirstScatterBin; i <= kLastBin; ++i) {
    if (primary[i] == 0) continue;
    const double e = 0.5 * i;
    const double s = Interpolate(ScatterModel::Incoherent, e, transfer.At(i), incoherent_s);
    RequireFinite(one_minus_cos, ScatterModel::Incoherent, e);
    const double e_scattered = e / (1 + (e / 511) * one_minus_cos);
    energy[i] = e_scattered;
    const double ratio = e_scattered / e;
    photons[i] = photons[i] + primary[i] * tables.water_incoherent[i] * (ratio * ratio) *
                                  (e / e_scattered + e_scattered / e - sin_theta * sin_theta) * s;
  }

  if (between_passes) between_passes();

  // Photons per primary bin become fluence per 0.5 keV of scattered energy wherever the next bin
  // was computed too.
  GridArray& fluence = result.incoherent;
  fluence = photons;
  for (int k = 1; k <= kLastBin - 1; ++k) {
    if (energy[k] != 0 && energy[k + 1] != 0) {
      fluence[k] = fluence[k] / ((energy[k + 1] - energy[k]) / 0.5);
    }
  }
}

void Coherent(const PhysicalTables& tables, const GridArray& primary, double theta,
              const TransferGrid& transfer, ScatterResult& result) {
  GridArray& coherent = result.coherent;
  const LogLogColumn coherent_f(tables.scatter_x, tables.coherent_f);
  const double cos_theta = std::cos(theta);
  const double angular = 1 + cos_theta * cos_theta;
  for (int i = kFirstScatterBin; i <= kLastBin; ++i) {
    if (primary[i] == 0) continue;
    const double e = 0.5 * i;
    const double f = Interpolate(ScatterModel::Coherent, e, transfer.At(i), coherent_f);
    RequireFinite(angular, ScatterModel::Coherent, e);
    coherent[i] = coherent[i] + primary[i] * tables.water_coherent[i] * angular * (f * f);
  }
}

}  // namespace

void ComputeIncoherentScatter(const PhysicalTables& tables, const GridArray& primary, double theta,
                              ScatterResult& result, const std::function<void()>& between_passes) {
  Incoherent(tables, primary, theta, TransferGrid(tables.scatter_x, primary, theta), result,
             between_passes);
}

void ComputeCoherentScatter(const PhysicalTables& tables, const GridArray& primary, double theta,
                            ScatterResult& result) {
  Coherent(tables, primary, theta, TransferGrid(tables.scatter_x, primary, theta), result);
}

void NormaliseScatter(ScatterResult& result) {
  const double maximum =
      LargestValue(result.coherent, 2, kLastBin, LargestValue(result.incoherent, 2, kLastBin));
  result.common_maximum = maximum;
  if (!(maximum > 0) || !std::isfinite(maximum)) throw NormalisationError(!(maximum > 0));
  const bool incoherent_finite = DivideByMaximum(result.incoherent, 2, kLastBin, maximum);
  const bool coherent_finite = DivideByMaximum(result.coherent, 2, kLastBin, maximum);
  if (!incoherent_finite || !coherent_finite) throw NormalisationError(false);
}

ScatterResult ComputeScatter(const PhysicalTables& tables, const GridArray& primary, double theta,
                             const ComptonProfiles* doppler) {
  ScatterResult result;
  const TransferGrid transfer(tables.scatter_x, primary, theta);
  Incoherent(tables, primary, theta, transfer, result, {});
  if (doppler) BroadenIncoherentScatter(*doppler, theta, result);
  Coherent(tables, primary, theta, transfer, result);
  NormaliseScatter(result);
  return result;
}

}  // namespace xscatter
