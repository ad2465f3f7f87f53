// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <unistd.h>

#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QXmlStreamReader>
#include <cmath>
#include <filesystem>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "model/errors.h"
#include "output/charts.h"
#include "output/qt/chart_painter.h"
#include "output/qt/chart_picture.h"
#include "output/qt/picture_application.h"
#include "tests/charts/drawn_case.h"
#include "tests/support/files.h"

namespace xscatter {
namespace {

namespace fs = std::filesystem;

// Everything under a folder, as paths relative to it.
std::set<std::string> Contents(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    names.insert(fs::relative(entry.path(), folder));
  return names;
}

ChartPicture DrawnPicture() {
  ChartPicture picture;
  PrepareEmptyChart(picture.PrimaryChart());
  PrepareScatterChart(picture.ScatterChart());
  testing::DrawTwoRuns(picture.PrimaryChart(), picture.ScatterChart());
  return picture;
}

// The screen pixel of chart units: a chart's inner area is 605 x 437 pixels for 6000 x 2500 units,
// beside the 2-pixel border of a box at (24, 48) for the primary chart, (656, 48) for the scatter.
QPointF OnScreen(bool scatter, double x, double y) {
  return {(scatter ? 658 : 26) + x * 605 / 6000, 50 + y * 437 / 2500};
}

// Chart units of the drawn coherent curve at bin 30, where it stands at exp(-1).
const double kCoherentBin30 = 2100 - 2000 * std::exp(-1.0);

TEST(PainterGeometry, SnapsAsTheRasteriserFillsAtScaleOne) {
  // Place, device width, centre: both ends of a pixel, both sides of a half.
  const std::tuple<double, int, double> rows[] = {
      {131.0, 1, 131.5}, {131.99, 1, 131.5}, {100.49, 2, 100}, {100.5, 2, 101},
      {57.9, 3, 57.5},   {253.667, 4, 254},  {-3.2, 1, -3.5},  {-3.7, 2, -4}};
  for (const auto& [at, width, centre] : rows) {
    SCOPED_TRACE(::testing::Message() << at << " at width " << width);
    EXPECT_EQ(SnapToPixels(at, width), centre);
  }
}

TEST(ChartRecording, KeepsLineTosAsOneCurvePerColourAndWidthAndForgetsWhatAClearCovers) {
  ChartRecording chart;
  chart.Line(1, 2, 3, 4, kGrey);
  chart.Clear();
  chart.SetLineWidth(2);
  chart.Point(1000, 2100, kBlack);
  chart.LineTo(1010, 2000, kLightRed);
  chart.LineTo(1020, 1900, kLightRed);
  chart.LineTo(1030, 1800, kLightBlue);
  chart.SetLineWidth(0);
  chart.LineTo(1040, 1700, kLightBlue);
  chart.Text(5, 6, "keV");
  const auto& marks = chart.Marks();
  ASSERT_EQ(marks.size(), 6u);
  EXPECT_TRUE(std::holds_alternative<ClearMark>(marks[0]));
  EXPECT_EQ(std::get<PointMark>(marks[1]).at, QPointF(1000, 2100));
  EXPECT_EQ(std::get<TextMark>(marks[5]).top_left, QPointF(5, 6));
  const auto curve = [&marks](std::size_t i) {
    const auto& mark = std::get<CurveMark>(marks[i]);
    return std::tuple(mark.points, mark.colour, mark.width);
  };
  using Points = std::vector<QPointF>;
  EXPECT_EQ(curve(2), std::tuple(Points{{1000, 2100}, {1010, 2000}, {1020, 1900}}, kLightRed, 2));
  EXPECT_EQ(curve(3), std::tuple(Points{{1020, 1900}, {1030, 1800}}, kLightBlue, 2));
  // A width below one pixel draws one pixel wide.
  EXPECT_EQ(curve(4), std::tuple(Points{{1030, 1800}, {1040, 1700}}, kLightBlue, 1));
}

// Wide lines toward 1e30 used to vanish, and a rectangle reaching there filled the whole area;
// now what lies on the chart is drawn and nothing else, and points that are no numbers are left
// out.
TEST(ChartPainter, FarOffAndNonNumericPointsDrawOnlyWhatIsOnTheChart) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const QPointF middle(3000, 1250);  // (302.5, 218.5) pixels
  // What, then the least and most pixels it may colour.
  const std::tuple<const char*, ChartMark, int, int> rows[] = {
      // Two pixels wide from row 218 up to the top edge.
      {"curve up to 1e30", CurveMark{{middle, {3000, -1e30}}, kBlack, 2}, 2 * 218, 2 * 221},
      {"curve up to infinity", CurveMark{{middle, {3000, -inf}}, kBlack, 2}, 2 * 218, 2 * 221},
      {"line up to 1e30", LineMark{middle, {3000, -1e30}, kBlack, 2}, 2 * 218, 2 * 221},
      // The top side from 201.7 pixels to the right edge, the left side down from row 218.
      {"rectangle out to 1e30", RectangleMark{{2000, 1250}, {1e30, 1e30}, kBlack, 2},
       2 * (403 + 218), 2 * (405 + 221)},
      // Where a line between two infinities crosses the chart is anyone's guess.
      {"curve across from infinity to infinity", CurveMark{{{-inf, -inf}, {inf, inf}}, kBlack, 2},
       0, 4 * 605},
      {"curve to a missing number", CurveMark{{middle, {nan, 100}}, kBlack, 2}, 0, 0},
      {"rectangle to a missing number", RectangleMark{middle, {nan, nan}, kBlack, 2}, 0, 0},
      {"curve wholly off the chart", CurveMark{{{-1e30, 5}, {-1e29, 7}}, kBlack, 2}, 0, 0},
      {"point off the chart", PointMark{{1e30, 100}, kBlack, 2}, 0, 0},
  };
  for (const auto& [what, mark, min_pixels, max_pixels] : rows) {
    SCOPED_TRACE(what);
    QImage image(605, 437, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
      QPainter painter(&image);
      ChartPainter(painter, {image.rect(), 1.0}, {Qt::white, Qt::black, QFont()}).Draw(mark);
    }
    int drawn = 0;
    for (int i = 0; i < 605 * 437; ++i) drawn += image.pixel(i % 605, i / 605) != 0xffffffff;
    EXPECT_GE(drawn, min_pixels);
    EXPECT_LE(drawn, max_pixels);
  }
}

TEST(ChartPicture, SvgReplacesTheFileWithTheCurvesAsPolylinesAndTheTextsAsText) {
  testing::TempFolder folder;
  testing::WriteFile(folder.path / "chart.svg", "old");
  DrawnPicture().Save(folder.path / "chart.svg");
  EXPECT_EQ(Contents(folder.path), std::set<std::string>{"chart.svg"});

  // The texts, also joined in document order (a text with several scripts comes out in runs),
  // their faces, and the polylines by stroke and number of points.
  using Shape = std::pair<std::string, std::size_t>;
  std::multiset<std::string> texts;
  std::string joined, stroke;
  std::set<QString> families;
  std::map<Shape, std::vector<std::vector<QPointF>>> lines;
  const std::string svg = testing::ReadFile(folder.path / "chart.svg");
  EXPECT_NE(svg.find(R"(viewBox="0 0 1289 609")"), std::string::npos);
  QXmlStreamReader xml(QByteArray::fromStdString(svg));
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    const auto attributes = xml.attributes();
    if (xml.name() == u"g") stroke = attributes.value("stroke").toString().toStdString();
    if (xml.name() == u"text") {
      families.insert(attributes.value("font-family").toString());
      joined += *texts.insert(xml.readElementText().toStdString());
    }
    if (xml.name() == u"polyline") {
      std::vector<QPointF> points;
      for (const auto& xy : attributes.value("points").toString().split(' ', Qt::SkipEmptyParts))
        points.emplace_back(xy.section(',', 0, 0).toDouble(), xy.section(',', 1).toDouble());
      lines[{stroke, points.size()}].push_back(points);
    }
  }
  ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();

  for (const char* text :
       {"一次Ｘ線スペクトル（最大値で正規化）", "散乱Ｘ線スペクトル（最大値で正規化）",
        "非干渉性散乱 (Compton散乱) 線のスペクトル", "干渉性散乱 (Rayleigh散乱) 線のスペクトル"})
    EXPECT_NE(joined.find(text), std::string::npos) << text;
  // Faces a viewer can find, the ones the runs were laid out with.
  for (const QString& family : families)
    EXPECT_TRUE(QFontDatabase::families().contains(family)) << family.toStdString();
  EXPECT_EQ(families.size(), 2u);
  // Each chart's labels, once on each chart.
  for (const char* text :
       {"Photon energy   keV", "Relative", "Photon", "Fluence", "0", "50", "100", "150"})
    EXPECT_EQ(texts.count(text), 2u) << text;

  // The staircase: origin and two corners for each of bins 2..300; each scatter run: origin
  // and bins 2..201, drawn twice. The grid: 23 two-point lines on each chart.
  std::map<Shape, std::size_t> shapes;
  for (const auto& [shape, list] : lines) shapes[shape] = list.size();
  const std::map<Shape, std::size_t> expected = {
      {{"#808080", 2}, 46}, {{"#ff0000", 599}, 1}, {{"#ff0000", 201}, 2}, {{"#0000ff", 201}, 2}};
  ASSERT_EQ(shapes, expected);
  // The grid stands on pixel centres.
  std::set<double> fractions;
  for (const auto& line : lines[{"#808080", 2}])
    for (const QPointF& p : line) fractions.insert({std::fmod(p.x(), 1), std::fmod(p.y(), 1)});
  EXPECT_EQ(fractions, std::set<double>{0.5});
  // Bin 201 ends the first run on the baseline at 1000 + 30 * (2 E'(200) - E'(199)) units.
  const double end = 1000 + 30 * (2 * 100 / (1 + 100 / 511.) - 99.5 / (1 + 99.5 / 511.));
  // The polyline, its vertex and where that lies: bin 134's tread at 0.55 (y 1000 units) starts
  // at 3002.5 units, the coherent point of bin 30 sits at 1442.5 units.
  const std::tuple<const char*, Shape, std::size_t, QPointF> vertices[] = {
      {"staircase bin 134", {"#ff0000", 599}, 2 * 133 - 1, OnScreen(false, 3002.5, 1000)},
      {"coherent bin 30", {"#0000ff", 201}, 29, OnScreen(true, 1442.5, kCoherentBin30)},
      {"incoherent end", {"#ff0000", 201}, 200, OnScreen(true, end, 2100)}};
  for (const auto& [what, shape, index, at] : vertices) {
    SCOPED_TRACE(what);
    const QPointF vertex = lines[shape][0][index];
    // The SVG holds six significant digits.
    EXPECT_NEAR(vertex.x(), at.x(), 0.01);
    EXPECT_NEAR(vertex.y(), at.y(), 0.01);
  }
}

TEST(ChartPicture, PngIsTwiceTheScreenWithFrameAndCurvesWhereTheChartPutsThem) {
  testing::TempFolder folder;
  DrawnPicture().Save(folder.path / "chart.PNG");
  QImage image(QString::fromStdString((folder.path / "chart.PNG").string()));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), QSize(2 * 19335 / 15, 2 * 9135 / 15));
  EXPECT_EQ(image.dotsPerMeterX(), 7559);

  // The device pixel of chart units.
  const auto at = [](bool scatter, double x, double y) {
    const QPointF pixel = 2 * OnScreen(scatter, x, y);
    return QPoint(static_cast<int>(pixel.x()), static_cast<int>(pixel.y()));
  };
  const std::tuple<const char*, QPoint, QColor> rows[] = {
      {"background", {10, 10}, Qt::white},
      // The frame's left edge at 1000 units, 253.7 pixels in, is four pixels wide: 252..255.
      {"frame left edge, first pixel", {252, 600}, Qt::black},
      {"frame left edge, last pixel", {255, 600}, Qt::black},
      {"left of the frame", {251, 600}, Qt::white},
      {"right of the frame", {256, 600}, Qt::white},
      {"scatter frame bottom edge", at(true, 3200, 2100), Qt::black},
      // 10 keV at 1300 units, 314.2 pixels in: a two-pixel line over 313 and 314.
      {"grid line at 10 keV", {314, 600}, Qt::darkGray},
      {"staircase bin 134", at(false, 3010, 1000), Qt::red},
      {"coherent bin 30", at(true, 1442.5, kCoherentBin30), Qt::blue},
      {"legend red line", {1450, 1039}, Qt::red},
      {"legend blue line", {1450, 1119}, Qt::blue},
      {"box border, outer shadow", {100, 96}, QColor(159, 159, 159)},
      {"box border, inner shadow", {100, 98}, QColor(118, 118, 118)},
  };
  for (const auto& [what, pixel, colour] : rows) {
    SCOPED_TRACE(what);
    EXPECT_EQ(image.pixelColor(pixel), colour) << image.pixelColor(pixel).name().toStdString();
  }
}

TEST(ChartPicture, SaveFailuresNameTheFileAndLeaveNothingBehind) {
  testing::TempFolder folder;
  const fs::path& f = folder.path;
  for (const char* folder_name : {"taken.png", "locked"}) fs::create_directory(f / folder_name);
  for (const char* file_name : {"plain", "kept.svg"}) testing::WriteFile(f / file_name, "kept");
  fs::permissions(f / "locked", fs::perms::owner_read | fs::perms::owner_exec);
  fs::permissions(f / "kept.svg", fs::perms::owner_read);
  const std::set<std::string> before = Contents(f);
  const bool root = ::geteuid() == 0;
  // What, the file, the reason given and whether the row needs permissions (root writes anywhere).
  const std::tuple<const char*, fs::path, std::string, bool> rows[] = {
      {"no file name", f / "", "ファイル名がありません", false},
      {"unknown extension", f / "chart.gif", "拡張子は .png か .svg", false},
      {"no extension", f / "chart", "拡張子は .png か .svg", false},
      {"a folder of that name", f / "taken.png", "同じ名前のフォルダがあります", false},
      {"missing folder", f / "none" / "chart.png", "No such file or directory", false},
      {"a file as the folder", f / "plain" / "chart.svg", "Not a directory", false},
      {"a folder no one may write", "/proc/xscatter-chart.png", "保存先フォルダ: /proc", false},
      {"a folder the user may not write", f / "locked" / "chart.png", "Permission denied", true},
      // Renaming over it would succeed, so it is checked first.
      {"a file the user made read-only", f / "kept.svg", "Permission denied", true},
  };
  for (const auto& [what, file, reason, needs_permissions] : rows) {
    SCOPED_TRACE(what);
    if (needs_permissions && root) continue;
    try {
      DrawnPicture().Save(file);
      ADD_FAILURE() << "saved";
    } catch (const FileWriteError& error) {
      const std::string message = error.what();
      for (const std::string& part :
           {"画像ファイル " + file.filename().string() + " を書き込めません", reason})
        EXPECT_NE(message.find(part), std::string::npos) << message;
    }
    EXPECT_EQ(Contents(f), before);
    EXPECT_EQ(testing::ReadFile(f / "kept.svg"), "kept");
  }
}

TEST(PictureApplication, DrawsOffscreenWhateverPlatformTheEnvironmentNames) {
  EXPECT_EQ(QGuiApplication::platformName(), QStringLiteral("offscreen"));
  // A second one leaves the first alone.
  PictureApplication again(0, nullptr);
  EXPECT_EQ(QGuiApplication::platformName(), QStringLiteral("offscreen"));
}

}  // namespace
}  // namespace xscatter

int main(int argc, char** argv) {
  // As the batch tool does: no display, and an environment that names one.
  qputenv("QT_QPA_PLATFORM", "xcb");
  qunsetenv("DISPLAY");
  qunsetenv("WAYLAND_DISPLAY");
  xscatter::PictureApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
