#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "output/charts.h"
#include "tests/support/recording_surface.h"

namespace xscatter {
namespace {

using testing::DrawCall;
using testing::RecordingSurface;

constexpr int kBlackColour = 0;
constexpr int kGreyColour = 8;
constexpr int kBlueColour = 9;
constexpr int kRedColour = 12;

std::vector<DrawCall> EmptyChartCalls() {
  std::vector<DrawCall> calls = {DrawCall::Clear(), DrawCall::LineWidth(1)};
  for (float x :
       {1300, 1600, 1900, 2200, 2500, 2800, 3100, 3400, 3700, 4000, 4300, 4600, 4900, 5200}) {
    calls.push_back(DrawCall::Line(x, 100, x, 2100, kGreyColour));
  }
  for (float y : {300, 500, 700, 900, 1100, 1300, 1500, 1700, 1900}) {
    calls.push_back(DrawCall::Line(1000, y, 5500, y, kGreyColour));
  }
  calls.push_back(DrawCall::Text(1000, 2120, "0"));
  calls.push_back(DrawCall::Text(2450, 2120, "50"));
  calls.push_back(DrawCall::Text(3900, 2120, "100"));
  calls.push_back(DrawCall::Text(5400, 2120, "150"));
  calls.push_back(DrawCall::Text(3000, 2300, "Photon energy   keV"));
  calls.push_back(DrawCall::Text(100, 300, "Relative"));
  calls.push_back(DrawCall::Text(130, 500, "Photon"));
  calls.push_back(DrawCall::Text(130, 700, "Fluence"));
  calls.push_back(DrawCall::LineWidth(2));
  calls.push_back(DrawCall::Rectangle(1000, 100, 5500, 2100, kBlackColour));
  return calls;
}

const DrawCall kFrameWidth = DrawCall::LineWidth(2);
const DrawCall kFrame = DrawCall::Rectangle(1000, 100, 5500, 2100, kBlackColour);
const DrawCall kOriginDot = DrawCall::Point(1000, 2100, kBlackColour);

TEST(EmptyChart, GridLabelsAndFrameInOrder) {
  RecordingSurface chart;
  PrepareEmptyChart(chart);
  EXPECT_EQ(chart.calls, EmptyChartCalls());
}

TEST(EmptyChart, ScatterChartIsTheEmptyChart) {
  RecordingSurface chart;
  PrepareScatterChart(chart);
  EXPECT_EQ(chart.calls, EmptyChartCalls());
}

// Logs the calls of several surfaces in one sequence, to see which is drawn first.
class SharedLog : public RecordingSurface {
 public:
  SharedLog(std::vector<std::string>& log, std::string name) : log_(log), name_(std::move(name)) {}
  void Clear() override {
    log_.push_back(name_);
    RecordingSurface::Clear();
  }

 private:
  std::vector<std::string>& log_;
  std::string name_;
};

TEST(EmptyChart, PrimaryChartsConditionsFirst) {
  std::vector<std::string> order;
  SharedLog conditions(order, "conditions");
  SharedLog scatter_primary(order, "scatter primary");
  PreparePrimaryCharts(conditions, scatter_primary);
  EXPECT_EQ(order, (std::vector<std::string>{"conditions", "scatter primary"}));
  EXPECT_EQ(conditions.calls, EmptyChartCalls());
  EXPECT_EQ(scatter_primary.calls, EmptyChartCalls());
}

// Calls of the staircase tread of a bin: the riser up to its left edge, then the tread.
struct Tread {
  std::size_t index;  // position of the riser in the recorded calls
  float left;
  float right;
  float y;
};

TEST(PrimaryCurve, StaircaseFromTheOrigin) {
  Module1 m;
  m.BinCount = 200;
  m.PrimarySpectrum[1] = 0.9;  // bin 1 is never drawn
  m.PrimarySpectrum[2] = 0.25;
  m.PrimarySpectrum[3] = 0.5;
  m.PrimarySpectrum[5] = 0.123456789;
  m.PrimarySpectrum[116] = 1.0;
  m.PrimarySpectrum[200] = 0.0625;

  RecordingSurface chart;
  DrawPrimaryCurve(m, chart);

  // Width, origin dot, two line-tos for each of bins 2..300, width, frame.
  ASSERT_EQ(chart.calls.size(), 2u + 2u * 299u + 2u);
  EXPECT_EQ(chart.calls[0], DrawCall::LineWidth(2));
  EXPECT_EQ(chart.calls[1], kOriginDot);

  // Bin i's riser is call 2 * i - 2 and its tread call 2 * i - 1.
  const Tread treads[] = {
      {2, 1022.5f, 1037.5f, 1600},          // slanted first segment from the origin
      {4, 1037.5f, 1052.5f, 1100},          // bin 3
      {6, 1052.5f, 1067.5f, 2100},          // bin 4 is empty
      {8, 1067.5f, 1082.5f, 1853.086422f},  // bin 5
      {230, 2732.5f, 2747.5f, 100},         // bin 116, the maximum, on the top frame edge
      {398, 3992.5f, 4007.5f, 1975},        // bin 200, the last bin of the spectrum
      {400, 4007.5f, 4022.5f, 2100},        // bin 201, above the tube voltage
      {598, 5492.5f, 5507.5f, 2100},        // bin 300, ending past the frame
  };
  for (const Tread& t : treads) {
    SCOPED_TRACE(t.index);
    EXPECT_EQ(chart.calls[t.index], DrawCall::LineTo(t.left, t.y, kRedColour));
    EXPECT_EQ(chart.calls[t.index + 1], DrawCall::LineTo(t.right, t.y, kRedColour));
  }

  EXPECT_EQ(chart.calls[600], kFrameWidth);
  EXPECT_EQ(chart.calls[601], kFrame);
}

TEST(PrimaryCurve, FortyKilovoltsLiesOnTheBaselineFromBin81) {
  Module1 m;
  m.BinCount = 80;
  for (int i = 2; i <= 80; ++i) m.PrimarySpectrum[i] = 0.5;

  RecordingSurface chart;
  DrawPrimaryCurve(m, chart);

  ASSERT_EQ(chart.calls.size(), 602u);
  EXPECT_EQ(chart.calls[158], DrawCall::LineTo(2192.5f, 1100, kRedColour));  // bin 80's tread
  for (std::size_t call = 160; call < 600; ++call) {
    ASSERT_EQ(chart.calls[call].y1, 2100.0f) << chart.calls[call];
  }
  EXPECT_EQ(chart.calls[599], DrawCall::LineTo(5507.5f, 2100, kRedColour));
}

// A scatter result of BinCount bins: energies from bin 16 on, fluence on a few bins.
Module1 ScatterResult(int bin_count) {
  Module1 m;
  m.BinCount = bin_count;
  for (int i = 16; i <= bin_count; ++i) {
    m.IncoherentSpectrum[1][i] = 0.25 * i;  // keV, half the bin's own energy
    m.IncoherentSpectrum[2][i] = 0.5;
    m.CoherentSpectrum[i] = 0.25;
  }
  return m;
}

TEST(ScatterCurves, BothCurvesUpToTheExtendedBin) {
  Module1 m = ScatterResult(200);
  m.IncoherentSpectrum[2][100] = 1.0;
  m.CoherentSpectrum[120] = 1.0;
  m.IncoherentSpectrum[1][199] = 80.0;
  m.IncoherentSpectrum[1][200] = 80.25;

  RecordingSurface chart;
  DrawScatterCurves(m, chart);

  // Two curves of 200 points (bins 2..201), each after a width and an origin dot; then the frame.
  ASSERT_EQ(chart.calls.size(), 406u);
  EXPECT_EQ(chart.calls[0], DrawCall::LineWidth(2));
  EXPECT_EQ(chart.calls[1], kOriginDot);
  // Incoherent point of bin i is call i: at the scattered photon's energy.
  const std::vector<std::pair<std::size_t, DrawCall>> incoherent = {
      {2, DrawCall::LineTo(1000, 2100, kRedColour)},      // no energy yet: the origin
      {15, DrawCall::LineTo(1000, 2100, kRedColour)},     // last bin without energy
      {16, DrawCall::LineTo(1120, 1100, kRedColour)},     // 4 keV
      {100, DrawCall::LineTo(1750, 100, kRedColour)},     // 25 keV at the maximum
      {199, DrawCall::LineTo(3400, 1100, kRedColour)},    // 80 keV
      {200, DrawCall::LineTo(3407.5, 1100, kRedColour)},  // 80.25 keV
      {201, DrawCall::LineTo(3415, 2100, kRedColour)},    // extrapolated 80.5 keV, no fluence
  };
  for (const auto& [index, call] : incoherent) EXPECT_EQ(chart.calls[index], call);

  EXPECT_EQ(chart.calls[202], DrawCall::LineWidth(2));
  EXPECT_EQ(chart.calls[203], kOriginDot);
  // Coherent point of bin i is call 202 + i: at the left end of the bin's tread.
  const std::vector<std::pair<std::size_t, DrawCall>> coherent = {
      {204, DrawCall::LineTo(1022.5, 2100, kBlueColour)},  // bin 2
      {218, DrawCall::LineTo(1232.5, 1600, kBlueColour)},  // bin 16
      {322, DrawCall::LineTo(2792.5, 100, kBlueColour)},   // bin 120
      {402, DrawCall::LineTo(3992.5, 1600, kBlueColour)},  // bin 200
      {403, DrawCall::LineTo(4007.5, 2100, kBlueColour)},  // bin 201
  };
  for (const auto& [index, call] : coherent) EXPECT_EQ(chart.calls[index], call);

  EXPECT_EQ(chart.calls[404], kFrameWidth);
  EXPECT_EQ(chart.calls[405], kFrame);

  // The extrapolated energy stays in the array, past the bins the files hold.
  EXPECT_EQ(m.IncoherentSpectrum[1][201], 80.5);
}

TEST(ScatterCurves, FullGridEndsPastTheLastBinWithoutTouchingIt) {
  Module1 m = ScatterResult(300);
  m.IncoherentSpectrum[1][299] = 120.0;
  m.IncoherentSpectrum[1][300] = 120.3;
  // The element after the energy column is the fluence column's unused element 0.
  m.IncoherentSpectrum[2][0] = -7;
  const Module1 before = m;

  RecordingSurface chart;
  DrawScatterCurves(m, chart);

  ASSERT_EQ(chart.calls.size(), 2u + 300u + 2u + 300u + 2u);
  // 2 * 120.3 - 120.0 = 120.6 keV on the baseline.
  EXPECT_EQ(chart.calls[301],
            DrawCall::LineTo(static_cast<float>(1000 + 30 * 120.6), 2100, kRedColour));
  EXPECT_EQ(chart.calls[300],
            DrawCall::LineTo(static_cast<float>(1000 + 30 * 120.3), 1100, kRedColour));
  EXPECT_EQ(chart.calls[603], DrawCall::LineTo(5507.5, 2100, kBlueColour));
  EXPECT_EQ(chart.calls[605], kFrame);

  EXPECT_EQ(m.IncoherentSpectrum, before.IncoherentSpectrum);
  EXPECT_EQ(m.CoherentSpectrum, before.CoherentSpectrum);
}

TEST(ScatterCurves, SecondRunRedrawsOverTheFirst) {
  Module1 m = ScatterResult(150);
  RecordingSurface chart;
  DrawScatterCurves(m, chart);
  const std::vector<DrawCall> first = chart.calls;
  DrawScatterCurves(m, chart);
  ASSERT_EQ(chart.calls.size(), 2 * first.size());
  EXPECT_TRUE(std::equal(first.begin(), first.end(), chart.calls.begin() + first.size()));
  EXPECT_NE(chart.calls.front(), DrawCall::Clear());
}

}  // namespace
}  // namespace xscatter
