// SPDX-License-Identifier: MIT
#include "output/spectrum_files.h"

#include <string_view>

#include "output/number_format.h"

namespace xscatter {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

std::string SpectrumText(const char* header, const GridArray* first, const GridArray& second,
                         int second_decimals) {
  std::string text = header;
  text += kLineEnd;
  text.reserve(24 * kLastBin);
  for (int i = 1; i <= kLastBin; ++i) {
    // Without a first column the bin's own energy stands there.
    AppendScientific(text, first ? (*first)[i] : 0.5 * i, 3);
    text.append(2, ' ');
    AppendScientific(text, second[i], second_decimals);
    text += kLineEnd;
  }
  return text;
}

}  // namespace

std::string PrimarySpectrumText(const GridArray& primary) {
  return SpectrumText(" keV   Fluence", nullptr, primary, 3);
}

std::string IncoherentSpectrumText(const GridArray& energy, const GridArray& fluence) {
  return SpectrumText(" keV     Fluence", &energy, fluence, 4);
}

std::string CoherentSpectrumText(const GridArray& coherent) {
  return SpectrumText(" keV     Fluence", nullptr, coherent, 4);
}

}  // namespace xscatter
