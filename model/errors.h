#pragma once

#include <stdexcept>

namespace xscatter {

// A data table that is missing, unreadable, too short or holds a non-number where a value is used.
class TableError : public std::runtime_error {
  using std::runtime_error::runtime_error;
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

// A spectrum file that could not be written.
class FileWriteError : public std::runtime_error {
  using std::runtime_error::runtime_error;
};

}  // namespace xscatter
