// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPalette>
#include <QPixmap>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "output/charts.h"
#include "output/qt/chart_box.h"
#include "output/qt/fonts.h"
#include "tests/charts/drawn_case.h"

namespace xscatter {
namespace {

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

// At 96 dpi the inner area is 605 x 437 pixels for the 6000 x 2500 chart units.
double PixelX(double units) { return units * 605 / 6000; }
double PixelY(double units) { return units * 437 / 2500; }

TEST(ChartBox, FrameIsTwoBlackPixelsAndGridLineOneGreyPixel) {
  ChartBox box;
  ASSERT_EQ(box.logicalDpiX(), 96);
  PrepareEmptyChart(box);
  const QImage image = box.Snapshot();
  const struct {
    bool along_row;
    int fixed;
    double at;
  } edges[] = {{true, int(PixelY(1200)), PixelX(1000)},
               {true, int(PixelY(1200)), PixelX(5500)},
               {false, int(PixelX(3250)), PixelY(100)},
               {false, int(PixelX(3250)), PixelY(2100)}};
  for (const auto& edge : edges) {
    const int near = static_cast<int>(edge.at);
    const std::string strip = Strip(image, edge.along_row, edge.fixed, near - 4, near + 4);
    const auto at = static_cast<int>(strip.find("kk"));
    EXPECT_TRUE(std::ranges::count(strip, 'k') == 2 && at >= 0) << strip;
    EXPECT_LE(std::abs(near - 4 + at + 1 - edge.at), 1.5) << strip;
  }
  // Between the fluence grid lines at 900 and 1100 units, across the 10 keV line at 1300.
  const int row = static_cast<int>(PixelY(1000));
  const int near = static_cast<int>(PixelX(1300));
  const std::string strip = Strip(image, true, row, near - 6, near + 6);
  const auto at = static_cast<int>(strip.find('g'));
  ASSERT_GE(at, 0) << strip;
  EXPECT_EQ(strip, std::string(at, '.') + 'g' + std::string(12 - at, '.'));
  EXPECT_LE(std::abs(near - 6 + at - PixelX(1300)), 1.0);
}

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
  Module1 m;
  m.PrimarySpectrum[50] = 1;
  DrawPrimaryCurve(m, box);
  EXPECT_EQ(shown(), box.Snapshot());
  EXPECT_NE(box.Snapshot(), drawn_hidden);
}

// Grid, labels, frame, a staircase and two overlaid scatter runs on one chart.
QImage DrawnChart() {
  ChartBox box;
  Module1 m = testing::DrawnCase();
  PrepareEmptyChart(box);
  DrawPrimaryCurve(m, box);
  DrawScatterCurves(m, box);
  for (int i = 16; i <= 200; ++i) m.IncoherentSpectrum[1][i] *= 0.9;
  DrawScatterCurves(m, box);
  return box.Snapshot();
}

// The pixels a drawn chart had at 96 dpi before its lines were snapped to device pixels; at scale
// 1 snapping must not move a single one.
TEST(ChartBox, DrawnChartAtScaleOneKeepsItsPixels) {
  ASSERT_EQ(QGuiApplication::primaryScreen()->devicePixelRatio(), 1.0);
  const QImage image = DrawnChart();
  EXPECT_EQ(image.size(), QSize(605, 437));
  EXPECT_EQ(testing::PixelHash(image),
            "3fed64a2131c7b96acffd418963803335866886918a6c81c47b97fcaf1209d3e");
}

// Registered only as its own CTest entry, which sets QT_SCALE_FACTOR=2.
TEST(ChartBoxHighDpi, DrawsAtTheDevicePixelRatio) {
  if (qEnvironmentVariable("QT_SCALE_FACTOR") != "2") GTEST_SKIP() << "needs QT_SCALE_FACTOR=2";
  ChartBox box;
  ASSERT_EQ(box.devicePixelRatioF(), 2.0);
  PrepareEmptyChart(box);
  const QImage image = box.Snapshot();
  EXPECT_EQ(image.size(), QSize(1210, 874));
  const int near = static_cast<int>(2 * PixelX(1000));
  const std::string strip = Strip(image, true, int(2 * PixelY(1200)), near - 6, near + 6);
  EXPECT_TRUE(std::ranges::count(strip, 'k') == 4 && strip.find("kkkk") != strip.npos) << strip;
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

// Registered only as CTest entries that set a fractional QT_SCALE_FACTOR. A one-pixel grid line at
// 1.5 used to come out one or two device pixels wide depending on where it fell.
TEST(ChartBoxFractionalDpi, EqualLinesAreEquallyWide) {
  ChartBox box;
  const double ratio = box.devicePixelRatioF();
  if (ratio == std::floor(ratio)) GTEST_SKIP() << "needs a fractional QT_SCALE_FACTOR";
  PrepareEmptyChart(box);
  const QImage image = box.Snapshot();
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
      {"left frame edge", Strip(image, true, y(1000), x(900), x(1100)), 'k', {frame}},
      {"right frame edge", Strip(image, true, y(1000), x(5400), x(5600)), 'k', {frame}},
      {"top frame edge", Strip(image, false, x(1150), y(20), y(180)), 'k', {frame}},
      {"bottom frame edge", Strip(image, false, x(1150), y(2020), y(2110)), 'k', {frame}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(Runs(row.strip, row.mark), row.widths) << row.strip;
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
