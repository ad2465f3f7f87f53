#pragma once

#include <stdexcept>
#include <string>

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

// Inputs for which the beam-quality figures have no defined value: negative or non-finite values,
// a beam without weight, or a material that never attenuates the beam far enough.
class BeamQualityError : public std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The message of a SpectrumFileError: "SOURCE, line N: PROBLEM", or "SOURCE: PROBLEM" when the
// problem concerns the whole source (line 0).
inline std::string SpectrumFileMessage(const std::string& source, int line,
                                       const std::string& problem) {
  return line > 0 ? source + ", line " + std::to_string(line) + ": " + problem
                  : source + ": " + problem;
}

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
