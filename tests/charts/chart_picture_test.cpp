// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QColor>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QXmlStreamReader>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "model/errors.h"
#include "output/charts.h"
#include "output/qt/chart_painter.h"
#include "output/qt/chart_picture.h"
#include "output/qt/picture_application.h"
#include "tests/charts/drawn_case.h"

namespace xscatter {
namespace {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed with everything in it.
struct Folder {
  Folder() {
    std::string name = (fs::temp_directory_path() / "xscatter-picture-XXXXXX").string();
    path = ::mkdtemp(name.data());
  }
  ~Folder() {
    std::error_code ec;
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path, ec);
  }
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(path)) names.insert(entry.path().filename());
    return names;
  }
  fs::path path;
};

std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The scatter screen after a default run and a second OK at another angle.
ChartPicture DrawnPicture() {
  ChartPicture picture;
  Module1 m = testing::DrawnCase();
  PrepareEmptyChart(picture.PrimaryChart());
  PrepareScatterChart(picture.ScatterChart());
  DrawPrimaryCurve(m, picture.PrimaryChart());
  DrawScatterCurves(m, picture.ScatterChart());
  for (int i = 16; i <= 200; ++i) m.IncoherentSpectrum[1][i] *= 0.9;
  DrawScatterCurves(m, picture.ScatterChart());
  return picture;
}

// Screen pixels of a chart's inner area: 605 x 437 beside the 2-pixel border of a box at
// (24, 48) for the primary chart and (656, 48) for the scatter chart.
constexpr double kPrimaryLeft = 26;
constexpr double kScatterLeft = 658;
constexpr double kChartTop = 50;
double UnitsX(double units) { return units * 605 / 6000; }
double UnitsY(double units) { return units * 437 / 2500; }

TEST(PainterGeometry, SnapsAsTheRasteriserFillsAtScaleOne) {
  const struct {
    double at;
    int width;
    double centre;
  } rows[] = {
      {131.08, 1, 131.5}, {131.0, 1, 131.5}, {131.99, 1, 131.5}, {100.49, 2, 100},
      {100.5, 2, 101},    {100.83, 2, 101},  {57.2, 3, 57.5},    {57.9, 3, 57.5},
      {253.667, 4, 254},  {-3.2, 1, -3.5},   {-3.7, 2, -4},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::Message() << row.at << " at width " << row.width);
    EXPECT_EQ(SnapToPixels(row.at, row.width), row.centre);
  }
}

TEST(ChartRecording, KeepsLineTosAsOneCurvePerColourAndForgetsWhatAClearCovers) {
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
  const struct {
    std::size_t mark;
    std::vector<QPointF> points;
    int colour;
    int width;
  } curves[] = {
      {2, {{1000, 2100}, {1010, 2000}, {1020, 1900}}, kLightRed, 2},
      {3, {{1020, 1900}, {1030, 1800}}, kLightBlue, 2},
      // A width below one pixel draws one pixel wide.
      {4, {{1030, 1800}, {1040, 1700}}, kLightBlue, 1},
  };
  for (const auto& row : curves) {
    SCOPED_TRACE(::testing::Message() << "mark " << row.mark);
    const auto& curve = std::get<CurveMark>(marks[row.mark]);
    EXPECT_EQ(curve.points, row.points);
    EXPECT_EQ(curve.colour, row.colour);
    EXPECT_EQ(curve.width, row.width);
  }
  EXPECT_EQ(std::get<TextMark>(marks[5]).top_left, QPointF(5, 6));
}

// Wide lines toward 1e30 used to vanish, and a rectangle reaching there filled the whole area;
// now what lies on the chart is drawn and nothing else, and points that are no numbers are left
// out.
TEST(ChartPainter, FarOffAndNonNumericPointsDrawOnlyWhatIsOnTheChart) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const QPointF middle(3000, 1250);  // (302.5, 218.5) pixels
  const struct {
    const char* what;
    ChartMark mark;
    int min_pixels;
    int max_pixels;
  } rows[] = {
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
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    QImage image(605, 437, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
      QPainter painter(&image);
      ChartPainter(painter, {image.rect(), 1.0}, {Qt::white, Qt::black, QFont()}).Draw(row.mark);
    }
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) drawn += image.pixelColor(x, y) != Qt::white;
    }
    EXPECT_GE(drawn, row.min_pixels);
    EXPECT_LE(drawn, row.max_pixels);
  }
}

// The text elements of an SVG, also joined in document order (a text with several scripts comes
// out in runs), and the polylines with their stroke.
struct SvgContent {
  std::multiset<std::string> texts;
  std::string joined;
  std::set<QString> families;
  struct Polyline {
    std::string stroke;
    std::vector<QPointF> points;
  };
  std::vector<Polyline> polylines;
  QString view_box;
};

SvgContent ReadSvg(const std::string& svg) {
  SvgContent content;
  std::vector<std::string> strokes{"none"};
  QXmlStreamReader xml(QByteArray::fromStdString(svg));
  while (!xml.atEnd()) {
    const auto token = xml.readNext();
    if (token == QXmlStreamReader::EndElement && xml.name() == u"g") strokes.pop_back();
    if (token != QXmlStreamReader::StartElement) continue;
    const auto attributes = xml.attributes();
    if (xml.name() == u"svg") content.view_box = attributes.value("viewBox").toString();
    if (xml.name() == u"g") strokes.push_back(attributes.value("stroke").toString().toStdString());
    if (xml.name() == u"text") {
      content.families.insert(attributes.value("font-family").toString());
      const std::string text = xml.readElementText().toStdString();
      content.texts.insert(text);
      content.joined += text;
    }
    if (xml.name() == u"polyline") {
      SvgContent::Polyline line{strokes.back(), {}};
      for (const auto& pair :
           attributes.value("points").toString().split(' ', Qt::SkipEmptyParts)) {
        const auto xy = pair.split(',');
        line.points.emplace_back(xy[0].toDouble(), xy[1].toDouble());
      }
      content.polylines.push_back(line);
    }
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  return content;
}

TEST(ChartPicture, SvgHoldsTheCurvesAsPolylinesAndTheTextsAsText) {
  Folder folder;
  DrawnPicture().Save(folder.path / "chart.svg");
  const SvgContent svg = ReadSvg(Read(folder.path / "chart.svg"));
  EXPECT_EQ(svg.view_box, QStringLiteral("0 0 1289 609"));

  for (const char* text :
       {"一次Ｘ線スペクトル（最大値で正規化）", "散乱Ｘ線スペクトル（最大値で正規化）",
        "非干渉性散乱 (Compton散乱) 線のスペクトル", "干渉性散乱 (Rayleigh散乱) 線のスペクトル"}) {
    EXPECT_NE(svg.joined.find(text), std::string::npos) << text;
  }
  // Faces a viewer can find, the ones the runs were laid out with.
  for (const QString& family : svg.families) {
    EXPECT_TRUE(QFontDatabase::families().contains(family)) << family.toStdString();
  }
  EXPECT_EQ(svg.families.size(), 2u);
  // Each chart's labels, once on each chart.
  for (const char* text :
       {"Photon energy   keV", "Relative", "Photon", "Fluence", "0", "50", "100", "150"}) {
    EXPECT_EQ(svg.texts.count(text), 2u) << text;
  }

  // The staircase: origin and two corners for each of bins 2..300; each scatter run: origin
  // and bins 2..201, drawn twice. The grid: 23 two-point lines on each chart.
  std::map<std::pair<std::string, std::size_t>, int> shapes;
  for (const auto& line : svg.polylines) ++shapes[{line.stroke, line.points.size()}];
  const std::map<std::pair<std::string, std::size_t>, int> expected = {
      {{"#808080", 2}, 46}, {{"#ff0000", 599}, 1}, {{"#ff0000", 201}, 2}, {{"#0000ff", 201}, 2}};
  EXPECT_EQ(shapes, expected);

  const struct {
    const char* what;
    std::string stroke;
    std::size_t points;
    std::size_t index;
    double x, y;
  } vertices[] = {
      // Bin 134's tread at 0.55 (y 1000 units) starts at 3002.5 units.
      {"staircase bin 134", "#ff0000", 599, 2 * 133 - 1, kPrimaryLeft + UnitsX(3002.5),
       kChartTop + UnitsY(1000)},
      // The coherent point of bin 30 at exp(-1) sits at 1442.5 units.
      {"coherent bin 30", "#0000ff", 201, 29, kScatterLeft + UnitsX(1442.5),
       kChartTop + UnitsY(2100 - 2000 * std::exp(-1.0))},
      // Bin 201 ends the curve on the baseline at 1000 + 30 * (2 E'(200) - E'(199)).
      {"incoherent end", "#ff0000", 201, 200,
       kScatterLeft + UnitsX(1000 + 30 * (2 * 100 / (1 + 100 / 511.) - 99.5 / (1 + 99.5 / 511.))),
       kChartTop + UnitsY(2100)},
  };
  for (const auto& row : vertices) {
    SCOPED_TRACE(row.what);
    const auto line = std::find_if(svg.polylines.begin(), svg.polylines.end(), [&](auto& l) {
      return l.stroke == row.stroke && l.points.size() == row.points;
    });
    ASSERT_NE(line, svg.polylines.end());
    // The SVG holds six significant digits.
    EXPECT_NEAR(line->points[row.index].x(), row.x, 0.01);
    EXPECT_NEAR(line->points[row.index].y(), row.y, 0.01);
  }
  // The grid stands on pixel centres.
  for (const auto& line : svg.polylines) {
    if (line.stroke != "#808080") continue;
    for (const QPointF& p : line.points) {
      EXPECT_EQ(p.x() - std::floor(p.x()), 0.5);
      EXPECT_EQ(p.y() - std::floor(p.y()), 0.5);
    }
  }
}

TEST(ChartPicture, PngIsTwiceTheScreenWithFrameAndCurvesWhereTheChartPutsThem) {
  Folder folder;
  DrawnPicture().Save(folder.path / "chart.PNG");
  QImage image(QString::fromStdString((folder.path / "chart.PNG").string()));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), QSize(2 * 19335 / 15, 2 * 9135 / 15));
  EXPECT_EQ(image.dotsPerMeterX(), 7559);

  // Device pixel of chart units: the primary chart's inner area starts at (52, 100), the scatter
  // chart's at (1316, 100), and 6000 x 2500 units cover 1210 x 874 pixels.
  const auto at = [](double left, double x_units, double y_units) {
    return QPoint(static_cast<int>(2 * left + x_units * 1210 / 6000),
                  static_cast<int>(2 * kChartTop + y_units * 874 / 2500));
  };
  const QColor red(255, 0, 0), blue(0, 0, 255), grey(128, 128, 128);
  const struct {
    const char* what;
    QPoint pixel;
    QColor colour;
  } rows[] = {
      {"background", {10, 10}, Qt::white},
      // The frame's left edge at 1000 units, 253.7 pixels in, is four pixels wide: 252..255.
      {"frame left edge, first pixel", {252, 600}, Qt::black},
      {"frame left edge, last pixel", {255, 600}, Qt::black},
      {"left of the frame", {251, 600}, Qt::white},
      {"right of the frame", {256, 600}, Qt::white},
      {"frame top edge", at(kPrimaryLeft, 3200, 100), Qt::black},
      {"scatter frame bottom edge", at(kScatterLeft, 3200, 2100), Qt::black},
      {"grid line at 10 keV",
       {static_cast<int>(SnapToPixels(52 + 1300 * 1210 / 6000., 2)), 600},
       grey},
      {"staircase bin 134", at(kPrimaryLeft, 3010, 1000), red},
      {"coherent bin 30", at(kScatterLeft, 1442.5, 2100 - 2000 * std::exp(-1.0)), blue},
      {"legend red line", {1450, 1039}, red},
      {"legend blue line", {1450, 1119}, blue},
      {"box border, outer shadow", {100, 96}, QColor(159, 159, 159)},
      {"box border, inner shadow", {100, 98}, QColor(118, 118, 118)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(image.pixelColor(row.pixel), row.colour)
        << row.pixel.x() << "," << row.pixel.y() << " "
        << image.pixelColor(row.pixel).name().toStdString();
  }
}

TEST(ChartPicture, SavingReplacesAnExistingFileWhole) {
  Folder folder;
  const fs::path file = folder.path / "chart.svg";
  { std::ofstream(file) << "old"; }
  DrawnPicture().Save(file);
  EXPECT_EQ(folder.Names(), std::set<std::string>{"chart.svg"});
  EXPECT_EQ(Read(file).rfind("<?xml", 0), 0u);
  const mode_t mask = ::umask(0);
  ::umask(mask);
  EXPECT_EQ(fs::status(file).permissions(), static_cast<fs::perms>(0666 & ~mask));
}

TEST(ChartPicture, SaveFailuresNameTheFileAndLeaveNothingBehind) {
  Folder folder;
  fs::create_directory(folder.path / "taken.png");
  { std::ofstream(folder.path / "plain") << "x"; }
  fs::create_directory(folder.path / "locked");
  fs::permissions(folder.path / "locked", fs::perms::owner_read | fs::perms::owner_exec);
  { std::ofstream(folder.path / "kept.svg") << "kept"; }
  fs::permissions(folder.path / "kept.svg", fs::perms::owner_read);
  const bool root = ::geteuid() == 0;
  const struct {
    const char* what;
    fs::path file;
    std::string reason;
    bool needs_permissions;
  } rows[] = {
      {"no file name", folder.path / "", "ファイル名がありません", false},
      {"unknown extension", folder.path / "chart.gif", "拡張子は .png か .svg", false},
      {"no extension", folder.path / "chart", "拡張子は .png か .svg", false},
      {"a folder of that name", folder.path / "taken.png", "同じ名前のフォルダがあります", false},
      {"missing folder", folder.path / "none" / "chart.png", "No such file or directory", false},
      {"a file as the folder", folder.path / "plain" / "chart.svg", "Not a directory", false},
      {"a folder no one may write", "/proc/xscatter-chart.png", "保存先フォルダ: /proc", false},
      {"a folder the user may not write", folder.path / "locked" / "chart.png", "Permission denied",
       true},
      // Renaming over it would succeed, so it is checked first.
      {"a file the user made read-only", folder.path / "kept.svg", "Permission denied", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    if (row.needs_permissions && root) continue;  // root writes anywhere
    try {
      DrawnPicture().Save(row.file);
      ADD_FAILURE() << "saved";
    } catch (const FileWriteError& error) {
      const std::string message = error.what();
      EXPECT_NE(message.find("画像ファイル " + row.file.filename().string() + " を書き込めません"),
                std::string::npos)
          << message;
      EXPECT_NE(message.find(row.reason), std::string::npos) << message;
    }
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"taken.png", "plain", "locked", "kept.svg"}));
    EXPECT_EQ(Read(folder.path / "kept.svg"), "kept");
    EXPECT_TRUE(fs::is_empty(folder.path / "taken.png"));
    if (!root) {
      EXPECT_TRUE(fs::is_empty(folder.path / "locked"));
    }
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
