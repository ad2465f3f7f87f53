// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <ostream>

#include "tools/batch/batch_options.h"
#include "tools/batch/picture.h"

namespace xscatter::batch {

// Exit statuses of the tool.
inline constexpr int kDone = 0;
inline constexpr int kFailed = 1;    // a table, file or model error
inline constexpr int kRejected = 2;  // an entry was rejected, or a bad command line

struct BatchFolders {
  std::filesystem::path working;  // receives the spectrum files; locked for the whole run
  std::filesystem::path data;     // holds the tables
};

// Runs every run of the command line through the screens' command logic, then writes the files
// (only when every step succeeded), the picture (when `picture` is given) and the report. Warnings
// and errors go to `err`, the report to `out`. Returns the exit status.
int RunBatch(const BatchOptions& options, const BatchFolders& folders, Picture* picture,
             std::ostream& out, std::ostream& err);

}  // namespace xscatter::batch
