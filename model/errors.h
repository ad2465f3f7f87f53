// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace xscatter {

// What went wrong with a data table.
enum class TableFailure {
  IsFolder,          // the name is a folder
  NotRegularFile,    // a pipe, device or socket: never read, it could block or never end
  CannotOpen,        // error_number says why
  CannotRead,        // error_number says why
  TooLarge,          // found bytes or more, at most needed allowed
  OutOfMemory,       // the table did not fit into memory
  Unexpected,        // any other failure; detail holds its description
  EndsEarly,         // field `field` of record `record` missing: needed fields, found present
  NotANumber,        // field `field` of record `record` holds `text`
  NotPositive,       // field `field` of record `record` must be above 0 and is `text`
  Negative,          // field `field` of record `record` must not be below 0 and is `text`
  NotAscending,      // x of record `record` (`text`) is not above x of the record before
                     // (`previous_text`)
  BadMaterialCount,  // record 1 holds `text`, not a whole number from 1 to needed
  EmptyName,         // record `record` has an empty material name
  DuplicateName,     // the name `text` of record `record` was already given in record found
  PzNotAscending,    // pz of record `record` (`text`) is not above the pz of the record before
                     // (`previous_text`), or, in the first row (no previous_text), is not 0
};

// A data table that cannot be used. It carries what failed as data; DescribeTableError turns it
// into the message the user reads, and what() is a short technical summary.
class TableError : public std::runtime_error {
 public:
  TableError(TableFailure kind, std::string file, std::filesystem::path folder);

  TableFailure kind;
  std::string file;              // name of the table inside the folder, e.g. "Mus.dat"
  std::filesystem::path folder;  // the folder that was searched
  int error_number = 0;          // errno of CannotOpen and CannotRead
  std::int64_t record = 0;       // 1-based record of the stream
  int field = 0;                 // 1-based field within the record
  std::int64_t needed = 0;       // fields, bytes or materials that were needed
  std::int64_t found = 0;        // fields, bytes or the record of an earlier name
  std::string text;              // the offending field; only its beginning when text_cut
  bool text_cut = false;
  std::string previous_text;  // NotAscending: the value of the record before
  std::string detail;         // Unexpected: the failure's own description

  // Keeps at most the first kKeptTextBytes bytes of a field, so a huge field is not copied along.
  void SetText(std::string_view field_text);
  static constexpr std::size_t kKeptTextBytes = 256;
};

// The exposure conditions passed the checks but give no finite primary spectrum.
class ModelError : public std::runtime_error {
  using std::runtime_error::runtime_error;
};

// What went wrong while interpolating the momentum-transfer table at x.
struct InterpolationFault {
  enum class Kind {
    PastLastRow,          // x reaches the last row; value holds that row's x
    NonPositiveX,         // row's x is not positive; value holds it
    NonPositiveValue,     // row's function value is not positive; value holds it
    NonPositiveArgument,  // x itself is not positive
    EqualRows,            // rows row and row + 1 hold the same x
    NotFinite,            // the interpolated value overflows
    AngleNotFinite,       // the scattering angle gives no finite angular factor
  };
  Kind kind;
  double x = 0;
  double value = 0;
  int row = 0;
};

class InterpolationError : public std::runtime_error {
 public:
  explicit InterpolationError(const InterpolationFault& fault)
      : std::runtime_error("interpolation of the momentum-transfer table failed"), fault(fault) {}
  InterpolationFault fault;
};

enum class ScatterModel { Incoherent, Coherent };

// A failure inside a scatter model at the primary photon energy energy_kev.
class ScatterModelError : public std::runtime_error {
 public:
  ScatterModelError(ScatterModel model, double energy_kev, const InterpolationFault& fault)
      : std::runtime_error("scatter model failed"),
        model(model),
        energy_kev(energy_kev),
        fault(fault) {}
  ScatterModel model;
  double energy_kev;
  InterpolationFault fault;
};

// The scatter spectra could not be normalised to their common maximum.
class NormalisationError : public std::runtime_error {
 public:
  explicit NormalisationError(bool nothing_scattered)
      : std::runtime_error("scatter spectra cannot be normalised"),
        nothing_scattered(nothing_scattered) {}
  bool nothing_scattered;  // else a value overflowed
};

// A file that could not be written: its kind as the message names it ("スペクトルファイル",
// "画像ファイル"), the file and the reason. what() is the message the user reads, which also names
// the folder.
class FileWriteError : public std::runtime_error {
 public:
  FileWriteError(std::string_view kind, std::filesystem::path file, std::string reason);
  std::string kind;
  std::filesystem::path file;
  std::string reason;
};

// Why the beam-quality figures have no defined value.
enum class BeamQualityFault {
  BinCountOutsideGrid,  // `bin` is the spectrum's last bin
  BadValue,             // `subject` (a spectrum or table) at `bin` is negative or not finite
  KermaNotFinite,       // the air kerma of `bin`
  NoValueAtEnergy,      // no usable `subject` at the scattered energy `energy_kev` of `bin`
  NoAirKerma,           // the spectrum carries none
  BadCommonMaximum,     // the scatter run's common maximum is not a finite positive number
  PhotonsNotFinite,     // the normalised incoherent photons of `bin`
  NoIncoherentPhotons,  // the scatter run holds none
  NoCoherentPhotons,    // the scatter run holds none
  NeverHalves,          // `subject` (a material) never halves the air kerma
  NeverQuarters,        // `subject` never brings the air kerma down to a quarter
};

// Inputs for which the beam-quality figures have no defined value. what() is the English sentence
// the reports print.
class BeamQualityError : public std::runtime_error {
 public:
  explicit BeamQualityError(BeamQualityFault kind, std::string subject = {}, int bin = 0,
                            double energy_kev = 0);
  BeamQualityFault kind;
  std::string subject;
  int bin;
  double energy_kev;
};

// The message of a SpectrumFileError: "SOURCE, line N: PROBLEM", or "SOURCE: PROBLEM" when the
// problem concerns the whole source (line 0).
std::string SpectrumFileMessage(const std::string& source, int line, const std::string& problem);

// A primary spectrum from outside the program (a text file, or arrays of points) that cannot be
// used. `line` is the 1-based line of a file, or 0 when the problem concerns no single line.
class SpectrumFileError : public std::runtime_error {
 public:
  SpectrumFileError(const std::string& source, int line, const std::string& problem)
      : std::runtime_error(SpectrumFileMessage(source, line, problem)), line_(line) {}
  int line() const noexcept { return line_; }

 private:
  int line_;
};

}  // namespace xscatter
