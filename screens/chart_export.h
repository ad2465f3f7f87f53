// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QImage>
#include <QStringList>
#include <filesystem>
#include <vector>

#include "output/qt/chart_marks.h"
#include "output/qt/picture_file.h"

class QPainter;

namespace xscatter {

// One chart as a picture: the caption's lines above the chart's inner area, which is drawn again
// from its marks by the chart painter, at the chart box's size on a 96 dpi screen.
class ChartExport {
 public:
  // The inner area of a chart box (9135 x 6615 twips less its two-pixel border) at 96 dpi.
  static constexpr int kChartWidth = 9135 / 15 - 4;
  static constexpr int kChartHeight = 6615 / 15 - 4;
  static constexpr int kPngScale = 2;

  ChartExport(std::vector<ChartMark> marks, QStringList caption);

  // In pixels of a 96 dpi screen.
  QSize Size() const;
  int CaptionHeight() const;
  QImage Image(int scale) const;
  // A PNG at twice the screen's resolution or an SVG, as the extension says, replacing the file
  // atomically. Throws FileWriteError naming the file and the reason.
  void Save(const std::filesystem::path& file) const;

 private:
  PicturePainter Painter() const;
  void Paint(QPainter& painter, int scale, bool vector) const;

  std::vector<ChartMark> marks_;
  QStringList caption_;
};

}  // namespace xscatter
