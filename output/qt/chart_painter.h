// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QRect>

#include "output/qt/chart_marks.h"

namespace xscatter {

// How a chart surface looks besides its marks.
struct ChartLook {
  QColor background;
  QColor text;
  QFont font;  // its pixel size set, in logical pixels
};

// Where a chart's inner area lies on a paint device: its rectangle in device pixels and the device
// pixels per logical pixel. Line widths are in logical pixels, like the screen's. A device that
// cannot clip (SVG) has its lines cut at the area's edges instead.
struct ChartArea {
  QRect pixels;
  qreal ratio;
  bool cut_at_edges = false;
};

// Whole device pixels of a line that is `width` logical pixels wide: equal lines come out equal
// at every scale, and never thinner than one pixel.
int DevicePenWidth(int width, qreal ratio);

// The centre of a line `device_width` pixels wide placed on whole device pixels at `at`, chosen so
// that it covers the pixels an unsnapped line at `at` covers at scale 1.
double SnapToPixels(double at, int device_width);

// Draws chart marks through a painter that works in device pixels (no transform). The grid, the
// frame and points are placed on whole device pixels; curves keep their exact vertices with a
// whole-pixel width. Segments reaching far off the area are cut short first, and points that are
// not numbers are left out, so no value can upset the rasteriser.
class ChartPainter {
 public:
  ChartPainter(QPainter& painter, const ChartArea& area, const ChartLook& look);

  void Draw(const ChartMark& mark);

 private:
  void DrawMark(const ClearMark& mark);
  void DrawMark(const LineMark& mark);
  void DrawMark(const CurveMark& mark);
  void DrawMark(const RectangleMark& mark);
  void DrawMark(const PointMark& mark);
  void DrawMark(const TextMark& mark);

  // Chart units to logical pixels of the area, and to device pixels of the device.
  QPointF ToLogical(QPointF units) const;
  QPointF ToDevice(QPointF units) const;
  QPointF Snap(QPointF device, int device_width) const;
  QRectF Reach(int device_width) const;
  QPen PenFor(int colour, int device_width) const;

  QPainter& painter_;
  ChartArea area_;
  ChartLook look_;
};

}  // namespace xscatter
