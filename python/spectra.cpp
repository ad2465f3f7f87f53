// SPDX-License-Identifier: MIT
#include "python/spectra.h"

#include <cmath>
#include <stdexcept>
#include <string>

#include "model/commands.h"
#include "model/errors.h"
#include "model/foreign_spectrum.h"
#include "model/scatter_messages.h"
#include "output/replace_files.h"
#include "output/spectrum_files.h"

namespace xscatter::python {
namespace {

// The program converts degrees with this five-decimal value, not with full-precision pi.
constexpr double kProgramPi = 3.14159;

// A box reads a text without a number as 0, which its check refuses; a NaN given from Python
// would pass every "not below" comparison, so it is read the way such a box is.
double AsBoxReads(double value) { return std::isnan(value) ? 0 : value; }

}  // namespace

void CheckConditions(const ExposureConditions& conditions) {
  const ExposureConditions as_read{
      AsBoxReads(conditions.kv), AsBoxReads(conditions.target_angle_deg),
      AsBoxReads(conditions.inherent_mm_al), conditions.al_mm, conditions.cu_mm};
  if (const auto warning = ConditionsWarning(as_read)) {
    throw std::invalid_argument(std::string(*warning));
  }
  if (std::isnan(conditions.al_mm) || std::isnan(conditions.cu_mm)) {
    throw std::invalid_argument(std::string(kSpectrumNotComputable));
  }
}

std::vector<FilterLayer> FilterLayers(const TableSet& tables,
                                      const std::vector<NamedFilter>& filters) {
  std::vector<FilterLayer> layers;
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
    layers.push_back(MakeFilterLayer(*material, mm));
  }
  return layers;
}

Spectrum ComputePrimarySpectrum(std::shared_ptr<const TableSet> tables,
                                const ExposureConditions& conditions,
                                const std::vector<FilterLayer>& filters) {
  try {
    const PrimaryResult result = ComputePrimary(tables->Physical(), conditions, filters);
    return {std::move(tables), result.spectrum, result.bin_count};
  } catch (const ModelError&) {
    throw std::invalid_argument(std::string(kSpectrumNotComputable));
  }
}

Spectrum SpectrumFromPoints(std::shared_ptr<const TableSet> tables,
                            const std::vector<double>& energy_kev,
                            const std::vector<double>& fluence, int& dropped) {
  try {
    const ForeignSpectrum foreign = ResampleSpectrum(energy_kev, fluence);
    dropped = foreign.dropped_above_grid;
    return {std::move(tables), foreign.spectrum, foreign.bin_count};
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

void CheckScatterAngle(double angle_deg) {
  if (std::isnan(angle_deg) || !ScatterAngleAccepted(angle_deg)) {
    throw std::invalid_argument(std::string(kScatterAngleOutOfRange));
  }
}

Scatter ComputeScatterSpectra(const Spectrum& primary, double angle_deg) {
  const double theta = angle_deg / 180 * kProgramPi;
  try {
    Scatter scatter{primary.tables, angle_deg,
                    ComputeScatter(primary.tables->Physical(), primary.fluence, theta)};
    for (int i = 1; i <= kLastBin; ++i) {
      scatter.incoherent_photons[i] =
          scatter.result.incoherent_photons[i] / scatter.result.common_maximum;
    }
    return scatter;
  } catch (const ScatterModelError& error) {
    throw std::runtime_error(DescribeScatterError(error));
  } catch (const NormalisationError& error) {
    throw std::runtime_error(DescribeNormalisationError(error));
  }
}

void WritePrimaryFile(const Spectrum& spectrum, const std::filesystem::path& folder) {
  ReplaceFiles(folder, {{"P_Spectrum.dat", PrimarySpectrumText(spectrum.fluence)}});
}

void WriteScatterFiles(const Scatter& scatter, const std::filesystem::path& folder) {
  const ScatterResult& r = scatter.result;
  ReplaceFiles(folder, {{"Inc_Spectrum.dat", IncoherentSpectrumText(r.energy, r.incoherent)},
                        {"Coh_Spectrum.dat", CoherentSpectrumText(r.coherent)}});
}

}  // namespace xscatter::python
