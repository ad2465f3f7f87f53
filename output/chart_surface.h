// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace xscatter {

// Colours of the classic 16-colour palette, by number.
inline constexpr int kBlack = 0;
inline constexpr int kGrey = 8;
inline constexpr int kLightBlue = 9;
inline constexpr int kLightRed = 12;

struct Rgb {
  int red;
  int green;
  int blue;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// RGB of palette colour 0..15.
Rgb PaletteColour(int number);

// A retained drawing surface of 6000 x 2500 chart units (origin top-left, y downward) with a
// current point and a line width in pixels. Coordinates arrive in single precision.
class ChartSurface {
 public:
  virtual ~ChartSurface() = default;
  // Fills the inner area with the background colour; current point (0, 0).
  virtual void Clear() = 0;
  virtual void SetLineWidth(int pixels) = 0;
  // Each of these leaves the current point at the last corner given.
  virtual void Line(float x1, float y1, float x2, float y2, int colour) = 0;
  virtual void LineTo(float x, float y, int colour) = 0;
  virtual void Rectangle(float x1, float y1, float x2, float y2, int colour) = 0;
  virtual void Point(float x, float y, int colour) = 0;
  // Moves the current point to (x, y), then draws the text with its top-left corner there.
  virtual void Text(float x, float y, const std::string& text) = 0;
};

}  // namespace xscatter
