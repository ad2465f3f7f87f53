// SPDX-License-Identifier: MIT
#pragma once

#include "model/grid.h"
#include "output/chart_surface.h"

namespace xscatter {

// Grid, axis labels and frame on a cleared surface.
void PrepareEmptyChart(ChartSurface& chart);
// The exposure-conditions chart first, then the scatter screen's primary chart.
void PreparePrimaryCharts(ChartSurface& conditions_chart, ChartSurface& scatter_primary_chart);
void PrepareScatterChart(ChartSurface& scatter_chart);

// The primary spectrum as a light-red staircase over bins 2..300, then the frame again.
void DrawPrimaryCurve(const GridArray& primary, ChartSurface& chart);

// The spectra of one scatter run as the scatter chart draws them.
struct ScatterCurves {
  GridArray scattered_energy{};  // keV of the incoherently scattered photon of bin i
  GridArray incoherent{};        // incoherent fluence of bin i
  GridArray coherent{};          // coherent fluence at 0.5*i keV
  int bin_count = 0;             // the last bin of the calculation
};

// The incoherent (light red) and coherent (light blue) curves through bins 2..bin_count+1, then
// the frame again. The extra bin carries the energy extrapolated from the last two computed ones
// (2*E'(n) - E'(n-1)), the fluence the run left there, and none past the grid.
void DrawScatterCurves(const ScatterCurves& curves, ChartSurface& chart);

}  // namespace xscatter
