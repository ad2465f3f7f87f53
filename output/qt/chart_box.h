// SPDX-License-Identifier: MIT
#pragma once

#include <QFrame>
#include <QImage>
#include <QPixmap>

#include "output/qt/chart_marks.h"
#include "output/qt/chart_painter.h"

namespace xscatter {

// A bordered picture box that serves as a chart surface. It sizes itself to 9135 x 6615 twips (the
// border included; place it with move()), and the 6000 x 2500 chart units cover its inner area.
// What is drawn is kept in a pixmap at the device pixel ratio, so drawing on a hidden box persists
// and painting only copies the pixmap; nothing is ever redrawn from data.
class ChartBox : public QFrame, public MarkingSurface {
  Q_OBJECT

 public:
  static constexpr int kWidthTwips = 9135;
  static constexpr int kHeightTwips = 6615;

  explicit ChartBox(QWidget* parent = nullptr);

  // The drawing of the inner area, in device pixels.
  QImage Snapshot() const;
  // What has been drawn since the last clear, to be drawn again elsewhere (a file, a printer).
  const std::vector<ChartMark>& Marks() const { return marks_; }

 protected:
  void Mark(ChartMark mark) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  ChartLook Look() const;

  QPixmap drawing_;
  std::vector<ChartMark> marks_;
};

}  // namespace xscatter
