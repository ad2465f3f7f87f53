// SPDX-License-Identifier: MIT
#include "output/qt/chart_painter.h"

#include <QFontMetricsF>
#include <QPolygonF>
#include <QString>
#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace xscatter {
namespace {

constexpr double kUnitsAcross = 6000;
constexpr double kUnitsDown = 2500;
// Lines are cut this far off the area: nothing there shows, and the rasteriser's fixed-point
// arithmetic copes with it. Infinities are first brought in to kFarOff.
constexpr double kCutReach = 1e5;
constexpr double kFarOff = 1e30;

QColor ToQColor(int colour) {
  const Rgb rgb = PaletteColour(colour);
  return QColor(rgb.red, rgb.green, rgb.blue);
}

QPointF Tame(QPointF p) {
  return QPointF(std::clamp(p.x(), -kFarOff, kFarOff), std::clamp(p.y(), -kFarOff, kFarOff));
}

// Moves p along the line from q into the box, or gives nothing when the segment misses it. The
// new place is reckoned from q, so a p far off loses no precision where the segment meets the box.
std::optional<QPointF> PullIn(QPointF p, QPointF q, const QRectF& box) {
  const auto along = [&](double s) { return q + (p - q) * s; };
  if (p.x() < box.left()) {
    if (q.x() < box.left()) return std::nullopt;
    p = QPointF(box.left(), along((box.left() - q.x()) / (p.x() - q.x())).y());
  }
  if (p.x() > box.right()) {
    if (q.x() > box.right()) return std::nullopt;
    p = QPointF(box.right(), along((box.right() - q.x()) / (p.x() - q.x())).y());
  }
  if (p.y() < box.top()) {
    if (q.y() < box.top()) return std::nullopt;
    p = QPointF(along((box.top() - q.y()) / (p.y() - q.y())).x(), box.top());
  }
  if (p.y() > box.bottom()) {
    if (q.y() > box.bottom()) return std::nullopt;
    p = QPointF(along((box.bottom() - q.y()) / (p.y() - q.y())).x(), box.bottom());
  }
  return p;
}

// The part of the segment inside the box, or nothing. A segment that lies inside is returned as
// it is, bit for bit.
std::optional<std::pair<QPointF, QPointF>> CutToBox(QPointF a, QPointF b, const QRectF& box) {
  if (std::isnan(a.x()) || std::isnan(a.y()) || std::isnan(b.x()) || std::isnan(b.y())) {
    return std::nullopt;
  }
  if (box.contains(a) && box.contains(b)) return std::pair{a, b};
  a = Tame(a);
  b = Tame(b);
  const auto from = box.contains(a) ? std::optional(a) : PullIn(a, b, box);
  if (!from) return std::nullopt;
  const auto to = box.contains(b) ? std::optional(b) : PullIn(b, *from, box);
  if (!to) return std::nullopt;
  return std::pair{*from, *to};
}

}  // namespace

int DevicePenWidth(int width, qreal ratio) {
  return std::max(1, static_cast<int>(std::lround(width * ratio)));
}

double SnapToPixels(double at, int device_width) {
  // The rasteriser fills the pixels whose centres the line covers: for an even width those
  // either side of the nearest pixel edge, for an odd width those around the pixel holding `at`.
  const double half = device_width / 2.0;
  return std::floor(at + 0.5 - half) + half;
}

ChartPainter::ChartPainter(QPainter& painter, const ChartArea& area, const ChartLook& look)
    : painter_(painter), area_(area), look_(look) {
  painter_.setClipRect(area_.pixels);
}

void ChartPainter::Draw(const ChartMark& mark) {
  std::visit([this](const auto& m) { DrawMark(m); }, mark);
}

void ChartPainter::DrawMark(const ClearMark&) { painter_.fillRect(area_.pixels, look_.background); }

void ChartPainter::DrawMark(const LineMark& mark) {
  const int width = DevicePenWidth(mark.width, area_.ratio);
  const auto cut = CutToBox(ToDevice(mark.from), ToDevice(mark.to), Reach(width));
  if (!cut) return;
  painter_.setPen(PenFor(mark.colour, width));
  painter_.drawLine(Snap(cut->first, width), Snap(cut->second, width));
}

void ChartPainter::DrawMark(const CurveMark& mark) {
  const int width = DevicePenWidth(mark.width, area_.ratio);
  const QRectF reach = Reach(width);
  painter_.setPen(PenFor(mark.colour, width));
  // Runs of whole segments go out as one polyline; a cut segment stands alone.
  QPolygonF run;
  const auto flush = [&] {
    if (run.size() == 2) painter_.drawLine(run[0], run[1]);
    if (run.size() > 2) painter_.drawPolyline(run);
    run.clear();
  };
  for (std::size_t i = 1; i < mark.points.size(); ++i) {
    const QPointF from = ToDevice(mark.points[i - 1]);
    const QPointF to = ToDevice(mark.points[i]);
    const auto cut = CutToBox(from, to, reach);
    if (!cut) {
      flush();
      continue;
    }
    const bool whole = cut->first == from && cut->second == to;
    if (!whole || run.isEmpty() || run.back() != from) {
      flush();
      run << cut->first;
    }
    run << cut->second;
    if (!whole) flush();
  }
  flush();
}

void ChartPainter::DrawMark(const RectangleMark& mark) {
  const int width = DevicePenWidth(mark.width, area_.ratio);
  const QRectF reach = Reach(width);
  const QPointF corner = ToDevice(mark.corner);
  const QPointF opposite = ToDevice(mark.opposite);
  if (reach.contains(corner) && reach.contains(opposite)) {
    QPen pen = PenFor(mark.colour, width);
    pen.setJoinStyle(Qt::MiterJoin);
    painter_.setPen(pen);
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(QRectF(Snap(corner, width), Snap(opposite, width)).normalized());
    return;
  }
  // Partly off the area: the sides one by one, cut like lines; square ends close the corners.
  QPen pen = PenFor(mark.colour, width);
  pen.setCapStyle(Qt::SquareCap);
  painter_.setPen(pen);
  const QPointF corners[] = {corner, QPointF(opposite.x(), corner.y()), opposite,
                             QPointF(corner.x(), opposite.y())};
  for (int i = 0; i < 4; ++i) {
    if (const auto cut = CutToBox(corners[i], corners[(i + 1) % 4], reach)) {
      painter_.drawLine(Snap(cut->first, width), Snap(cut->second, width));
    }
  }
}

void ChartPainter::DrawMark(const PointMark& mark) {
  const int width = DevicePenWidth(mark.width, area_.ratio);
  const QPointF at = ToDevice(mark.at);
  if (!Reach(width).contains(at)) return;
  painter_.setPen(PenFor(mark.colour, width));
  painter_.drawPoint(Snap(at, width));
}

void ChartPainter::DrawMark(const TextMark& mark) {
  const QPointF top_left = ToLogical(mark.top_left);
  const QRectF reach = QRectF(area_.pixels).adjusted(-kCutReach, -kCutReach, kCutReach, kCutReach);
  if (!reach.contains(ToDevice(mark.top_left))) return;
  // Text is laid out in logical pixels, as on the screen, and scaled as a whole.
  painter_.save();
  painter_.translate(area_.pixels.topLeft());
  painter_.scale(area_.ratio, area_.ratio);
  painter_.setFont(look_.font);
  painter_.setPen(look_.text);
  painter_.drawText(QPointF(top_left.x(), top_left.y() + QFontMetricsF(look_.font).ascent()),
                    QString::fromStdString(mark.text));
  painter_.restore();
}

QPointF ChartPainter::ToLogical(QPointF units) const {
  const double across = area_.pixels.width() / area_.ratio;
  const double down = area_.pixels.height() / area_.ratio;
  return QPointF(units.x() * across / kUnitsAcross, units.y() * down / kUnitsDown);
}

QPointF ChartPainter::ToDevice(QPointF units) const {
  const QPointF logical = ToLogical(units);
  return QPointF(area_.pixels.left() + logical.x() * area_.ratio,
                 area_.pixels.top() + logical.y() * area_.ratio);
}

QPointF ChartPainter::Snap(QPointF device, int device_width) const {
  return QPointF(SnapToPixels(device.x(), device_width), SnapToPixels(device.y(), device_width));
}

QRectF ChartPainter::Reach(int device_width) const {
  // Wide enough that a line just off the area is kept whole and its edge still shows.
  const double reach = area_.cut_at_edges ? 0 : kCutReach + device_width;
  return QRectF(area_.pixels).adjusted(-reach, -reach, reach, reach);
}

QPen ChartPainter::PenFor(int colour, int device_width) const {
  // Like a classic solid pen: round ends, so the segments of a polyline meet without notches.
  return QPen(ToQColor(colour), device_width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

}  // namespace xscatter
