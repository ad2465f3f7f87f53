// SPDX-License-Identifier: MIT
#pragma once

#include "model/state.h"

namespace xscatter {

// The scatter curves run through bins 2..BinCount+1; the extra bin carries the energy extrapolated
// from the last two computed ones and no fluence. At 150 kV that bin lies past the grid, so the
// drawing code takes its points from these functions instead of indexing the arrays.

struct CurvePoint {
  double energy;   // keV
  double fluence;  // relative
};

// 2*E'(n) - E'(n-1) with n = BinCount.
double ExtrapolatedScatterEnergy(const Module1& m);

// Stores the extrapolated energy in bin BinCount+1 of the energy column when that bin exists.
void ExtendScatterEnergies(Module1& m);

// Point of bin i (2 <= i <= BinCount+1) of the incoherent curve.
CurvePoint IncoherentCurvePoint(const Module1& m, int bin);

// Fluence of bin i (2 <= i <= BinCount+1) of the coherent curve; 0 past the grid.
double CoherentCurveValue(const Module1& m, int bin);

}  // namespace xscatter
