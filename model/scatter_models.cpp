// SPDX-License-Identifier: MIT
#include "model/scatter_models.h"

#include <cmath>

#include "model/doppler.h"
#include "model/errors.h"
#include "model/interpolation.h"
#include "model/normalisation.h"

namespace xscatter {
namespace {

double MomentumTransfer(double energy, double theta) {
  const double wavelength = 12.4 / energy;
  return std::sin(0.5 * theta) / wavelength;
}

double Interpolate(ScatterModel model, double energy, double theta, const TableArray& scatter_x,
                   const TableArray& column) {
  try {
    return InterpolateLogLog(MomentumTransfer(energy, theta), scatter_x, column);
  } catch (const InterpolationError& error) {
    throw ScatterModelError(model, energy, error.fault);
  }
}

void RequireFinite(double angular, ScatterModel model, double energy) {
  if (!std::isfinite(angular)) {
    throw ScatterModelError(model, energy,
                            {InterpolationFault::Kind::AngleNotFinite, 0, angular, 0});
  }
}

}  // namespace

void ComputeIncoherentScatter(const PhysicalTables& tables, const GridArray& primary, double theta,
                              ScatterResult& result, const std::function<void()>& between_passes) {
  GridArray& energy = result.energy;
  GridArray& photons = result.incoherent_photons;
  for (int i = kFirstScatterBin; i <= kLastBin; ++i) {
    if (primary[i] == 0) continue;
    const double e = 0.5 * i;
    const double s =
        Interpolate(ScatterModel::Incoherent, e, theta, tables.scatter_x, tables.incoherent_s);
    const double one_minus_cos = 1 - std::cos(theta);
    RequireFinite(one_minus_cos, ScatterModel::Incoherent, e);
    const double e_scattered = e / (1 + (e / 511) * one_minus_cos);
    energy[i] = e_scattered;
    const double ratio = e_scattered / e;
    const double sin_theta = std::sin(theta);
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

void ComputeCoherentScatter(const PhysicalTables& tables, const GridArray& primary, double theta,
                            ScatterResult& result) {
  GridArray& coherent = result.coherent;
  for (int i = kFirstScatterBin; i <= kLastBin; ++i) {
    if (primary[i] == 0) continue;
    const double e = 0.5 * i;
    const double f =
        Interpolate(ScatterModel::Coherent, e, theta, tables.scatter_x, tables.coherent_f);
    const double cos_theta = std::cos(theta);
    const double angular = 1 + cos_theta * cos_theta;
    RequireFinite(angular, ScatterModel::Coherent, e);
    coherent[i] = coherent[i] + primary[i] * tables.water_coherent[i] * angular * (f * f);
  }
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
  ComputeIncoherentScatter(tables, primary, theta, result);
  if (doppler) BroadenIncoherentScatter(*doppler, theta, result);
  ComputeCoherentScatter(tables, primary, theta, result);
  NormaliseScatter(result);
  return result;
}

}  // namespace xscatter
