// SPDX-License-Identifier: MIT
#include "screens/chart_export.h"

#include <QFontMetrics>
#include <QPainter>

#include "output/qt/chart_painter.h"
#include "output/qt/picture_file.h"

namespace xscatter {
namespace {

constexpr int kCaptionPixels = 14;
constexpr int kCaptionMargin = 4;
// Times New Roman 18 point, the chart boxes' text, at 96 dpi.
constexpr int kChartTextPixels = 24;

QFont CaptionFont(bool vector) {
  return PictureFont(QStringLiteral("メイリオ"), kCaptionPixels, vector);
}

}  // namespace

ChartExport::ChartExport(std::vector<ChartMark> marks, QStringList caption)
    : marks_(std::move(marks)), caption_(std::move(caption)) {}

int ChartExport::CaptionHeight() const {
  if (caption_.isEmpty()) return 0;
  return 2 * kCaptionMargin +
         static_cast<int>(caption_.size()) * QFontMetrics(CaptionFont(false)).lineSpacing();
}

QSize ChartExport::Size() const { return {kChartWidth, CaptionHeight() + kChartHeight}; }

QImage ChartExport::Image(int scale) const { return PictureImage(Size(), scale, Painter()); }

void ChartExport::Save(const std::filesystem::path& file) const {
  SavePicture(file, Size(), kPngScale, caption_.join(QLatin1Char('\n')), Painter());
}

PicturePainter ChartExport::Painter() const {
  return [this](QPainter& painter, int scale, bool vector) { Paint(painter, scale, vector); };
}

void ChartExport::Paint(QPainter& painter, int scale, bool vector) const {
  painter.fillRect(QRect(QPoint(0, 0), Size() * scale), Qt::white);
  painter.save();
  painter.scale(scale, scale);
  painter.setFont(CaptionFont(vector));
  painter.setPen(Qt::black);
  const int spacing = QFontMetrics(CaptionFont(false)).lineSpacing();
  for (qsizetype i = 0; i < caption_.size(); ++i) {
    painter.drawText(QRectF(kCaptionMargin, kCaptionMargin + static_cast<int>(i) * spacing,
                            kChartWidth - 2 * kCaptionMargin, spacing),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, caption_[i]);
  }
  painter.restore();

  const ChartLook look{Qt::white, Qt::black,
                       PictureFont(QStringLiteral("Times New Roman"), kChartTextPixels, vector)};
  painter.save();
  ChartPainter chart(painter,
                     {QRect(0, CaptionHeight() * scale, kChartWidth * scale, kChartHeight * scale),
                      qreal(scale), vector},
                     look);
  for (const ChartMark& mark : marks_) chart.Draw(mark);
  painter.restore();
}

}  // namespace xscatter
