// SPDX-License-Identifier: MIT
#include "output/qt/chart_picture.h"

#include <QPainter>

#include "output/qt/chart_painter.h"
#include "output/qt/picture_file.h"
#include "output/scatter_screen_layout.h"

namespace xscatter {
namespace {

// The scatter screen's layout at 96 dpi: 15 twips to a pixel.
constexpr int Px(int twips) { return twips / 15; }
QRect PixelBox(const TwipBox& box) {
  return {Px(box.left), Px(box.top), Px(box.width), Px(box.height)};
}
// A horizontal two-pixel line centred on its twip position, as the screen's line control draws it.
QRect PixelLine(const TwipBox& line) {
  return {Px(line.left), Px(line.top) - 1, Px(line.width), 2};
}

struct Caption {
  int left;
  int top;
  const char* text;
};
constexpr Caption CaptionOf(const TwipText& text) {
  return {Px(text.box.left), Px(text.box.top), text.text};
}

constexpr Caption kHeadings[] = {CaptionOf(scatter_screen::kPrimaryHeading),
                                 CaptionOf(scatter_screen::kScatterHeading)};
constexpr Caption kLegendLabels[] = {CaptionOf(scatter_screen::kIncoherentLegend),
                                     CaptionOf(scatter_screen::kCoherentLegend)};

// Chart boxes with their two-pixel sunken border.
const QRect kPrimaryBox = PixelBox(scatter_screen::kPrimaryChart);
const QRect kScatterBox = PixelBox(scatter_screen::kScatterChart);
constexpr int kBorder = 2;
const QRect kLegendPanel = PixelBox(scatter_screen::kLegendPanel);
// The legend's lines, red for the incoherent and blue for the coherent spectrum.
const QRect kIncoherentLine = PixelLine(scatter_screen::kIncoherentLine);
const QRect kCoherentLine = PixelLine(scatter_screen::kCoherentLine);

// Pixel sizes of the screen's fonts at 96 dpi: メイリオ 18 and 15.75 point, Times New Roman 18.
constexpr int kHeadingPixels = 24;
constexpr int kLegendPixels = 21;
constexpr int kChartTextPixels = 24;

// The colours of the screen's sunken border.
const QColor kBorderDark(159, 159, 159);
const QColor kBorderShadow(118, 118, 118);
const QColor kBorderMidlight(202, 202, 202);
const QColor kBorderLight(255, 255, 255);

void DrawCaptions(QPainter& painter, const QFont& font, const Caption (&captions)[2]) {
  painter.setFont(font);
  painter.setPen(Qt::black);
  for (const Caption& caption : captions) {
    painter.drawText(QRectF(caption.left, caption.top, ChartPicture::kWidth, ChartPicture::kHeight),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     QString::fromUtf8(caption.text));
  }
}

void DrawSunkenBorder(QPainter& painter, const QRect& box) {
  const int w = box.width();
  const int h = box.height();
  const auto band = [&](int x, int y, int width, int height, const QColor& colour) {
    painter.fillRect(QRect(box.left() + x, box.top() + y, width, height), colour);
  };
  band(0, h - 1, w, 1, kBorderLight);
  band(w - 1, 0, 1, h, kBorderLight);
  band(0, 0, w - 1, 1, kBorderDark);
  band(0, 0, 1, h - 1, kBorderDark);
  band(1, h - 2, w - 2, 1, kBorderMidlight);
  band(w - 2, 1, 1, h - 2, kBorderMidlight);
  band(1, 1, w - 3, 1, kBorderShadow);
  band(1, 1, 1, h - 3, kBorderShadow);
}

void DrawPanel(QPainter& painter, const QRect& panel) {
  painter.fillRect(panel, Qt::white);
  const int w = panel.width();
  const int h = panel.height();
  for (const QRect& side :
       {QRect(0, 0, w, 1), QRect(0, h - 1, w, 1), QRect(0, 0, 1, h), QRect(w - 1, 0, 1, h)}) {
    painter.fillRect(side.translated(panel.topLeft()), Qt::black);
  }
}

}  // namespace

void ChartPicture::Save(const std::filesystem::path& file) const {
  SavePicture(file, QSize(kWidth, kHeight), kPngScale, QStringLiteral("散乱線スペクトル"),
              [this](QPainter& painter, int scale, bool vector) { Paint(painter, scale, vector); });
}

void ChartPicture::Paint(QPainter& painter, int ratio, bool vector) const {
  painter.fillRect(QRect(0, 0, kWidth * ratio, kHeight * ratio), Qt::white);

  painter.save();
  painter.scale(ratio, ratio);
  DrawCaptions(painter, PictureFont(QStringLiteral("メイリオ"), kHeadingPixels, vector), kHeadings);
  DrawSunkenBorder(painter, kPrimaryBox);
  DrawSunkenBorder(painter, kScatterBox);
  DrawPanel(painter, kLegendPanel);
  painter.fillRect(kIncoherentLine, QColor(255, 0, 0));
  painter.fillRect(kCoherentLine, QColor(0, 0, 255));
  DrawCaptions(painter, PictureFont(QStringLiteral("メイリオ"), kLegendPixels, vector),
               kLegendLabels);
  painter.restore();

  const ChartLook look{Qt::white, Qt::black,
                       PictureFont(QStringLiteral("Times New Roman"), kChartTextPixels, vector)};
  for (const auto& [box, chart] : {std::pair{kPrimaryBox, &primary_}, {kScatterBox, &scatter_}}) {
    const QRect inner = box.adjusted(kBorder, kBorder, -kBorder, -kBorder);
    painter.save();
    ChartPainter chart_painter(
        painter, {QRect(inner.topLeft() * ratio, inner.size() * ratio), qreal(ratio), vector},
        look);
    for (const ChartMark& mark : chart->Marks()) chart_painter.Draw(mark);
    painter.restore();
  }
}

}  // namespace xscatter
