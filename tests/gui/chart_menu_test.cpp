// SPDX-License-Identifier: MIT
// The charts' context menu and curve tooltips after two scatter runs overlaid: the entries, the
// data copied as tab-separated text equal to the files, the saved PNG and SVG drawn as the screen
// draws, a refused file name, and the tooltip of each curve.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <variant>

#include "screens/chart_menu.h"
#include "screens/screen_flow.h"

namespace xscatter::testing {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The two numbers of each line of a spectrum file, as written.
std::vector<QStringList> FileRows(const fs::path& file) {
  std::vector<QStringList> rows;
  const QStringList lines = QString::fromStdString(ReadFile(file)).split("\r\n");
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const QStringList fields = lines[i].split(' ', Qt::SkipEmptyParts);
    if (!fields.isEmpty()) rows.push_back(fields);
  }
  return rows;
}

int DifferentPixels(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return a.width() * a.height();
  int different = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) different += a.pixel(x, y) != b.pixel(x, y);
  }
  return different;
}

class ChartMenuTest : public ::testing::Test {
 protected:
  ChartMenuTest() {
    fs::create_directory_symlink(XSCATTER_DATA_DIR, path_ / "Data");
    flow_.Calculation().SetWorkingFolder(path_);
    flow_.SetMessageFunction([this](MessageKind, const QString& text) { messages_ << text; });
    EXPECT_TRUE(flow_.Start());
    flow_.Form1Window().Command2->click();
    flow_.Form5Window().Command1->click();
    flow_.Form5Window().Command4->click();
    for (const char* angle : {"60", "30"}) {
      flow_.Form8Window().Text1->setText(angle);
      flow_.Form8Window().Command1->click();
    }
  }

  QTemporaryDir dir_;
  const fs::path path_{dir_.path().toStdString()};
  ScreenFlow flow_;
  QStringList messages_;
};

const QString kConditions = "100 kV, 12°, 固有ろ過 2.5 mmAl, Al 0 mm, Cu 0 mm";

TEST_F(ChartMenuTest, MenuKeyOpensTheJapaneseMenu) {
  QStringList entries;
  QTimer::singleShot(0, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr) return;
    for (const QAction* action : menu->actions()) entries << action->text();
    menu->close();
  });
  QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(5, 5), QPoint(5, 5));
  QApplication::sendEvent(flow_.Form8Window().Picture1, &key);
  EXPECT_EQ(entries, (QStringList{"画像として保存 (PNG/SVG)...", "画像をコピー",
                                  "データをコピー (タブ区切り)", "", "印刷...", "", "線質を表示"}));
}

TEST_F(ChartMenuTest, DataCopiedEqualsTheFilesUnderAHeaderNamingEachCurve) {
  ChartMenu& menu = *ChartMenu::Of(flow_.Form8Window().Picture1);
  menu.CopyData();
  const QStringList lines = QApplication::clipboard()->text().split('\n');
  ASSERT_EQ(lines.size(), 1 + 300 + 1);  // header, 300 bins, the empty text after the last LF
  EXPECT_EQ(lines.back(), "");
  QStringList header;
  for (const char* angle : {"60", "30"}) {
    for (const char* kind : {" 非干渉性散乱", " 干渉性散乱"}) {
      const QString title = kConditions + ", θ = " + angle + "°" + kind;
      header << title + " エネルギー (keV)" << title + " 相対フルエンス";
    }
  }
  EXPECT_EQ(lines[0].split('\t'), header);
  // The last run's files against the columns of its two curves.
  const std::vector<QStringList> incoherent = FileRows(path_ / "Inc_Spectrum.dat");
  const std::vector<QStringList> coherent = FileRows(path_ / "Coh_Spectrum.dat");
  ASSERT_EQ(incoherent.size(), 300U);
  ASSERT_EQ(coherent.size(), 300U);
  for (int row = 0; row < 300; ++row) {
    const QStringList fields = lines[row + 1].split('\t');
    ASSERT_EQ(fields.size(), 8) << "row " << row;
    EXPECT_EQ(fields.mid(4, 2), incoherent[row]) << "row " << row;
    EXPECT_EQ(fields.mid(6, 2), coherent[row]) << "row " << row;
  }
  // The primary chart's one curve, against P_Spectrum.dat.
  ChartMenu::Of(flow_.Form8Window().Picture3)->CopyData();
  const QStringList primary = QApplication::clipboard()->text().split('\n');
  EXPECT_EQ(primary[0],
            kConditions + " 一次線 エネルギー (keV)\t" + kConditions + " 一次線 相対フルエンス");
  EXPECT_EQ(primary[116].split('\t'), FileRows(path_ / "P_Spectrum.dat")[115]);
}

TEST_F(ChartMenuTest, SavedPicturesAreTheScreensChartUnderItsCaption) {
  ChartBox* chart = flow_.Form8Window().Picture1;
  ChartMenu& menu = *ChartMenu::Of(chart);
  const ChartExport picture = menu.Picture();
  const int caption = picture.CaptionHeight();
  EXPECT_GT(caption, 4 * 14);  // four lines
  EXPECT_EQ(picture.Size(), QSize(605, caption + 437));
  // At the screen's scale the chart under the caption is the chart box's drawing, pixel for pixel.
  const QImage screen = chart->Snapshot().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(screen.size(), QSize(605, 437));
  // The box draws a curve segment by segment as it comes, the picture as one polyline; where two
  // segments meet, a pixel or two may fall on the other side.
  EXPECT_LE(DifferentPixels(picture.Image(1).copy(0, caption, 605, 437), screen), 3);

  menu.SaveAs(QString::fromStdString((path_ / "chart.png").string()));
  menu.SaveAs(QString::fromStdString((path_ / "chart.SVG").string()));
  menu.SaveAs(QString::fromStdString((path_ / "chart.bmp").string()));
  ASSERT_EQ(messages_.size(), 1);
  EXPECT_TRUE(messages_[0].startsWith(
      "画像ファイル chart.bmp を書き込めません（拡張子は .png か .svg にしてください）。"));
  EXPECT_FALSE(fs::exists(path_ / "chart.bmp"));
  const QImage png(QString::fromStdString((path_ / "chart.png").string()));
  EXPECT_EQ(png.size(), picture.Size() * 2);
  EXPECT_EQ(png.convertToFormat(QImage::Format_RGB32), picture.Image(2));
  const std::string svg = ReadFile(path_ / "chart.SVG");
  EXPECT_NE(svg.find("θ = 30° 干渉性散乱"), std::string::npos);
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  // Four curves, each a path or polyline in its colour (light red 255,0,0 and light blue 0,0,255).
  EXPECT_NE(svg.find("#ff0000"), std::string::npos);
  EXPECT_NE(svg.find("#0000ff"), std::string::npos);
  // Nothing but the two pictures is left in the folder besides the files and the tables.
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(path_)) ++entries;
  EXPECT_EQ(entries, 1 + 3 + 2);
}

TEST_F(ChartMenuTest, HoveringACurveNamesIt) {
  ChartBox* chart = flow_.Form8Window().Picture1;
  const ChartMenu& menu = *ChartMenu::Of(chart);
  std::vector<const CurveMark*> curves;
  for (const ChartMark& mark : chart->Marks()) {
    if (const auto* curve = std::get_if<CurveMark>(&mark)) curves.push_back(curve);
  }
  ASSERT_EQ(curves.size(), 4U);
  const QRect inner = chart->contentsRect();
  const auto pixel = [&](QPointF units) {
    return QPoint(qRound(inner.left() + units.x() * inner.width() / 6000),
                  qRound(inner.top() + units.y() * inner.height() / 2500));
  };
  const auto higher = [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); };
  // The 30° coherent curve's peak, drawn last, is on top.
  const auto peak = std::min_element(curves[3]->points.begin(), curves[3]->points.end(), higher);
  EXPECT_EQ(menu.CurveAt(pixel(*peak)), kConditions + ", θ = 30° 干渉性散乱");
  EXPECT_EQ(menu.CurveAt(QPoint(inner.right() - 2, inner.top() + 2)), "");
  // The primary chart's staircase at its highest line.
  ChartBox* primary = flow_.Form8Window().Picture3;
  const auto* staircase = std::get_if<CurveMark>(&*std::find_if(
      primary->Marks().begin(), primary->Marks().end(),
      [](const ChartMark& mark) { return std::holds_alternative<CurveMark>(mark); }));
  ASSERT_NE(staircase, nullptr);
  const auto top = std::min_element(staircase->points.begin(), staircase->points.end(), higher);
  EXPECT_EQ(ChartMenu::Of(primary)->CurveAt(pixel(*top)), kConditions + " 一次線");
}

}  // namespace
}  // namespace xscatter::testing
