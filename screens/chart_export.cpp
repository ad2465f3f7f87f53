// SPDX-License-Identifier: MIT
#include "screens/chart_export.h"

#include <QBuffer>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QSvgGenerator>
#include <cctype>
#include <string>

#include "model/errors.h"
#include "output/qt/chart_painter.h"
#include "output/qt/picture_file.h"

namespace xscatter {
namespace {

constexpr int kCaptionPixels = 14;
constexpr int kCaptionMargin = 4;
// Times New Roman 18 point, the chart boxes' text, at 96 dpi.
constexpr int kChartTextPixels = 24;

// A vector picture names the face actually used, so a viewer sets its text where it was laid out.
QFont PixelFont(const QString& face, int pixels, bool vector) {
  QFont font(face);
  font.setPixelSize(pixels);
  font.setWeight(QFont::Normal);
  if (vector) font.setFamily(QFontInfo(font).family());
  return font;
}

QFont CaptionFont(bool vector) {
  return PixelFont(QStringLiteral("メイリオ"), kCaptionPixels, vector);
}

std::string LowerExtension(const std::filesystem::path& file) {
  std::string extension = file.extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension;
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

QImage ChartExport::Image(int scale) const {
  QImage image(Size() * scale, QImage::Format_RGB32);
  const int dots = static_cast<int>(96 / 0.0254 * scale + 0.5);
  image.setDotsPerMeterX(dots);
  image.setDotsPerMeterY(dots);
  QPainter painter(&image);
  Paint(painter, scale, false);
  return image;
}

QByteArray ChartExport::Svg() const {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(Size());
  svg.setViewBox(QRect(QPoint(0, 0), Size()));
  svg.setResolution(96);
  svg.setTitle(caption_.join(QLatin1Char('\n')));
  svg.setDescription(QStringLiteral("xscatter"));
  {
    QPainter painter(&svg);
    Paint(painter, 1, true);
  }
  return bytes;
}

void ChartExport::Save(const std::filesystem::path& file) const {
  CheckPictureTarget(file);
  const std::string extension = LowerExtension(file);
  if (extension != ".png" && extension != ".svg") {
    throw FileWriteError(kPictureFileKind, file, "拡張子は .png か .svg にしてください");
  }
  QByteArray bytes;
  if (extension == ".svg") {
    bytes = Svg();
  } else {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!Image(kPngScale).save(&buffer, "PNG")) bytes.clear();
  }
  if (bytes.isEmpty()) throw FileWriteError(kPictureFileKind, file, "画像を作れませんでした");
  ReplacePictureFile(file,
                     std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
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
                       PixelFont(QStringLiteral("Times New Roman"), kChartTextPixels, vector)};
  painter.save();
  ChartPainter chart(painter,
                     {QRect(0, CaptionHeight() * scale, kChartWidth * scale, kChartHeight * scale),
                      qreal(scale), vector},
                     look);
  for (const ChartMark& mark : marks_) chart.Draw(mark);
  painter.restore();
}

}  // namespace xscatter
