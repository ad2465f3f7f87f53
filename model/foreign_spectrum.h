// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "model/grid.h"

namespace xscatter {

// A measured or foreign primary spectrum on the grid: bins 1..300 normalised to a maximum of 1,
// every value either 0 or above 1e-100.
struct ForeignSpectrum {
  GridArray spectrum{};
  int bin_count = 0;           // the highest non-zero bin
  int dropped_above_grid = 0;  // points above 150 keV, which the grid cannot show
};

// The largest file ReadForeignSpectrum accepts.
inline constexpr std::uintmax_t kMaxSpectrumFileBytes = 16u << 20;

// Resamples points (energy in keV, strictly increasing and not negative; fluence finite and not
// negative, any unit) onto the grid, keeping the number of photons. The points are a histogram:
// point k's fluence is the photon count of its channel, which reaches halfway to the neighbouring
// points; the first channel reaches as far below its point as the second point lies above (but
// not below 0 keV), the last as far above its point as the one before lies below. Each bin
// 0.5·i ± 0.25 keV receives the photons of the parts of the channels it overlaps, spread evenly
// over each channel. So points on the grid's own energies give each bin its own value, and a
// narrow line keeps its photons wherever it falls. Photons outside 0.25..150.25 keV are left out;
// points above 150 keV are counted as dropped. Then the spectrum is divided by its largest bin,
// quotients ≤ 1e-100 becoming 0, as the primary model does. Throws SpectrumFileError (source
// "spectrum", the 1-based point number in the message) for arrays of different lengths, fewer than
// two points, a bad point, or no non-zero bin.
ForeignSpectrum ResampleSpectrum(const std::vector<double>& energy_kev,
                                 const std::vector<double>& fluence);

// Reads the points of a text table and resamples them. A line whose first field is not a number
// is skipped (headers, comments, footers, blank lines); every other line must start with two
// numbers, energy and fluence, and may hold more. Fields are separated by blanks, tabs, commas or
// semicolons (a comma is never a decimal point); two delimiters in a row leave an empty field.
// A field may be enclosed in double quotes. Lines end with LF, CRLF or CR. Numbers have the
// table-number form: sign, digits, one period, exponent with E or e. A data line separated by
// ';' with a ',' between two digits is refused (decimal commas would be read as separators), and so
// is a text with NUL bytes or a UTF-16 byte-order mark, naming its encoding. Throws
// SpectrumFileError naming `name` and the line.
ForeignSpectrum ParseSpectrumText(std::string_view text, const std::string& name);

// ParseSpectrumText on a regular file of at most kMaxSpectrumFileBytes. Throws SpectrumFileError
// naming the file when it cannot be opened or read, is not a regular file, is too large, or holds
// a bad table.
ForeignSpectrum ReadForeignSpectrum(const std::filesystem::path& file);

}  // namespace xscatter
