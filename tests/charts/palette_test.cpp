#include <gtest/gtest.h>

#include <stdexcept>

#include "output/chart_surface.h"

namespace xscatter {
namespace {

TEST(PaletteColour, ClassicSixteenColours) {
  struct Case {
    int number;
    Rgb rgb;
  };
  const Case cases[] = {
      {0, {0, 0, 0}},       {1, {0, 0, 128}},    {7, {192, 192, 192}},
      {8, {128, 128, 128}}, {9, {0, 0, 255}},    {10, {0, 255, 0}},
      {12, {255, 0, 0}},    {14, {255, 255, 0}}, {15, {255, 255, 255}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PaletteColour(c.number), c.rgb) << "colour " << c.number;
  }
}

TEST(PaletteColour, NamedChartColours) {
  EXPECT_EQ(PaletteColour(kBlack), (Rgb{0, 0, 0}));
  EXPECT_EQ(PaletteColour(kGrey), (Rgb{128, 128, 128}));
  EXPECT_EQ(PaletteColour(kLightBlue), (Rgb{0, 0, 255}));
  EXPECT_EQ(PaletteColour(kLightRed), (Rgb{255, 0, 0}));
}

TEST(PaletteColour, RejectsNumbersOutsideThePalette) {
  EXPECT_THROW(PaletteColour(-1), std::out_of_range);
  EXPECT_THROW(PaletteColour(16), std::out_of_range);
}

}  // namespace
}  // namespace xscatter
