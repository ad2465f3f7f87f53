// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/table_set.h"
#include "model/beam_quality.h"
#include "model/grid.h"
#include "model/hvl_match.h"
#include "model/primary_model.h"
#include "model/scatter_models.h"

namespace xscatter::python {

// A further filter: a material of Materials.csv and its thickness in mm.
using NamedFilter = std::pair<std::string, double>;

// The metal and first HVL that the added thickness of that metal was matched to.
struct HvlTarget {
  HvlMetal metal = HvlMetal::Aluminium;
  double hvl1_mm = 0;
};

// What a computed spectrum was computed for: the conditions (with the added thickness found when
// an HVL was matched) and the further filters, materials named as Materials.csv names them.
struct SpectrumConditions {
  ExposureConditions exposure;
  std::vector<NamedFilter> filters;
  std::optional<HvlTarget> matched;
};

// A primary spectrum on the grid with the tables it was computed from, which its scatter and
// figures use.
struct Spectrum {
  std::shared_ptr<const TableSet> tables;
  GridArray fluence{};                           // bins 1..300, normalised to a maximum of 1
  int bin_count = 0;                             // the last bin of the spectrum
  std::optional<SpectrumConditions> conditions;  // none for a spectrum from points
};

// The scatter spectra of a primary spectrum at one angle, normalised as the files are.
struct Scatter {
  std::shared_ptr<const TableSet> tables;
  double angle_deg = 0;
  ScatterResult result;
  GridArray incoherent_photons{};  // result.incoherent_photons over the common maximum
};

// The entry points throw ConditionError for a refused entry, std::invalid_argument for a bad
// filter or point list, and the engine's and the writer's own errors otherwise; the module turns
// each into its Python exception.

// The further filters of a run: the layers for the model and the filters as the spectrum keeps
// them.
struct Filters {
  std::vector<FilterLayer> layers;
  std::vector<NamedFilter> named;
};

// The layers of `filters`, in their order. Refuses a material that Materials.csv does not list
// and a thickness that is negative or not finite.
Filters FilterLayers(const TableSet& tables, const std::vector<NamedFilter>& filters);

// The checks and the primary model; may run without the interpreter lock.
Spectrum ComputePrimarySpectrum(std::shared_ptr<const TableSet> tables,
                                const ExposureConditions& conditions, const Filters& filters);

// The metal named "Al" or "Cu" (case ignored); std::invalid_argument for any other name.
HvlMetal ParseHvlMetal(const std::string& name);

// The checks, the added thickness of target.metal whose first HVL is target.hvl1_mm, and the
// primary model with that thickness; may run without the interpreter lock. Throws HvlMatchError
// when no thickness up to the metal's limit gives it.
Spectrum ComputeMatchedSpectrum(std::shared_ptr<const TableSet> tables,
                                const ExposureConditions& conditions, const Filters& filters,
                                const HvlTarget& target);

// Points of a measured spectrum resampled onto the grid as the batch tool's --primary does;
// `dropped` receives the number of points above the grid.
Spectrum SpectrumFromPoints(std::shared_ptr<const TableSet> tables,
                            const std::vector<double>& energy_kev,
                            const std::vector<double>& fluence, int& dropped);

// The beam-quality figures.
PrimaryQuality Quality(const Spectrum& spectrum);
ScatterQuality Figures(const Scatter& scatter);

// The angle check, both scatter models and the normalisation; may run without the interpreter
// lock.
Scatter ComputeScatterSpectra(const Spectrum& primary, double angle_deg, bool doppler);

// P_Spectrum.dat, and Inc_Spectrum.dat with Coh_Spectrum.dat together, replaced in `folder` under
// its lock.
void WritePrimaryFile(const Spectrum& spectrum, const std::filesystem::path& folder);
void WriteScatterFiles(const Scatter& scatter, const std::filesystem::path& folder);

}  // namespace xscatter::python
