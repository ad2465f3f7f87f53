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

// A failure inside the scatter models: table search past the last row, logarithm of a non-positive
// table value, or a non-finite interpolation.
class ScatterModelError : public std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A spectrum file that could not be written.
class FileWriteError : public std::runtime_error {
  using std::runtime_error::runtime_error;
};

}  // namespace xscatter
