// SPDX-License-Identifier: MIT
#pragma once

#include "model/grid.h"

namespace xscatter {

// The largest of bins first..last that exceeds `floor` (strictly greater), or `floor` itself.
double LargestValue(const GridArray& values, int first, int last, double floor = 0);

// Divides bins first..last by `maximum`; a quotient at or below 1e-100 becomes exactly 0. True when
// every quotient is finite.
bool DivideByMaximum(GridArray& values, int first, int last, double maximum);

}  // namespace xscatter
