// SPDX-License-Identifier: MIT
#include "output/qt/chart_marks.h"

#include <algorithm>

namespace xscatter {

void MarkingSurface::Clear() {
  current_ = QPointF(0, 0);
  Mark(ClearMark{});
}

// A pen is never narrower than one pixel.
void MarkingSurface::SetLineWidth(int pixels) { line_width_ = std::max(pixels, 1); }

void MarkingSurface::Line(float x1, float y1, float x2, float y2, int colour) {
  current_ = QPointF(x2, y2);
  Mark(LineMark{QPointF(x1, y1), current_, colour, line_width_});
}

void MarkingSurface::LineTo(float x, float y, int colour) {
  const QPointF from = current_;
  current_ = QPointF(x, y);
  Mark(CurveMark{{from, current_}, colour, line_width_});
}

void MarkingSurface::Rectangle(float x1, float y1, float x2, float y2, int colour) {
  current_ = QPointF(x2, y2);
  Mark(RectangleMark{QPointF(x1, y1), current_, colour, line_width_});
}

void MarkingSurface::Point(float x, float y, int colour) {
  current_ = QPointF(x, y);
  Mark(PointMark{current_, colour, line_width_});
}

void MarkingSurface::Text(float x, float y, const std::string& text) {
  current_ = QPointF(x, y);
  Mark(TextMark{current_, text});
}

void AddMark(std::vector<ChartMark>& marks, ChartMark mark) {
  if (std::holds_alternative<ClearMark>(mark)) marks.clear();
  // A line-to always starts where the mark before it ended when that mark was a line-to too.
  if (const auto* segment = std::get_if<CurveMark>(&mark); segment && !marks.empty()) {
    if (auto* curve = std::get_if<CurveMark>(&marks.back());
        curve && curve->colour == segment->colour && curve->width == segment->width) {
      curve->points.push_back(segment->points.back());
      return;
    }
  }
  marks.push_back(std::move(mark));
}

void ChartRecording::Mark(ChartMark mark) { AddMark(marks_, std::move(mark)); }

}  // namespace xscatter
