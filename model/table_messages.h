// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "model/errors.h"

namespace xscatter {

// The message the user reads about an unusable data table: what failed, where in the file, and
// the folder that was searched. A quoted field shows at most its first 40 characters, then "…";
// control bytes and bytes that are not UTF-8 are written as \xHH, so the message stays readable
// and keeps its closing quote and folder line.
std::string DescribeTableError(const TableError& error);

}  // namespace xscatter
