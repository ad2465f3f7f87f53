// SPDX-License-Identifier: MIT
#include "tools/batch/interrupt.h"

#include <csignal>

namespace xscatter::batch {
namespace {

volatile std::sig_atomic_t g_signal = 0;
bool g_allowed = false;

extern "C" void RecordSignal(int signal) { g_signal = signal; }

}  // namespace

void AllowCatchingInterrupts() { g_allowed = true; }

void CatchInterrupts() {
  if (!g_allowed) return;
  struct sigaction action {};
  action.sa_handler = RecordSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;  // writes in progress finish; the loop looks at the flag after
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

int InterruptSignal() { return g_signal; }

}  // namespace xscatter::batch
