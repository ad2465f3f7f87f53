// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdio>

namespace xscatter::batch {

// A line on a terminal's standard error telling how far a sweep is: runs done of the total, the
// rate and the time left, redrawn at most a few times a second. Silent when the stream is not a
// terminal, so logs and pipes get nothing of it.
class Progress {
 public:
  Progress(std::FILE* terminal, std::size_t total);  // a null terminal: silent
  void Done(std::size_t runs);
  // Clears the line before anything else is written to the terminal.
  void Clear();

 private:
  std::FILE* terminal_;
  std::size_t total_;
  std::chrono::steady_clock::time_point start_, shown_;
  bool drawn_ = false;
};

}  // namespace xscatter::batch
