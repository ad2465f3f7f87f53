#include "python/spectra.h"

#include <cmath>
#include <stdexcept>
#include <string>

#include "model/commands.h"
#include "model/errors.h"
#include "model/scatter_messages.h"
#include "model/state.h"

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

Spectrum ComputePrimarySpectrum(std::shared_ptr<const TableSet> tables,
                                const ExposureConditions& conditions) {
  try {
    const PrimaryResult result = ComputePrimary(tables->Physical(), conditions);
    return {std::move(tables), result.spectrum, result.bin_count};
  } catch (const ModelError&) {
    throw std::invalid_argument(std::string(kSpectrumNotComputable));
  }
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
  Module1 m;
  m.SetWorkingFolder(folder);
  m.PrimarySpectrum = spectrum.fluence;
  m.WritePrimarySpectrumFile();
}

void WriteScatterFiles(const Scatter& scatter, const std::filesystem::path& folder) {
  Module1 m;
  m.SetWorkingFolder(folder);
  m.IncoherentSpectrum[1] = scatter.result.energy;
  m.IncoherentSpectrum[2] = scatter.result.incoherent;
  m.CoherentSpectrum = scatter.result.coherent;
  m.WriteScatterSpectrumFiles();
}

}  // namespace xscatter::python
