// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <string>

#include "model/state.h"

namespace xscatter::testing {

// A calculated 100 kV, 90° case in closed form: a primary hump with two characteristic lines
// (bins 116 and 134), incoherent energies shifted down as by Compton scattering at 90°, and a
// coherent curve peaking at 1 in bin 60. Bin 201 is left for the scatter curves to extend.
Module1 DrawnCase();

// SHA-256 of the image's pixels as opaque 32-bit RGB, in hex.
std::string PixelHash(const QImage& image);

}  // namespace xscatter::testing
