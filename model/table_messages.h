// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

#include "model/errors.h"

namespace xscatter {

// The message the user reads about an unusable data table: what failed, where in the file, and
// the folder that was searched. A quoted field shows at most its first 40 characters, then "…";
// control bytes and bytes that are not UTF-8 are written as \xHH, so the message stays readable
// and keeps its closing quote and folder line.
std::string DescribeTableError(const TableError& error);

// A field as such messages show it: its first 40 characters, "…" when there were more (or when
// `already_cut`), control bytes and bytes that are not UTF-8 as \xHH. Quoted adds the quotes.
std::string FieldExcerpt(std::string_view text, bool already_cut);
std::string QuotedField(std::string_view text, bool already_cut);

}  // namespace xscatter
