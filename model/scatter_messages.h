// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "model/errors.h"

namespace xscatter {

// The texts the user is shown for a failed scatter run.
std::string DescribeInterpolationFault(const InterpolationFault& fault);
std::string DescribeScatterError(const ScatterModelError& error);
std::string DescribeNormalisationError(const NormalisationError& error);

}  // namespace xscatter
