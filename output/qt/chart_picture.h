// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <filesystem>

#include "output/qt/chart_marks.h"

class QPainter;

namespace xscatter {

// What the scatter screen shows of its charts, as a picture: the primary chart and the scatter
// chart side by side under their headings, the legend below the scatter chart, all placed and
// sized as on the screen at 96 dpi. The chart operations draw on its two surfaces as they draw on
// the screen's boxes (repeated curve drawings overlay); the surfaces keep their marks and Save
// draws them again for the file. Saving needs a QGuiApplication with the program's font
// substitutions; PictureApplication provides both.
class ChartPicture {
 public:
  // The picture at the screen's 96 dpi, in pixels.
  static constexpr int kWidth = 1289;
  static constexpr int kHeight = 609;
  // Device pixels per screen pixel of a PNG.
  static constexpr int kPngScale = 2;

  ChartSurface& PrimaryChart() { return primary_; }
  ChartSurface& ScatterChart() { return scatter_; }

  // Writes a PNG at twice the screen's resolution or an SVG of vectors and real text, as the
  // extension says (.png or .svg, in any case), replacing the file atomically. Throws
  // FileWriteError naming the file and the reason; an unknown extension is refused before
  // anything is written.
  void Save(const std::filesystem::path& file) const;

 private:
  // Paints on a device in its own pixels, `ratio` of them to a screen pixel.
  void Paint(QPainter& painter, int ratio, bool vector) const;

  ChartRecording primary_;
  ChartRecording scatter_;
};

}  // namespace xscatter
