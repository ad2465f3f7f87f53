// SPDX-License-Identifier: MIT
#pragma once

namespace xscatter::batch {

// SIGINT and SIGTERM end a batch run between two runs, never inside one: the handler only records
// the signal, and the run loop looks at it before each run and before the files are made durable.
// Until CatchInterrupts has been called (the run calls it once its folders are locked, so a wait
// for a lock can still be interrupted the ordinary way) the signals keep their default.
void AllowCatchingInterrupts();  // main: the process may install the handlers
void CatchInterrupts();          // installs them, when allowed
// The signal received, or 0.
int InterruptSignal();

}  // namespace xscatter::batch
