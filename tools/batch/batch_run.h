// SPDX-License-Identifier: MIT
#pragma once

#include <cstdio>
#include <filesystem>
#include <ostream>

#include "tools/batch/batch_options.h"
#include "tools/batch/picture.h"

namespace xscatter::batch {

// Exit statuses of the tool; an interrupted run exits with 128 plus the signal's number.
inline constexpr int kDone = 0;
inline constexpr int kFailed = 1;    // a table, file or model error
inline constexpr int kRejected = 2;  // an entry was rejected, or a bad command line

struct BatchFolders {
  std::filesystem::path working;  // receives the spectrum files; locked for the whole run
  std::filesystem::path data;     // holds the tables
};

// Runs every run of the command line on the application layer and writes the files (a single
// run's only when every step succeeded, the picture included), the picture (when `picture` is
// given) and the report, a sweep's rows as its runs finish. Warnings and errors go to `err`, the
// report to `out`, a progress line to `terminal` when one is given. Returns the exit status.
int RunBatch(const BatchOptions& options, const BatchFolders& folders, Picture* picture,
             std::ostream& out, std::ostream& err, std::FILE* terminal = nullptr);

}  // namespace xscatter::batch
