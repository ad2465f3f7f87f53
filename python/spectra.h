#pragma once

#include <memory>
#include <string>

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

// Each entry point throws std::invalid_argument with the program's warning text for a rejected
// entry, std::runtime_error with the program's message for a model failure, and FileWriteError
// for a file that cannot be written.

// The conditions' warning, if any, as the calculate command checks them; a value that is not a
// number is refused by the check of its box.
void CheckConditions(const ExposureConditions& conditions);

// The primary model; call without the interpreter lock after CheckConditions.
Spectrum ComputePrimarySpectrum(std::shared_ptr<const TableSet> tables,
                                const ExposureConditions& conditions);

// The angle check of the scatter command.
void CheckScatterAngle(double angle_deg);

// Both scatter models and the normalisation at θ = angle/180·3.14159, as the program converts it;
// call without the interpreter lock after CheckScatterAngle.
Scatter ComputeScatterSpectra(const Spectrum& primary, double angle_deg);

// P_Spectrum.dat, and Inc_Spectrum.dat with Coh_Spectrum.dat, in `folder`.
void WritePrimaryFile(const Spectrum& spectrum, const std::filesystem::path& folder);
void WriteScatterFiles(const Scatter& scatter, const std::filesystem::path& folder);

}  // namespace xscatter::python
