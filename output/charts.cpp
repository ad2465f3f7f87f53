// SPDX-License-Identifier: MIT
#include "output/charts.h"

namespace xscatter {
namespace {

// The plot frame in chart units; energy runs 0..150 keV and relative fluence 0..1 across it.
constexpr double kFrameLeft = 1000;
constexpr double kFrameTop = 100;
constexpr double kFrameRight = 5500;
constexpr double kFrameBottom = 2100;

constexpr double kUnitsPerKeV = 30;
constexpr double kUnitsPerBin = 15;
constexpr double kUnitsPerFluence = 2000;

constexpr int kPrimaryColour = kLightRed;
constexpr int kIncoherentColour = kLightRed;
constexpr int kCoherentColour = kLightBlue;

float EnergyX(double kev) { return static_cast<float>(kFrameLeft + kUnitsPerKeV * kev); }
float FluenceY(double fluence) {
  return static_cast<float>(kFrameBottom - kUnitsPerFluence * fluence);
}
// Left edge of bin i's tread; the right edge is the left edge of bin i + 1.
float TreadLeftX(int bin) {
  return static_cast<float>(kFrameLeft + kUnitsPerBin * (bin - 1) + kUnitsPerBin / 2);
}

void DrawFrame(ChartSurface& chart) {
  chart.SetLineWidth(2);
  chart.Rectangle(kFrameLeft, kFrameTop, kFrameRight, kFrameBottom, kBlack);
}

// Every curve starts with a black dot on the origin, which also puts the current point there.
void StartCurve(ChartSurface& chart) {
  chart.SetLineWidth(2);
  chart.Point(kFrameLeft, kFrameBottom, kBlack);
}

struct AxisText {
  float x;
  float y;
  const char* text;
};

constexpr AxisText kAxisTexts[] = {
    {1000, 2120, "0"},
    {2450, 2120, "50"},
    {3900, 2120, "100"},
    {5400, 2120, "150"},
    {3000, 2300, "Photon energy   keV"},
    {100, 300, "Relative"},
    {130, 500, "Photon"},
    {130, 700, "Fluence"},
};

struct CurvePoint {
  double energy;   // keV
  double fluence;  // relative
};

double ExtrapolatedScatterEnergy(const ScatterCurves& c) {
  const int n = c.bin_count;
  // Before any calculation there are no two bins to extrapolate from.
  if (n < 2 || n > kLastBin) return 0.0;
  return 2 * c.scattered_energy[n] - c.scattered_energy[n - 1];
}

// Point of bin i (2 <= i <= bin_count + 1) of the incoherent curve.
CurvePoint IncoherentCurvePoint(const ScatterCurves& c, int bin) {
  if (bin > kLastBin) return {ExtrapolatedScatterEnergy(c), 0.0};
  if (bin == c.bin_count + 1 && bin >= 3) return {ExtrapolatedScatterEnergy(c), c.incoherent[bin]};
  return {c.scattered_energy[bin], c.incoherent[bin]};
}

double CoherentCurveValue(const ScatterCurves& c, int bin) {
  return bin > kLastBin ? 0.0 : c.coherent[bin];
}

}  // namespace

void PrepareEmptyChart(ChartSurface& chart) {
  chart.Clear();
  chart.SetLineWidth(1);
  // Grid every 10 keV and every 0.1 of fluence, none on the frame itself.
  for (int x = 1300; x <= 5200; x += 300) {
    chart.Line(x, kFrameTop, x, kFrameBottom, kGrey);
  }
  for (int y = 300; y <= 1900; y += 200) {
    chart.Line(kFrameLeft, y, kFrameRight, y, kGrey);
  }
  for (const AxisText& label : kAxisTexts) {
    chart.Text(label.x, label.y, label.text);
  }
  DrawFrame(chart);
}

void PreparePrimaryCharts(ChartSurface& conditions_chart, ChartSurface& scatter_primary_chart) {
  PrepareEmptyChart(conditions_chart);
  PrepareEmptyChart(scatter_primary_chart);
}

void PrepareScatterChart(ChartSurface& scatter_chart) { PrepareEmptyChart(scatter_chart); }

void DrawPrimaryCurve(const GridArray& primary, ChartSurface& chart) {
  StartCurve(chart);
  // Bin 1 is left out: the first segment runs slanted from the origin to the tread of bin 2.
  for (int i = 2; i <= kLastBin; ++i) {
    const float y = FluenceY(primary[static_cast<std::size_t>(i)]);
    chart.LineTo(TreadLeftX(i), y, kPrimaryColour);
    chart.LineTo(TreadLeftX(i + 1), y, kPrimaryColour);
  }
  DrawFrame(chart);
}

void DrawScatterCurves(const ScatterCurves& curves, ChartSurface& chart) {
  const int last = curves.bin_count + 1;

  StartCurve(chart);
  for (int i = 2; i <= last; ++i) {
    const CurvePoint point = IncoherentCurvePoint(curves, i);
    chart.LineTo(EnergyX(point.energy), FluenceY(point.fluence), kIncoherentColour);
  }

  StartCurve(chart);
  for (int i = 2; i <= last; ++i) {
    chart.LineTo(TreadLeftX(i), FluenceY(CoherentCurveValue(curves, i)), kCoherentColour);
  }

  DrawFrame(chart);
}

}  // namespace xscatter
