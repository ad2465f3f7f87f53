// SPDX-License-Identifier: MIT
#include <array>
#include <stdexcept>

#include "output/chart_surface.h"

namespace xscatter {

Rgb PaletteColour(int number) {
  // The classic 16-colour console palette: the dark colours at half intensity, 7 light grey, and
  // from 8 on the bright colours.
  static constexpr std::array<Rgb, 16> kPalette{{
      {0, 0, 0},
      {0, 0, 128},
      {0, 128, 0},
      {0, 128, 128},
      {128, 0, 0},
      {128, 0, 128},
      {128, 128, 0},
      {192, 192, 192},
      {128, 128, 128},
      {0, 0, 255},
      {0, 255, 0},
      {0, 255, 255},
      {255, 0, 0},
      {255, 0, 255},
      {255, 255, 0},
      {255, 255, 255},
  }};
  if (number < 0 || number >= static_cast<int>(kPalette.size())) {
    throw std::out_of_range("palette colour number out of range 0..15");
  }
  return kPalette[static_cast<std::size_t>(number)];
}

}  // namespace xscatter
