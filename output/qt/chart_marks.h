// SPDX-License-Identifier: MIT
#pragma once

#include <QPointF>
#include <string>
#include <variant>
#include <vector>

#include "output/chart_surface.h"

namespace xscatter {

// What one chart primitive leaves on a surface, with the surface's state resolved: points in chart
// units, widths in logical pixels, colours as palette numbers.
struct ClearMark {};
// A straight line given by both ends (the grid); drawn on whole device pixels.
struct LineMark {
  QPointF from;
  QPointF to;
  int colour;
  int width;
};
// Successive line-tos (the spectra): the vertices keep their exact places, so the curve keeps its
// shape.
struct CurveMark {
  std::vector<QPointF> points;
  int colour;
  int width;
};
struct RectangleMark {
  QPointF corner;
  QPointF opposite;
  int colour;
  int width;
};
struct PointMark {
  QPointF at;
  int colour;
  int width;
};
struct TextMark {
  QPointF top_left;
  std::string text;
};
using ChartMark = std::variant<ClearMark, LineMark, CurveMark, RectangleMark, PointMark, TextMark>;

// A chart surface that turns each primitive into a mark, keeping the current point and the line
// width as the primitives define them.
class MarkingSurface : public ChartSurface {
 public:
  void Clear() final;
  void SetLineWidth(int pixels) final;
  void Line(float x1, float y1, float x2, float y2, int colour) final;
  void LineTo(float x, float y, int colour) final;
  void Rectangle(float x1, float y1, float x2, float y2, int colour) final;
  void Point(float x, float y, int colour) final;
  void Text(float x, float y, const std::string& text) final;

 protected:
  virtual void Mark(ChartMark mark) = 0;

 private:
  QPointF current_{0, 0};
  int line_width_ = 1;
};

// Appends a mark to a chart's marks in drawing order: a line-to continuing a curve of its colour
// and width joins it, and a clear drops everything before it, since it covers it all.
void AddMark(std::vector<ChartMark>& marks, ChartMark mark);

// The marks of one chart in drawing order, kept to be drawn again. Successive line-tos of one
// colour and width join into one curve; a clear drops everything before it, since it covers it all.
class ChartRecording : public MarkingSurface {
 public:
  const std::vector<ChartMark>& Marks() const { return marks_; }

 protected:
  void Mark(ChartMark mark) override;

 private:
  std::vector<ChartMark> marks_;
};

}  // namespace xscatter
