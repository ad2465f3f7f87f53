#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPalette>
#include <cmath>
#include <vector>

#include "output/charts.h"
#include "output/qt/chart_box.h"

namespace xscatter {
namespace {

struct PixelRun {
  int start;
  int length;
  friend bool operator==(const PixelRun&, const PixelRun&) = default;
};

// Runs of pixels of exactly one colour along a row or a column of the image.
std::vector<PixelRun> Runs(const QImage& image, bool along_row, int fixed, int from, int to,
                           QColor colour) {
  std::vector<PixelRun> runs;
  for (int i = from; i <= to; ++i) {
    const QColor pixel = along_row ? image.pixelColor(i, fixed) : image.pixelColor(fixed, i);
    if (pixel != colour) continue;
    if (!runs.empty() && runs.back().start + runs.back().length == i) {
      ++runs.back().length;
    } else {
      runs.push_back({i, 1});
    }
  }
  return runs;
}

const QColor kBlackPixel(0, 0, 0);
const QColor kGreyPixel(128, 128, 128);
const QColor kRedPixel(255, 0, 0);

// At 96 dpi the inner area is 605 x 437 pixels: 6000 x 2500 units give these pixel positions.
double PixelX(double units) { return units * 605 / 6000; }
double PixelY(double units) { return units * 437 / 2500; }

class ChartBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(box_.logicalDpiX(), 96);
    ASSERT_EQ(box_.devicePixelRatioF(), 1.0);
  }
  QColor Background() const { return box_.palette().color(QPalette::Base); }

  ChartBox box_;
};

TEST_F(ChartBoxTest, SizesFromTwips) {
  EXPECT_EQ(box_.size(), QSize(609, 441));                 // 9135 x 6615 twips
  EXPECT_EQ(box_.contentsRect().size(), QSize(605, 437));  // 9075 x 6555 twips
  EXPECT_EQ(box_.Snapshot().size(), QSize(605, 437));
}

TEST_F(ChartBoxTest, NewBoxShowsOnlyTheBackground) {
  const QImage image = box_.Snapshot();
  EXPECT_EQ(image.pixelColor(0, 0), Background());
  EXPECT_EQ(image.pixelColor(604, 436), Background());
}

TEST_F(ChartBoxTest, FrameIsBlackAndTwoPixelsWide) {
  PrepareEmptyChart(box_);
  const QImage image = box_.Snapshot();
  const int middle_row = static_cast<int>(PixelY(1200));
  const int middle_column = static_cast<int>(PixelX(3250));
  struct Edge {
    const char* name;
    bool along_row;
    int fixed;
    double at;
  };
  const Edge edges[] = {
      {"left", true, middle_row, PixelX(1000)},
      {"right", true, middle_row, PixelX(5500)},
      {"top", false, middle_column, PixelY(100)},
      {"bottom", false, middle_column, PixelY(2100)},
  };
  for (const Edge& edge : edges) {
    SCOPED_TRACE(edge.name);
    const int near = static_cast<int>(edge.at);
    const std::vector<PixelRun> runs =
        Runs(image, edge.along_row, edge.fixed, near - 4, near + 4, kBlackPixel);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].length, 2);
    EXPECT_LE(std::abs(runs[0].start + 1 - edge.at), 1.5);
  }
}

TEST_F(ChartBoxTest, GridLineIsGreyAndOnePixelWide) {
  PrepareEmptyChart(box_);
  const QImage image = box_.Snapshot();
  // Between the fluence grid lines at 900 and 1100 units, across the 10 keV line at 1300.
  const int row = static_cast<int>(PixelY(1000));
  const int near = static_cast<int>(PixelX(1300));
  const std::vector<PixelRun> grey = Runs(image, true, row, near - 6, near + 6, kGreyPixel);
  ASSERT_EQ(grey.size(), 1u);
  EXPECT_EQ(grey[0].length, 1);
  EXPECT_LE(std::abs(grey[0].start - PixelX(1300)), 1.0);
  const std::vector<PixelRun> background = Runs(image, true, row, near - 6, near + 6, Background());
  EXPECT_EQ(background, (std::vector<PixelRun>{{near - 6, grey[0].start - (near - 6)},
                                               {grey[0].start + 1, near + 6 - grey[0].start}}));
}

TEST_F(ChartBoxTest, StaircaseTreadIsLightRed) {
  PrepareEmptyChart(box_);
  Module1 m;
  for (int i = 90; i <= 110; ++i) m.PrimarySpectrum[i] = 0.45;  // 1200 units, between grid lines
  DrawPrimaryCurve(m, box_);
  const QImage image = box_.Snapshot();
  const int column = static_cast<int>(PixelX(2500));  // middle of bin 100's tread
  const int near = static_cast<int>(PixelY(1200));
  const std::vector<PixelRun> red = Runs(image, false, column, near - 4, near + 4, kRedPixel);
  ASSERT_EQ(red.size(), 1u);
  EXPECT_EQ(red[0].length, 2);
}

TEST_F(ChartBoxTest, TextUsesTheWindowTextColour) {
  PrepareEmptyChart(box_);
  const QImage image = box_.Snapshot();
  const QColor text = box_.palette().color(QPalette::WindowText);
  // "Relative" starts at (100, 300) units: look for its ink in the 40 x 30 pixels after that.
  int ink = 0;
  for (int x = static_cast<int>(PixelX(100)); x < PixelX(100) + 40; ++x) {
    for (int y = static_cast<int>(PixelY(300)); y < PixelY(300) + 30; ++y) {
      if (image.pixelColor(x, y) == text) ++ink;
    }
  }
  EXPECT_GT(ink, 20);
}

TEST_F(ChartBoxTest, DrawingWhileHiddenPersists) {
  PrepareEmptyChart(box_);
  const QImage drawn_hidden = box_.Snapshot();
  box_.show();
  QApplication::processEvents();
  EXPECT_EQ(box_.grab(box_.contentsRect()).toImage().convertToFormat(drawn_hidden.format()),
            drawn_hidden);

  box_.hide();
  Module1 m;
  m.PrimarySpectrum[50] = 1;
  DrawPrimaryCurve(m, box_);
  box_.show();
  QApplication::processEvents();
  const QImage shown = box_.grab(box_.contentsRect()).toImage();
  EXPECT_EQ(shown.convertToFormat(drawn_hidden.format()), box_.Snapshot());
  EXPECT_NE(box_.Snapshot(), drawn_hidden);
}

TEST_F(ChartBoxTest, ClearLeavesOnlyTheBackground) {
  PrepareEmptyChart(box_);
  box_.Clear();
  QImage expected(box_.Snapshot().size(), box_.Snapshot().format());
  expected.fill(Background());
  EXPECT_EQ(box_.Snapshot(), expected);
}

TEST_F(ChartBoxTest, ClipsAtTheInnerEdges) {
  box_.SetLineWidth(2);
  box_.Line(-3000, 1000, 9000, 1000, kLightRed);
  box_.Point(7000, -400, kBlack);
  const QImage image = box_.Snapshot();
  EXPECT_EQ(image.size(), QSize(605, 437));
  EXPECT_EQ(image.pixelColor(0, static_cast<int>(PixelY(1000))), kRedPixel);
  EXPECT_EQ(image.pixelColor(604, static_cast<int>(PixelY(1000))), kRedPixel);
}

// Run with a device pixel ratio of 2 (QT_SCALE_FACTOR=2): the drawing keeps every device pixel.
TEST(ChartBoxHighDpi, DrawsAtTheDevicePixelRatio) {
  ChartBox box;
  if (box.devicePixelRatioF() != 2.0) GTEST_SKIP() << "needs a device pixel ratio of 2";
  EXPECT_EQ(box.size(), QSize(609, 441));
  PrepareEmptyChart(box);
  const QImage image = box.Snapshot();
  EXPECT_EQ(image.size(), QSize(1210, 874));
  const int row = static_cast<int>(2 * PixelY(1200));
  const int near = static_cast<int>(2 * PixelX(1000));
  const std::vector<PixelRun> frame = Runs(image, true, row, near - 6, near + 6, kBlackPixel);
  ASSERT_EQ(frame.size(), 1u);
  EXPECT_EQ(frame[0].length, 4);
}

}  // namespace
}  // namespace xscatter
