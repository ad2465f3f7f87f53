#pragma once

#include <QFrame>
#include <QImage>
#include <QPixmap>

#include "output/chart_surface.h"

namespace xscatter {

// A bordered picture box that serves as a chart surface. It sizes itself to 9135 x 6615 twips (the
// border included; place it with move()), and the 6000 x 2500 chart units cover its inner area.
// What is drawn is kept in a pixmap at the device pixel ratio, so drawing on a hidden box persists
// and painting only copies the pixmap; nothing is ever redrawn from data.
class ChartBox : public QFrame, public ChartSurface {
  Q_OBJECT

 public:
  static constexpr int kWidthTwips = 9135;
  static constexpr int kHeightTwips = 6615;

  explicit ChartBox(QWidget* parent = nullptr);

  void Clear() override;
  void SetLineWidth(int pixels) override;
  void Line(float x1, float y1, float x2, float y2, int colour) override;
  void LineTo(float x, float y, int colour) override;
  void Rectangle(float x1, float y1, float x2, float y2, int colour) override;
  void Point(float x, float y, int colour) override;
  void Text(float x, float y, const std::string& text) override;

  // The drawing of the inner area, in device pixels.
  QImage Snapshot() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPointF ToPixels(QPointF units) const;
  QPen PenFor(int colour) const;

  QPixmap drawing_;
  QPointF current_{0, 0};
  int line_width_ = 1;
};

}  // namespace xscatter
