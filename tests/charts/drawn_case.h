// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <string>

#include "output/chart_surface.h"

namespace xscatter::testing {

// Draws a calculated 100 kV, 90° case in closed form as the scatter screen shows it after a run
// and a second OK at another angle: the staircase on `primary` (a hump with two characteristic
// lines, bins 116 and 134), the scatter curves of both runs on `scatter` (incoherent energies
// shifted down as by Compton scattering at 90°, then 10 % lower; a coherent curve peaking at 1 in
// bin 60). Bin 201 is left for the scatter curves to extend.
void DrawTwoRuns(ChartSurface& primary, ChartSurface& scatter);

// SHA-256 of the image's pixels as opaque 32-bit RGB, in hex.
std::string PixelHash(const QImage& image);

}  // namespace xscatter::testing
