// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/beam_quality.h"
#include "model/grid.h"
#include "model/primary_model.h"
#include "model/scatter_models.h"
#include "python/table_set.h"

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

// Each entry point throws std::invalid_argument with the program's warning text for a refused
// entry, std::runtime_error with the program's message for a model failure, TableError for a
// table and FileWriteError for a file.

// The conditions' warning, if any, as the calculate command checks them; a value that is not a
// number is refused by the check of its box.
void CheckConditions(const ExposureConditions& conditions);

// The layers of `filters`, in their order. Refuses a material that Materials.csv does not list
// and a thickness that is negative or not finite.
std::vector<FilterLayer> FilterLayers(const TableSet& tables,
                                      const std::vector<NamedFilter>& filters);

// The primary model; may run without the interpreter lock after CheckConditions.
Spectrum ComputePrimarySpectrum(std::shared_ptr<const TableSet> tables,
                                const ExposureConditions& conditions,
                                const std::vector<FilterLayer>& filters);

// Points of a measured spectrum resampled onto the grid as the batch tool's --primary does;
// `dropped` receives the number of points above the grid.
Spectrum SpectrumFromPoints(std::shared_ptr<const TableSet> tables,
                            const std::vector<double>& energy_kev,
                            const std::vector<double>& fluence, int& dropped);

// The beam-quality figures; the runtime_error names the figure that has no value.
PrimaryQuality Quality(const Spectrum& spectrum);
ScatterQuality Figures(const Scatter& scatter);

// The angle check of the scatter command.
void CheckScatterAngle(double angle_deg);

// Both scatter models and the normalisation at θ = angle/180·3.14159, as the program converts it;
// may run without the interpreter lock after CheckScatterAngle.
Scatter ComputeScatterSpectra(const Spectrum& primary, double angle_deg);

// P_Spectrum.dat, and Inc_Spectrum.dat with Coh_Spectrum.dat together, replaced in `folder`.
void WritePrimaryFile(const Spectrum& spectrum, const std::filesystem::path& folder);
void WriteScatterFiles(const Scatter& scatter, const std::filesystem::path& folder);

}  // namespace xscatter::python
