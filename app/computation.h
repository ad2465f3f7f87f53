// SPDX-License-Identifier: MIT
#pragma once

#include <vector>

#include "model/compton_profiles.h"
#include "model/grid.h"
#include "model/physical_tables.h"
#include "model/primary_model.h"
#include "model/scatter_models.h"

namespace xscatter {

// A run of the calculate command without the screens: the checks in their order, then the primary
// model. Throws ConditionError (NotComputable when the model gives no finite spectrum).
PrimaryResult ComputePrimaryRun(const PhysicalTables& tables, const ExposureConditions& conditions,
                                const std::vector<FilterLayer>& filters = {});

// A run of the scatter command's calculation: the angle check, both models at the program's
// conversion of the angle, the incoherent spectrum Doppler-broadened with `doppler` when given,
// and the normalisation. Throws ConditionError, ScatterModelError and NormalisationError.
ScatterResult ComputeScatterRun(const PhysicalTables& tables, const GridArray& primary,
                                double angle_deg, const ComptonProfiles* doppler = nullptr);

// The incoherent photons of bin i on the files' scale: incoherent_photons over the common maximum.
GridArray NormalisedIncoherentPhotons(const ScatterResult& scatter);

}  // namespace xscatter
