#include "output/qt/chart_box.h"

#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <QString>
#include <cmath>

#include "output/qt/twips.h"

namespace xscatter {
namespace {

constexpr double kUnitsAcross = 6000;
constexpr double kUnitsDown = 2500;
constexpr int kFontPoints = 18;

QColor ToQColor(int colour) {
  const Rgb rgb = PaletteColour(colour);
  return QColor(rgb.red, rgb.green, rgb.blue);
}

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

void ChartBox::Clear() {
  drawing_.fill(palette().color(QPalette::Base));
  current_ = QPointF(0, 0);
  update();
}

void ChartBox::SetLineWidth(int pixels) { line_width_ = pixels; }

void ChartBox::Line(float x1, float y1, float x2, float y2, int colour) {
  current_ = QPointF(x1, y1);
  LineTo(x2, y2, colour);
}

void ChartBox::LineTo(float x, float y, int colour) {
  const QPointF to(x, y);
  QPainter painter(&drawing_);
  painter.setPen(PenFor(colour));
  painter.drawLine(ToPixels(current_), ToPixels(to));
  current_ = to;
  update();
}

void ChartBox::Rectangle(float x1, float y1, float x2, float y2, int colour) {
  QPainter painter(&drawing_);
  QPen pen = PenFor(colour);
  pen.setJoinStyle(Qt::MiterJoin);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRectF(ToPixels(QPointF(x1, y1)), ToPixels(QPointF(x2, y2))).normalized());
  current_ = QPointF(x2, y2);
  update();
}

void ChartBox::Point(float x, float y, int colour) {
  current_ = QPointF(x, y);
  QPainter painter(&drawing_);
  painter.setPen(PenFor(colour));
  painter.drawPoint(ToPixels(current_));
  update();
}

void ChartBox::Text(float x, float y, const std::string& text) {
  current_ = QPointF(x, y);
  // The size in pixels follows the box's screen, not the pixmap's nominal dpi.
  QFont text_font = font();
  text_font.setPixelSize(static_cast<int>(std::lround(kFontPoints * logicalDpiY() / 72.0)));
  QPainter painter(&drawing_);
  painter.setFont(text_font);
  painter.setPen(palette().color(QPalette::WindowText));
  const QPointF top_left = ToPixels(current_);
  painter.drawText(QPointF(top_left.x(), top_left.y() + QFontMetricsF(text_font).ascent()),
                   QString::fromStdString(text));
  update();
}

QImage ChartBox::Snapshot() const { return drawing_.toImage(); }

void ChartBox::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  painter.drawPixmap(contentsRect().topLeft(), drawing_);
}

QPointF ChartBox::ToPixels(QPointF units) const {
  const QSizeF inner = drawing_.deviceIndependentSize();
  return QPointF(units.x() * inner.width() / kUnitsAcross, units.y() * inner.height() / kUnitsDown);
}

QPen ChartBox::PenFor(int colour) const {
  // Like a classic solid pen: round ends, so the segments of a polyline meet without notches.
  return QPen(ToQColor(colour), line_width_, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

}  // namespace xscatter
