// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPalette>
#include <QPixmap>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "output/charts.h"
#include "output/qt/chart_box.h"
#include "output/qt/fonts.h"
#include "tests/charts/drawn_case.h"

namespace xscatter {
namespace {

TEST(ChartBox, DrawingWhileHiddenPersists) {
  ChartBox box;
  const auto shown = [&box] {
    box.show();
    QApplication::processEvents();
    return box.grab(box.contentsRect()).toImage().convertToFormat(box.Snapshot().format());
  };
  PrepareEmptyChart(box);
  const QImage drawn_hidden = box.Snapshot();
  EXPECT_EQ(shown(), drawn_hidden);
  box.hide();
  GridArray primary{};
  primary[50] = 1;
  DrawPrimaryCurve(primary, box);
  EXPECT_EQ(shown(), box.Snapshot());
  EXPECT_NE(box.Snapshot(), drawn_hidden);
}

// Grid, labels, frame, a staircase and two overlaid scatter runs on one chart: the pixels it had at
// 96 dpi before its lines were snapped to device pixels. At scale 1 snapping must not move one.
TEST(ChartBox, DrawnChartAtScaleOneKeepsItsPixels) {
  ASSERT_EQ(QGuiApplication::primaryScreen()->devicePixelRatio(), 1.0);
  ChartBox box;
  PrepareEmptyChart(box);
  testing::DrawTwoRuns(box, box);
  const QImage image = box.Snapshot();
  EXPECT_EQ(image.size(), QSize(605, 437));
  EXPECT_EQ(testing::PixelHash(image),
            "3fed64a2131c7b96acffd418963803335866886918a6c81c47b97fcaf1209d3e");
}

// Pixels from..to along a row or a column: k black, g grey, . background, ? anything else.
std::string Strip(const QImage& image, bool along_row, int fixed, int from, int to) {
  const QColor background = QGuiApplication::palette().color(QPalette::Base);
  std::string strip;
  for (int i = from; i <= to; ++i) {
    const QColor c = along_row ? image.pixelColor(i, fixed) : image.pixelColor(fixed, i);
    strip += c == Qt::black ? 'k' : c == QColor(128, 128, 128) ? 'g' : c == background ? '.' : '?';
  }
  return strip;
}

// Lengths of the runs of `mark` along a strip.
std::vector<int> Runs(const std::string& strip, char mark) {
  std::vector<int> runs;
  for (std::size_t i = 0; i < strip.size(); ++i) {
    if (strip[i] != mark) continue;
    const std::size_t end = std::min(strip.find_first_not_of(mark, i), strip.size());
    runs.push_back(static_cast<int>(end - i));
    i = end;
  }
  return runs;
}

// Also registered as CTest entries at QT_SCALE_FACTOR 2, 1.25, 1.5 and 1.75. The frame is two
// pixels wide and a grid line one, in whole device pixels, each where the chart puts it; a grid
// line at 1.5 used to come out one or two device pixels wide depending on where it fell.
TEST(ChartBoxLines, AreEquallyWideInWholeDevicePixelsAtEveryScale) {
  ChartBox box;
  const double ratio = box.devicePixelRatioF();
  ASSERT_EQ(ratio, qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble());
  PrepareEmptyChart(box);
  const QImage image = box.Snapshot();
  if (ratio == std::floor(ratio)) {
    EXPECT_EQ(image.size(), QSize(605, 437) * ratio);
  }
  const int grid = std::max(1, static_cast<int>(std::lround(ratio)));
  const int frame = static_cast<int>(std::lround(2 * ratio));
  const auto x = [&image](double units) { return static_cast<int>(units * image.width() / 6000); };
  const auto y = [&image](double units) { return static_cast<int>(units * image.height() / 2500); };
  const struct {
    const char* what;
    std::string strip;
    char mark;
    std::vector<int> widths;
  } rows[] = {
      {"14 vertical grid lines", Strip(image, true, y(1000), x(1050), x(5450)), 'g',
       std::vector<int>(14, grid)},
      {"9 horizontal grid lines", Strip(image, false, x(1150), y(150), y(2050)), 'g',
       std::vector<int>(9, grid)},
      // Within 3 pixels (at scale 1) of the frame's place in chart units.
      {"left frame edge", Strip(image, true, y(1000), x(970), x(1030)), 'k', {frame}},
      {"right frame edge", Strip(image, true, y(1000), x(5470), x(5530)), 'k', {frame}},
      {"top frame edge", Strip(image, false, x(1150), y(70), y(130)), 'k', {frame}},
      {"bottom frame edge", Strip(image, false, x(1150), y(2070), y(2110)), 'k', {frame}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(Runs(row.strip, row.mark), row.widths) << row.strip;
    EXPECT_EQ(row.strip.find('?'), std::string::npos) << row.strip;
  }
}

}  // namespace
}  // namespace xscatter

int main(int argc, char** argv) {
  // Test discovery runs this without the tests' environment.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  xscatter::InstallFontSubstitutions();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
