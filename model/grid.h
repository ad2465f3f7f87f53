// SPDX-License-Identifier: MIT
#pragma once

#include <array>

namespace xscatter {

// Bin i stands for photon energy 0.5*i keV; bins 1..300 are used, element 0 never is.
inline constexpr int kLastBin = 300;
inline constexpr double kBinWidth = 0.5;  // keV
// Rows 1..45 of the momentum-transfer table; element 0 is never used.
inline constexpr int kTableRows = 45;
// The scatter models start at 8 keV: bins below 16 are never scattered.
inline constexpr int kFirstScatterBin = 16;

using GridArray = std::array<double, kLastBin + 1>;
using TableArray = std::array<double, kTableRows + 1>;

}  // namespace xscatter
