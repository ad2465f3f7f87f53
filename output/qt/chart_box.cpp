// SPDX-License-Identifier: MIT
#include "output/qt/chart_box.h"

#include <QPaintEvent>
#include <QPainter>
#include <cmath>

#include "output/qt/twips.h"

namespace xscatter {
namespace {

constexpr int kFontPoints = 18;

}  // namespace

ChartBox::ChartBox(QWidget* parent) : QFrame(parent) {
  // The classic single border of a picture box: a two-pixel sunken edge.
  setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  setFocusPolicy(Qt::StrongFocus);
  setFixedSize(TwipsToPixels(kWidthTwips, this), TwipsToPixelsY(kHeightTwips, this));
  setFont(QFont(QStringLiteral("Times New Roman"), kFontPoints));

  const qreal ratio = devicePixelRatioF();
  drawing_ = QPixmap(contentsRect().size() * ratio);
  drawing_.setDevicePixelRatio(ratio);
  drawing_.fill(palette().color(QPalette::Base));
}

QImage ChartBox::Snapshot() const { return drawing_.toImage(); }

void ChartBox::Mark(ChartMark mark) {
  AddMark(marks_, mark);
  const qreal ratio = drawing_.devicePixelRatio();
  // The chart painter works in device pixels; the pixmap gets its ratio back before it is shown.
  drawing_.setDevicePixelRatio(1);
  {
    QPainter painter(&drawing_);
    ChartPainter(painter, {drawing_.rect(), ratio}, Look()).Draw(mark);
  }
  drawing_.setDevicePixelRatio(ratio);
  update();
}

void ChartBox::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  painter.drawPixmap(contentsRect().topLeft(), drawing_);
}

ChartLook ChartBox::Look() const {
  // The size in pixels follows the box's screen, not the pixmap's nominal dpi.
  QFont text_font = font();
  text_font.setPixelSize(static_cast<int>(std::lround(kFontPoints * logicalDpiY() / 72.0)));
  return {palette().color(QPalette::Base), palette().color(QPalette::WindowText), text_font};
}

}  // namespace xscatter
