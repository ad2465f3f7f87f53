// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <charconv>
#include <cstddef>
#include <span>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "output/chart_surface.h"
#include "output/charts.h"

namespace xscatter {
namespace {

using Calls = std::vector<std::string>;

// Shortest text that reads back as the same float, so equal texts mean equal arguments.
std::string Arg(float value) {
  char text[32];
  return " " + std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}
std::string Arg(const std::string& text) { return " " + text; }

// One primitive call as text: its name, then its arguments in order.
template <typename... Args>
std::string Call(std::string name, const Args&... args) {
  ((name += Arg(args)), ...);
  return name;
}

// A chart surface that draws nothing and records every call in order.
class RecordingSurface : public ChartSurface {
 public:
  void Clear() override { calls.push_back("Clear"); }
  void SetLineWidth(int px) override { Add("Width", px); }
  void Line(float a, float b, float x, float y, int c) override { Add("Line", a, b, x, y, c); }
  void LineTo(float x, float y, int c) override { Add("LineTo", x, y, c); }
  void Rectangle(float x1, float y1, float x2, float y2, int c) override {
    Add("Rectangle", x1, y1, x2, y2, c);
  }
  void Point(float x, float y, int c) override { Add("Point", x, y, c); }
  void Text(float x, float y, const std::string& text) override { Add("Text", x, y, text); }
  template <typename... Args>
  void Add(const Args&... args) {
    calls.push_back(Call(args...));
  }

  Calls calls;
};

// Palette numbers of the classic colours: 0 black, 8 grey, 9 light blue, 12 light red.
const std::string kWidth2 = Call("Width", 2);
const std::string kOrigin = Call("Point", 1000, 2100, 0);
const std::string kFrame = Call("Rectangle", 1000, 100, 5500, 2100, 0);

// Call number and the arguments of a line-to there.
using Point = std::tuple<std::size_t, float, float, int>;

// A curve drawing: width, origin, curve, width and frame again, with these line-tos in between.
void ExpectCurves(const Calls& calls, std::size_t size, std::span<const Point> points) {
  ASSERT_EQ(calls.size(), size);
  EXPECT_EQ((Calls{calls[0], calls[1], calls[size - 2], calls[size - 1]}),
            (Calls{kWidth2, kOrigin, kWidth2, kFrame}));
  for (const auto& [call, x, y, colour] : points) {
    EXPECT_EQ(calls[call], Call("LineTo", x, y, colour)) << "call " << call;
  }
}

TEST(EmptyChart, EveryPreparedChartIsGridLabelsAndFrameInOrder) {
  Calls expected = {"Clear", Call("Width", 1)};
  for (int x = 1300; x <= 5200; x += 300) expected.push_back(Call("Line", x, 100, x, 2100, 8));
  for (int y = 300; y <= 1900; y += 200) expected.push_back(Call("Line", 1000, y, 5500, y, 8));
  expected.insert(
      expected.end(),
      {Call("Text", 1000, 2120, "0"), Call("Text", 2450, 2120, "50"),
       Call("Text", 3900, 2120, "100"), Call("Text", 5400, 2120, "150"),
       Call("Text", 3000, 2300, "Photon energy   keV"), Call("Text", 100, 300, "Relative"),
       Call("Text", 130, 500, "Photon"), Call("Text", 130, 700, "Fluence"), kWidth2, kFrame});
  RecordingSurface empty, scatter, conditions, primary;
  PrepareEmptyChart(empty);
  PrepareScatterChart(scatter);
  PreparePrimaryCharts(conditions, primary);
  for (const auto* chart : {&empty, &scatter, &conditions, &primary})
    EXPECT_EQ(chart->calls, expected);
}

TEST(PrimaryCurve, StaircaseFromTheOrigin) {
  GridArray primary{};
  // Bin 1 is never drawn.
  for (auto [bin, value] :
       {std::pair{1, 0.9}, {2, 0.25}, {3, 0.5}, {5, 0.123456789}, {116, 1.0}, {200, 0.0625}}) {
    primary[bin] = value;
  }
  RecordingSurface chart;
  DrawPrimaryCurve(primary, chart);

  // Bin i's riser is call 2i - 2, its tread call 2i - 1; bin 2's riser slants from the origin.
  const Point points[] = {
      {2, 1022.5f, 1600, 12},   {3, 1037.5f, 1600, 12},         {4, 1037.5f, 1100, 12},
      {6, 1052.5f, 2100, 12},   {8, 1067.5f, 1853.086422f, 12}, {230, 2732.5f, 100, 12},
      {398, 3992.5f, 1975, 12}, {400, 4007.5f, 2100, 12},       {599, 5507.5f, 2100, 12}};
  ExpectCurves(chart.calls, 2 + 2 * 299 + 2, points);
}

// Energies from bin 16 on at half the bin's own energy and the last two at 0.4 n and 0.4 n + 0.25
// keV, constant fluences with one peak on each curve. The bin after the last one is drawn at the
// extrapolated energy 0.4 n + 0.5 (past the frame when the grid has no such bin); the spectra
// themselves are not changed by drawing.
TEST(ScatterCurves, BothCurvesRunThroughTheBinAfterTheLast) {
  // Bin i's point is call i on the incoherent curve, call n + 2 + i on the coherent one.
  const Point partial[] = {{2, 1000, 2100, 12},   {15, 1000, 2100, 12},   {16, 1120, 1100, 12},
                           {100, 1750, 100, 12},  {199, 3400, 1100, 12},  {200, 3407.5, 1100, 12},
                           {201, 3415, 2100, 12}, {204, 1022.5, 2100, 9}, {218, 1232.5, 1600, 9},
                           {322, 2792.5, 100, 9}, {402, 3992.5, 1600, 9}, {403, 4007.5, 2100, 9}};
  // The full grid has no bin 301: its point lies past the frame.
  const Point full[] = {{300, 4607.5, 1100, 12}, {301, 4615, 2100, 12}, {603, 5507.5, 2100, 9}};
  const struct {
    int bins;
    std::span<const Point> points;
  } rows[] = {{200, partial}, {300, full}};
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::Message() << row.bins << " bins");
    ScatterCurves curves;
    curves.bin_count = row.bins;
    for (int i = 16; i <= row.bins; ++i) {
      curves.scattered_energy[i] = 0.25 * i;
      curves.incoherent[i] = 0.5;
      curves.coherent[i] = 0.25;
    }
    curves.incoherent[100] = curves.coherent[120] = 1.0;
    curves.scattered_energy[row.bins - 1] = 0.4 * row.bins;
    curves.scattered_energy[row.bins] = 0.4 * row.bins + 0.25;
    curves.incoherent[0] = -7;
    RecordingSurface chart;
    DrawScatterCurves(curves, chart);

    ExpectCurves(chart.calls, 2 * row.bins + 6, row.points);
    EXPECT_EQ(chart.calls[row.bins + 2], kWidth2);
    EXPECT_EQ(chart.calls[row.bins + 3], kOrigin);
  }
}

}  // namespace
}  // namespace xscatter
