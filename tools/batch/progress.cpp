// SPDX-License-Identifier: MIT
#include "tools/batch/progress.h"

namespace xscatter::batch {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kRedraw = std::chrono::milliseconds(250);

}  // namespace

Progress::Progress(std::FILE* terminal, std::size_t total)
    : terminal_(terminal), total_(total), start_(Clock::now()), shown_(start_) {}

void Progress::Done(std::size_t runs) {
  if (!terminal_) return;
  const auto now = Clock::now();
  if (now - shown_ < kRedraw && runs < total_) return;
  shown_ = now;
  const double seconds = std::chrono::duration<double>(now - start_).count();
  const double rate = seconds > 0 ? runs / seconds : 0;
  const double left = rate > 0 ? (total_ - runs) / rate : 0;
  std::fprintf(terminal_, "\r%zu/%zu runs, %.1f runs/s, %.0f s left\033[K", runs, total_, rate,
               left);
  std::fflush(terminal_);
  drawn_ = true;
}

void Progress::Clear() {
  if (!drawn_) return;
  std::fputs("\r\033[K", terminal_);
  std::fflush(terminal_);
  drawn_ = false;
}

}  // namespace xscatter::batch
