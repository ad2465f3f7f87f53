// SPDX-License-Identifier: MIT
#include "model/foreign_spectrum.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "model/decimal_number.h"
#include "model/errors.h"
#include "model/regular_file.h"
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
std::optional<SpectrumFileFault> PointFault(double energy, double fluence, double previous_energy,
                                            std::string_view energy_text,
                                            std::string_view fluence_text,
                                            std::string_view previous_text) {
  SpectrumFileFault fault;
  if (!std::isfinite(energy)) {
    fault.kind = SpectrumFault::EnergyNotFinite;
  } else if (!std::isfinite(fluence)) {
    fault.kind = SpectrumFault::FluenceNotFinite;
  } else if (energy < 0) {
    fault.kind = SpectrumFault::EnergyNegative;
  } else if (!(energy > previous_energy)) {
    fault.kind = SpectrumFault::EnergyNotAbove;
    fault.previous_text = previous_text.substr(0, SpectrumFileFault::kKeptTextBytes);
  } else if (fluence < 0) {
    fault.kind = SpectrumFault::FluenceNegative;
  } else {
    return std::nullopt;
  }
  const bool about_fluence =
      fault.kind == SpectrumFault::FluenceNotFinite || fault.kind == SpectrumFault::FluenceNegative;
  fault.SetText(about_fluence ? fluence_text : energy_text);
  return fault;
}

std::optional<std::string> PointProblem(double energy, double fluence, double previous_energy,
                                        const std::string& energy_text,
                                        const std::string& fluence_text,
                                        const std::string& previous_text) {
  const std::optional<SpectrumFileFault> fault =
      PointFault(energy, fluence, previous_energy, energy_text, fluence_text, previous_text);
  if (!fault) return std::nullopt;
  return DescribeSpectrumProblem(*fault);
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

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Whether a line separates its fields with ';' and also holds a ',' between two digits: decimal
// commas, which read field by field would make 10,5 two numbers. A ',' elsewhere (after a blank,
// in a comment) is a separator as always.
bool HoldsDecimalComma(std::string_view line) {
  if (line.find(';') == std::string_view::npos) return false;
  for (std::size_t k = 1; k + 1 < line.size(); ++k) {
    if (line[k] == ',' && IsDigit(line[k - 1]) && IsDigit(line[k + 1])) return true;
  }
  return false;
}

// The encoding of a text that is not 8-bit text, or nothing: UTF-16 by its byte-order mark or by
// the NUL bytes that its ASCII characters carry in every other byte, else any NUL byte.
std::optional<std::string> WideEncoding(std::string_view text) {
  if (text.starts_with("\xFF\xFE")) return "UTF-16 (little-endian, with byte-order mark)";
  if (text.starts_with("\xFE\xFF")) return "UTF-16 (big-endian, with byte-order mark)";
  const std::size_t nul = text.find('\0');
  if (nul == std::string_view::npos) return std::nullopt;
  if (text.size() >= 2 && text[0] != '\0' && text[1] == '\0') return "UTF-16 (little-endian)";
  if (text.size() >= 2 && text[0] == '\0' && text[1] != '\0') return "UTF-16 (big-endian)";
  return "binary data (a NUL byte at byte " + std::to_string(nul + 1) + ")";
}

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
  const auto fail = [&name](SpectrumFault kind, int line = 0) {
    return SpectrumFileError(SpectrumFileFault(kind, name, line));
  };
  if (const std::optional<std::string> encoding = WideEncoding(text)) {
    SpectrumFileFault fault(SpectrumFault::WideEncoding, name);
    fault.text = *encoding;
    throw SpectrumFileError(std::move(fault));
  }
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  Points points;
  std::string_view previous_text;
  std::size_t pos = 0;
  for (int line_number = 1; pos < text.size(); ++line_number) {
    const std::string_view line = NextLine(text, pos);
    const LeadingFields fields = SplitLeadingFields(line);
    const std::optional<double> energy = FieldNumber(fields.first);
    if (!energy) continue;
    const auto fail_on_field = [&](SpectrumFault kind, std::string_view field) {
      SpectrumFileFault fault(kind, name, line_number);
      fault.SetText(field);
      fault.quote_text = true;
      return SpectrumFileError(std::move(fault));
    };
    if (HoldsDecimalComma(line)) throw fail(SpectrumFault::DecimalComma, line_number);
    if (!std::isfinite(*energy)) throw fail_on_field(SpectrumFault::EnergyNotFinite, fields.first);
    if (!fields.second || fields.second->empty()) {
      throw fail(SpectrumFault::OnlyOneNumber, line_number);
    }
    const std::optional<double> fluence = FieldNumber(*fields.second);
    if (!fluence || !std::isfinite(*fluence)) {
      throw fail_on_field(SpectrumFault::FluenceNotFinite, *fields.second);
    }
    const double previous = points.energy.empty() ? kNoPreviousEnergy : points.energy.back();
    if (std::optional<SpectrumFileFault> fault =
            PointFault(*energy, *fluence, previous, fields.first, *fields.second, previous_text)) {
      fault->source = name;
      fault->line = line_number;
      throw SpectrumFileError(std::move(*fault));
    }
    points.energy.push_back(*energy);
    points.fluence.push_back(*fluence);
    previous_text = fields.first;
  }
  if (points.energy.size() < 2) {
    SpectrumFileFault fault(SpectrumFault::TooFewPoints, name);
    fault.count = points.energy.size();
    throw SpectrumFileError(std::move(fault));
  }
  const std::optional<ForeignSpectrum> result = OntoGrid(points.energy, points.fluence);
  if (!result) throw fail(SpectrumFault::NothingOnGrid);
  return *result;
}

ForeignSpectrum ReadForeignSpectrum(const std::filesystem::path& file) {
  const std::string name = file.string();
  const auto fail = [&name](SpectrumFault kind, int error_number = 0) {
    SpectrumFileFault fault(kind, name);
    fault.error_number = error_number;
    fault.count = kMaxSpectrumFileBytes >> 20;
    return SpectrumFileError(std::move(fault));
  };
  auto read = ReadRegularFile(file, static_cast<std::int64_t>(kMaxSpectrumFileBytes));
  if (const auto* failure = std::get_if<RegularFileFailure>(&read)) {
    using Kind = RegularFileFailure::Kind;
    switch (failure->kind) {
      case Kind::CannotOpen:
        throw fail(SpectrumFault::CannotOpen, failure->error_number);
      case Kind::CannotRead:
        throw fail(SpectrumFault::CannotRead, failure->error_number);
      case Kind::IsFolder:
      case Kind::NotRegularFile:
        throw fail(SpectrumFault::NotRegularFile);
      case Kind::TooLarge:
        throw fail(SpectrumFault::TooLarge);
    }
  }
  const std::string content = std::move(std::get<std::string>(read));
  return ParseSpectrumText(content, name);
}

}  // namespace xscatter
