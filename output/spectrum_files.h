// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "model/grid.h"

namespace xscatter {

// The complete texts of the three spectrum files: a header line and 300 lines of two numbers, one
// per bin 1..300, CR LF line ends.

// P_Spectrum.dat: bin energy and primary fluence, three decimals each.
std::string PrimarySpectrumText(const GridArray& primary);
// Inc_Spectrum.dat: scattered photon energy (three decimals) and fluence (four decimals).
std::string IncoherentSpectrumText(const GridArray& energy, const GridArray& fluence);
// Coh_Spectrum.dat: bin energy (three decimals) and coherent fluence (four decimals).
std::string CoherentSpectrumText(const GridArray& coherent);

}  // namespace xscatter
