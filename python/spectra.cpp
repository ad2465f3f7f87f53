// SPDX-License-Identifier: MIT
#include "python/spectra.h"

#include <cmath>
#include <stdexcept>
#include <string>

#include "app/computation.h"
#include "app/file_set.h"
#include "model/errors.h"
#include "model/foreign_spectrum.h"

namespace xscatter::python {

Filters FilterLayers(const TableSet& tables, const std::vector<NamedFilter>& filters) {
  Filters result;
  for (const auto& [name, mm] : filters) {
    const Material* material = FindMaterial(tables.Materials(), name);
    if (!material) {
      std::string known;
      for (const Material& m : tables.Materials()) known += (known.empty() ? "" : ", ") + m.name;
      throw std::invalid_argument("unknown filter material '" + name + "' (Materials.csv lists " +
                                  known + ")");
    }
    if (!std::isfinite(mm) || mm < 0) {
      throw std::invalid_argument("the thickness of filter '" + name +
                                  "' is not a number of millimetres >= 0");
    }
    result.layers.push_back(MakeFilterLayer(*material, mm));
    result.named.emplace_back(material->name, mm);
  }
  return result;
}

Spectrum ComputePrimarySpectrum(std::shared_ptr<const TableSet> tables,
                                const ExposureConditions& conditions, const Filters& filters) {
  const PrimaryResult result = ComputePrimaryRun(tables->Physical(), conditions, filters.layers);
  return {std::move(tables), result.spectrum, result.bin_count,
          SpectrumConditions{conditions, filters.named, std::nullopt}};
}

HvlMetal ParseHvlMetal(const std::string& name) {
  std::string lower;
  for (const char c : name) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  if (lower == "al") return HvlMetal::Aluminium;
  if (lower == "cu") return HvlMetal::Copper;
  throw std::invalid_argument("match_hvl names the metal '" + name + "'; it must be 'Al' or 'Cu'");
}

Spectrum ComputeMatchedSpectrum(std::shared_ptr<const TableSet> tables,
                                const ExposureConditions& conditions, const Filters& filters,
                                const HvlTarget& target) {
  const HvlMatch match = MatchHvl(tables->Physical(), conditions, filters.layers,
                                  tables->Air().mu_en_rho, target.metal, target.hvl1_mm);
  ExposureConditions matched = conditions;
  (target.metal == HvlMetal::Aluminium ? matched.al_mm : matched.cu_mm) = match.added_mm;
  Spectrum spectrum = ComputePrimarySpectrum(std::move(tables), matched, filters);
  spectrum.conditions->matched = target;
  return spectrum;
}

Spectrum SpectrumFromPoints(std::shared_ptr<const TableSet> tables,
                            const std::vector<double>& energy_kev,
                            const std::vector<double>& fluence, int& dropped) {
  try {
    const ForeignSpectrum foreign = ResampleSpectrum(energy_kev, fluence);
    dropped = foreign.dropped_above_grid;
    return {std::move(tables), foreign.spectrum, foreign.bin_count, std::nullopt};
  } catch (const SpectrumFileError& error) {
    throw std::invalid_argument(error.what());
  }
}

PrimaryQuality Quality(const Spectrum& spectrum) {
  const PhysicalTables& t = spectrum.tables->Physical();
  return PrimaryBeamQuality(spectrum.fluence, spectrum.bin_count, t.mu_al, t.mu_cu,
                            spectrum.tables->Air().mu_en_rho);
}

ScatterQuality Figures(const Scatter& scatter) {
  return ScatterBeamQuality(scatter.result, scatter.tables->Physical().mu_al,
                            scatter.tables->Air().mu_en_rho);
}

Scatter ComputeScatterSpectra(const Spectrum& primary, double angle_deg, bool doppler) {
  Scatter scatter{primary.tables, angle_deg,
                  ComputeScatterRun(primary.tables->Physical(), primary.fluence, angle_deg,
                                    doppler ? &primary.tables->WaterCompton() : nullptr)};
  scatter.incoherent_photons = NormalisedIncoherentPhotons(scatter.result);
  return scatter;
}

void WritePrimaryFile(const Spectrum& spectrum, const std::filesystem::path& folder) {
  WriteFileSet(folder, PrimaryFileSet(spectrum.fluence));
}

void WriteScatterFiles(const Scatter& scatter, const std::filesystem::path& folder) {
  WriteFileSet(folder, ScatterFileSet(scatter.result));
}

}  // namespace xscatter::python
