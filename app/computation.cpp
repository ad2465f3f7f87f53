// SPDX-License-Identifier: MIT
#include "app/computation.h"

#include "app/entries.h"
#include "model/errors.h"

namespace xscatter {

PrimaryResult ComputePrimaryRun(const PhysicalTables& tables, const ExposureConditions& conditions,
                                const std::vector<FilterLayer>& filters) {
  if (const auto refusal = CheckConditions(conditions)) throw ConditionError(*refusal);
  try {
    return ComputePrimary(tables, conditions, filters);
  } catch (const ModelError&) {
    throw ConditionError(Refusal::NotComputable);
  }
}

ScatterResult ComputeScatterRun(const PhysicalTables& tables, const GridArray& primary,
                                double angle_deg, const ComptonProfiles* doppler) {
  if (const auto refusal = CheckScatterAngle(angle_deg)) throw ConditionError(*refusal);
  return ComputeScatter(tables, primary, ScatterTheta(angle_deg), doppler);
}

GridArray NormalisedIncoherentPhotons(const ScatterResult& scatter) {
  GridArray photons{};
  for (int i = 1; i <= kLastBin; ++i) {
    photons[i] = scatter.incoherent_photons[i] / scatter.common_maximum;
  }
  return photons;
}

}  // namespace xscatter
