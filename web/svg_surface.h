// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "output/chart_surface.h"

namespace xscatter::web {

// A chart surface that keeps its drawing as SVG elements, in the pixels of the screens' chart
// boxes (9135 x 6615 twips at 96 dpi, less the border). Consecutive LineTo calls in one colour and
// width are kept as one polyline, so a curve stays a single element.
class SvgSurface : public ChartSurface {
 public:
  static constexpr double kWidth = 607;
  static constexpr double kHeight = 439;

  void Clear() override;
  void SetLineWidth(int pixels) override;
  void Line(float x1, float y1, float x2, float y2, int colour) override;
  void LineTo(float x, float y, int colour) override;
  void Rectangle(float x1, float y1, float x2, float y2, int colour) override;
  void Point(float x, float y, int colour) override;
  void Text(float x, float y, const std::string& text) override;

  // The whole picture as a standalone SVG document.
  std::string Svg() const;

 private:
  // The polyline still being drawn as an element; empty when none is open.
  std::string OpenPolyline() const;
  void EndPolyline();

  std::string body_;
  std::string polyline_;  // points of the open polyline, empty when none is open
  int polyline_colour_ = 0;
  int line_width_ = 1;
  float x_ = 0;
  float y_ = 0;
};

}  // namespace xscatter::web
