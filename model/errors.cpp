// SPDX-License-Identifier: MIT
#include "model/errors.h"

#include "model/grid.h"
#include "output/number_format.h"

#include <system_error>
#include <utility>

namespace xscatter {
namespace {

const char* Summary(TableFailure kind) {
  switch (kind) {
    case TableFailure::IsFolder:
      return "is a folder";
    case TableFailure::NotRegularFile:
      return "is not a regular file";
    case TableFailure::CannotOpen:
      return "cannot be opened";
    case TableFailure::CannotRead:
      return "cannot be read";
    case TableFailure::TooLarge:
      return "is too large";
    case TableFailure::OutOfMemory:
      return "does not fit into memory";
    case TableFailure::Unexpected:
      return "failed to load";
    case TableFailure::EndsEarly:
      return "ends early";
    case TableFailure::NotANumber:
      return "holds a non-number";
    case TableFailure::NotPositive:
      return "holds a value that is not positive";
    case TableFailure::Negative:
      return "holds a negative value";
    case TableFailure::NotAscending:
      return "has x values that do not ascend";
    case TableFailure::BadMaterialCount:
      return "has no valid material count";
    case TableFailure::EmptyName:
      return "has an empty material name";
    case TableFailure::DuplicateName:
      return "has a duplicate material name";
    case TableFailure::PzNotAscending:
      return "has pz values that do not start at 0 and ascend";
  }
  return "is unusable";
}

std::string FileWriteMessage(std::string_view kind, const std::filesystem::path& file,
                             const std::string& reason) {
  std::error_code ec;
  // Normalised before the parent is taken, so "./P_Spectrum.dat" names the folder without a
  // trailing "/".
  const std::filesystem::path folder =
      std::filesystem::absolute(file, ec).lexically_normal().parent_path();
  return std::string(kind) + " " + file.filename().string() + " を書き込めません（" + reason +
         "）。\n保存先フォルダ: " + (ec ? file.parent_path() : folder).string();
}

std::string BinText(int bin) { return "bin " + std::to_string(bin); }

std::string BeamQualityMessage(BeamQualityFault kind, const std::string& subject, int bin,
                               double energy_kev) {
  switch (kind) {
    case BeamQualityFault::BinCountOutsideGrid:
      return "the spectrum's last bin " + std::to_string(bin) + " lies outside 2.." +
             std::to_string(kLastBin);
    case BeamQualityFault::BadValue:
      return subject + " at " + BinText(bin) + " is negative or not finite";
    case BeamQualityFault::KermaNotFinite:
      return "the air kerma of " + BinText(bin) + " is not finite";
    case BeamQualityFault::NoValueAtEnergy:
      // Six significant digits with a period in every locale.
      return "no usable " + subject + " at the scattered energy " + FormatGeneral(energy_kev, 6) +
             " keV of " + BinText(bin);
    case BeamQualityFault::NoAirKerma:
      return "the spectrum carries no air kerma";
    case BeamQualityFault::BadCommonMaximum:
      return "the common maximum of the scatter run is not a finite positive number";
    case BeamQualityFault::PhotonsNotFinite:
      return "the normalised incoherent photons of " + BinText(bin) + " are not finite";
    case BeamQualityFault::NoIncoherentPhotons:
      return "the scatter run holds no incoherent photons";
    case BeamQualityFault::NoCoherentPhotons:
      return "the scatter run holds no coherent photons";
    case BeamQualityFault::NeverHalves:
      return subject + " never halves the air kerma";
    case BeamQualityFault::NeverQuarters:
      return subject + " never brings the air kerma down to a quarter";
  }
  return "the beam-quality figures have no value";
}

}  // namespace

BeamQualityError::BeamQualityError(BeamQualityFault kind, std::string subject, int bin,
                                   double energy_kev)
    : std::runtime_error(BeamQualityMessage(kind, subject, bin, energy_kev)),
      kind(kind),
      subject(std::move(subject)),
      bin(bin),
      energy_kev(energy_kev) {}

FileWriteError::FileWriteError(std::string_view kind, std::filesystem::path file,
                               std::string reason)
    : std::runtime_error(FileWriteMessage(kind, file, reason)),
      kind(kind),
      file(std::move(file)),
      reason(std::move(reason)) {}

TableError::TableError(TableFailure kind, std::string file, std::filesystem::path folder)
    : std::runtime_error("data table " + file + " " + Summary(kind)),
      kind(kind),
      file(std::move(file)),
      folder(std::move(folder)) {}

void TableError::SetText(std::string_view field_text) {
  text_cut = field_text.size() > kKeptTextBytes;
  text = std::string(field_text.substr(0, kKeptTextBytes));
}

std::string SpectrumFileMessage(const std::string& source, int line, const std::string& problem) {
  return line > 0 ? source + ", line " + std::to_string(line) + ": " + problem
                  : source + ": " + problem;
}

}  // namespace xscatter
