// SPDX-License-Identifier: MIT
#pragma once

#include "model/state.h"
#include "output/chart_surface.h"

namespace xscatter {

// Grid, axis labels and frame on a cleared surface.
void PrepareEmptyChart(ChartSurface& chart);
// The exposure-conditions chart first, then the scatter screen's primary chart.
void PreparePrimaryCharts(ChartSurface& conditions_chart, ChartSurface& scatter_primary_chart);
void PrepareScatterChart(ChartSurface& scatter_chart);

// PrimarySpectrum as a light-red staircase over bins 2..300, then the frame again.
void DrawPrimaryCurve(const Module1& m, ChartSurface& chart);
// The incoherent (light red) and coherent (light blue) curves through bins 2..BinCount+1, then the
// frame again. Extends the scattered energies by one bin first (see ExtendScatterEnergies).
void DrawScatterCurves(Module1& m, ChartSurface& chart);

}  // namespace xscatter
