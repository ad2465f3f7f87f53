// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/table_set.h"
#include "model/beam_quality.h"
#include "model/grid.h"
#include "model/primary_model.h"
#include "model/scatter_models.h"

namespace xscatter::python {

// A primary spectrum on the grid with the tables it was computed from, which its scatter and
// figures use.
struct Spectrum {
  std::shared_ptr<const TableSet> tables;
  GridArray fluence{};  // bins 1..300, normalised to a maximum of 1
  int bin_count = 0;    // the last bin of the spectrum
};

// The scatter spectra of a primary spectrum at one angle, normalised as the files are.
struct Scatter {
  std::shared_ptr<const TableSet> tables;
  double angle_deg = 0;
  ScatterResult result;
  GridArray incoherent_photons{};  // result.incoherent_photons over the common maximum
};

// A further filter: a material of Materials.csv and its thickness in mm.
using NamedFilter = std::pair<std::string, double>;

// The entry points throw ConditionError for a refused entry, std::invalid_argument for a bad
// filter or point list, and the engine's and the writer's own errors otherwise; the module turns
// each into its Python exception.

// The layers of `filters`, in their order. Refuses a material that Materials.csv does not list
// and a thickness that is negative or not finite.
std::vector<FilterLayer> FilterLayers(const TableSet& tables,
                                      const std::vector<NamedFilter>& filters);

// The checks and the primary model; may run without the interpreter lock.
Spectrum ComputePrimarySpectrum(std::shared_ptr<const TableSet> tables,
                                const ExposureConditions& conditions,
                                const std::vector<FilterLayer>& filters);

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
Scatter ComputeScatterSpectra(const Spectrum& primary, double angle_deg);

// P_Spectrum.dat, and Inc_Spectrum.dat with Coh_Spectrum.dat together, replaced in `folder` under
// its lock.
void WritePrimaryFile(const Spectrum& spectrum, const std::filesystem::path& folder);
void WriteScatterFiles(const Scatter& scatter, const std::filesystem::path& folder);

}  // namespace xscatter::python
