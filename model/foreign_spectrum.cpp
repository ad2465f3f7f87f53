// SPDX-License-Identifier: MIT
#include "model/foreign_spectrum.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <limits>
#include <optional>
#include <system_error>

#include "model/decimal_number.h"
#include "model/errors.h"
#include "output/number_format.h"

namespace xscatter {
namespace {

constexpr double kZeroThreshold = 1e-100;
constexpr double kTopOfGrid = kLastBin * kBinWidth;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

struct Points {
  std::vector<double> energy;
  std::vector<double> fluence;
};

// Before the first point: every finite energy lies above it.
constexpr double kNoPreviousEnergy = -std::numeric_limits<double>::infinity();

// Why a point cannot follow the points before it, or nothing. The texts show the values as the
// source gave them.
std::optional<std::string> PointProblem(double energy, double fluence, double previous_energy,
                                        const std::string& energy_text,
                                        const std::string& fluence_text,
                                        const std::string& previous_text) {
  if (!std::isfinite(energy)) return "energy " + energy_text + " is not a finite number";
  if (!std::isfinite(fluence)) return "fluence " + fluence_text + " is not a finite number";
  if (energy < 0) return "energy " + energy_text + " keV is negative";
  if (!(energy > previous_energy)) {
    return "energy " + energy_text + " keV is not above the previous point's " + previous_text +
           " keV";
  }
  if (fluence < 0) return "fluence " + fluence_text + " is negative";
  return std::nullopt;
}

// Where the channel of point k begins: halfway to the point before, and for the first point as
// far below it as the second lies above (a channel the same width as its neighbour's), but not
// below 0 keV. Written as a + (b − a)/2 so that no sum overflows; on the program's own grid every
// value is a multiple of 0.25 keV and exact.
double ChannelStart(const std::vector<double>& e, std::size_t k) {
  if (k > 0) return e[k - 1] + (e[k] - e[k - 1]) / 2;
  return std::max(0.0, e[0] - (e[1] - e[0]) / 2);
}

// Where it ends: halfway to the next point, and for the last point as far above it as the point
// before lies below.
double ChannelEnd(const std::vector<double>& e, std::size_t k) {
  if (k + 1 < e.size()) return e[k] + (e[k + 1] - e[k]) / 2;
  return e[k] + (e[k] - e[k - 1]) / 2;
}

// Adds the photons of every channel to the grid bins [0.5·i − 0.25, 0.5·i + 0.25) that it
// overlaps, each bin in proportion to the part of the channel's width it covers. Photons outside
// 0.25..150.25 keV have no bin and are left out.
GridArray CollectPhotons(const std::vector<double>& e, const std::vector<double>& f, double scale) {
  GridArray s{};
  for (std::size_t k = 0; k < e.size(); ++k) {
    if (f[k] == 0) continue;
    const double start = ChannelStart(e, k);
    const double end = ChannelEnd(e, k);
    if (!(start < kTopOfGrid + kBinWidth / 2)) continue;  // above the last bin
    const double width = end - start;
    const double photons = f[k] * scale;
    // The first bin whose upper edge lies above the channel's start.
    int i = std::max(1, static_cast<int>(std::floor(start / kBinWidth + 0.5)));
    for (; i <= kLastBin; ++i) {
      const double bin_start = kBinWidth * i - kBinWidth / 2;
      const double bin_end = bin_start + kBinWidth;
      if (bin_start >= end) break;
      const double overlap = std::min(end, bin_end) - std::max(start, bin_start);
      if (overlap <= 0) continue;
      // A channel within one bin gives it all its photons, without a rounded quotient.
      s[i] += overlap == width ? photons : photons * (overlap / width);
    }
  }
  return s;
}

// The grid spectrum of valid points, or nothing when no bin is above zero after normalisation.
// Each point's fluence counts the photons of its channel, which reaches halfway to the
// neighbouring points; so points on the grid's own energies give each bin its own value.
std::optional<ForeignSpectrum> OntoGrid(const std::vector<double>& e,
                                        const std::vector<double>& f) {
  ForeignSpectrum result;
  GridArray& s = result.spectrum;
  s = CollectPhotons(e, f, 1);
  double maximum = 0;
  for (int i = 1; i <= kLastBin; ++i) maximum = std::max(maximum, s[i]);
  if (!std::isfinite(maximum)) {
    // Fluences near the top of double overflow their sums: collect them again on a scale that
    // brings the largest to 1.
    double largest = 0;
    for (const double value : f) largest = std::max(largest, value);
    s = CollectPhotons(e, f, 1 / largest);
    maximum = 0;
    for (int i = 1; i <= kLastBin; ++i) maximum = std::max(maximum, s[i]);
  }
  for (double energy : e) {
    if (energy > kTopOfGrid) ++result.dropped_above_grid;
  }
  if (maximum == 0) return std::nullopt;
  for (int i = 1; i <= kLastBin; ++i) {
    s[i] /= maximum;
    if (s[i] <= kZeroThreshold) s[i] = 0;
    if (s[i] != 0) result.bin_count = i;
  }
  return result;
}

constexpr const char* kNoBinAboveZero = "no fluence above zero on the grid of 0.5 to 150 keV";

std::string TooFewPoints(std::size_t count) {
  return "holds " + std::to_string(count) + (count == 1 ? " point" : " points") +
         "; at least two (energy, fluence) are needed";
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsSeparator(char c) { return IsBlank(c) || c == ',' || c == ';'; }
bool IsDelimiter(char c) { return c == ',' || c == ';'; }

// The field that starts at `pos`, without one pair of enclosing double quotes.
std::string_view ReadField(std::string_view line, std::size_t& pos) {
  const std::size_t start = pos;
  while (pos < line.size() && !IsSeparator(line[pos])) ++pos;
  std::string_view field = line.substr(start, pos - start);
  if (field.size() >= 2 && field.front() == '"' && field.back() == '"') {
    field = field.substr(1, field.size() - 2);
  }
  return field;
}

void SkipBlanks(std::string_view line, std::size_t& pos) {
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
}

// The first two fields of a line; the second is absent when the line ends after the first.
struct LeadingFields {
  std::string_view first;
  std::optional<std::string_view> second;
};

LeadingFields SplitLeadingFields(std::string_view line) {
  std::size_t pos = 0;
  SkipBlanks(line, pos);
  LeadingFields fields{ReadField(line, pos), std::nullopt};
  SkipBlanks(line, pos);
  if (pos < line.size() && IsDelimiter(line[pos])) {
    ++pos;
    SkipBlanks(line, pos);
    fields.second = ReadField(line, pos);
  } else if (pos < line.size()) {
    fields.second = ReadField(line, pos);
  }
  return fields;
}

// The text of the next line and its end, with LF, CRLF or CR as line end.
std::string_view NextLine(std::string_view text, std::size_t& pos) {
  const std::size_t start = pos;
  while (pos < text.size() && text[pos] != '\n' && text[pos] != '\r') ++pos;
  const std::string_view line = text.substr(start, pos - start);
  if (pos < text.size() && text[pos] == '\r') {
    ++pos;
    if (pos < text.size() && text[pos] == '\n') ++pos;
  } else if (pos < text.size()) {
    ++pos;  // the LF
  }
  return line;
}

// The value of a field that is a decimal number as a whole (it may be infinite), or nothing.
std::optional<double> FieldNumber(std::string_view field) {
  if (field.empty() || DecimalNumberLength(field) != field.size()) return std::nullopt;
  return DecimalNumberValue(field);
}

std::string Quoted(std::string_view field) { return "\"" + std::string(field) + "\""; }

// Closes a file descriptor when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

std::string ErrnoText(int error) { return std::generic_category().message(error); }

}  // namespace

ForeignSpectrum ResampleSpectrum(const std::vector<double>& energy_kev,
                                 const std::vector<double>& fluence) {
  const std::string source = "spectrum";
  if (energy_kev.size() != fluence.size()) {
    throw SpectrumFileError(source, 0,
                            std::to_string(energy_kev.size()) + " energies but " +
                                std::to_string(fluence.size()) + " fluences");
  }
  if (energy_kev.size() < 2) throw SpectrumFileError(source, 0, TooFewPoints(energy_kev.size()));
  for (std::size_t k = 0; k < energy_kev.size(); ++k) {
    const double previous = k == 0 ? kNoPreviousEnergy : energy_kev[k - 1];
    const std::optional<std::string> problem =
        PointProblem(energy_kev[k], fluence[k], previous, ShortestText(energy_kev[k]),
                     ShortestText(fluence[k]), k == 0 ? "" : ShortestText(energy_kev[k - 1]));
    if (problem) {
      throw SpectrumFileError(source, 0, "point " + std::to_string(k + 1) + ": " + *problem);
    }
  }
  const std::optional<ForeignSpectrum> result = OntoGrid(energy_kev, fluence);
  if (!result) throw SpectrumFileError(source, 0, kNoBinAboveZero);
  return *result;
}

ForeignSpectrum ParseSpectrumText(std::string_view text, const std::string& name) {
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  Points points;
  std::string_view previous_text;
  std::size_t pos = 0;
  for (int line_number = 1; pos < text.size(); ++line_number) {
    const LeadingFields fields = SplitLeadingFields(NextLine(text, pos));
    const std::optional<double> energy = FieldNumber(fields.first);
    if (!energy) continue;
    if (!std::isfinite(*energy)) {
      throw SpectrumFileError(name, line_number,
                              "energy " + Quoted(fields.first) + " is not a finite number");
    }
    if (!fields.second || fields.second->empty()) {
      throw SpectrumFileError(name, line_number,
                              "only one number; a data line needs energy and fluence");
    }
    const std::optional<double> fluence = FieldNumber(*fields.second);
    if (!fluence || !std::isfinite(*fluence)) {
      throw SpectrumFileError(name, line_number,
                              "fluence " + Quoted(*fields.second) + " is not a finite number");
    }
    const double previous = points.energy.empty() ? kNoPreviousEnergy : points.energy.back();
    const std::optional<std::string> problem =
        PointProblem(*energy, *fluence, previous, std::string(fields.first),
                     std::string(*fields.second), std::string(previous_text));
    if (problem) throw SpectrumFileError(name, line_number, *problem);
    points.energy.push_back(*energy);
    points.fluence.push_back(*fluence);
    previous_text = fields.first;
  }
  if (points.energy.size() < 2) {
    throw SpectrumFileError(name, 0, TooFewPoints(points.energy.size()));
  }
  const std::optional<ForeignSpectrum> result = OntoGrid(points.energy, points.fluence);
  if (!result) throw SpectrumFileError(name, 0, kNoBinAboveZero);
  return *result;
}

ForeignSpectrum ReadForeignSpectrum(const std::filesystem::path& file) {
  const std::string name = file.string();
  // Non-blocking, so that a named pipe or device cannot stall the open; it is refused below.
  const Descriptor fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (fd.get() < 0) {
    throw SpectrumFileError(name, 0, "cannot be opened (" + ErrnoText(errno) + ")");
  }
  struct stat status {};
  if (::fstat(fd.get(), &status) != 0) {
    throw SpectrumFileError(name, 0, "cannot be read (" + ErrnoText(errno) + ")");
  }
  if (!S_ISREG(status.st_mode)) throw SpectrumFileError(name, 0, "is not a regular file");
  const std::string too_large =
      "is larger than " + std::to_string(kMaxSpectrumFileBytes >> 20) + " MiB";
  if (static_cast<std::uintmax_t>(status.st_size) > kMaxSpectrumFileBytes) {
    throw SpectrumFileError(name, 0, too_large);
  }

  // Read until the end or one byte past the limit, so that a file growing meanwhile is caught.
  std::string content;
  char chunk[1 << 16];
  while (content.size() <= kMaxSpectrumFileBytes) {
    const ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw SpectrumFileError(name, 0, "cannot be read (" + ErrnoText(errno) + ")");
    if (got == 0) break;
    content.append(chunk, static_cast<std::size_t>(got));
  }
  if (content.size() > kMaxSpectrumFileBytes) throw SpectrumFileError(name, 0, too_large);
  return ParseSpectrumText(content, name);
}

}  // namespace xscatter
