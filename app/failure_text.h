// SPDX-License-Identifier: MIT
#pragma once

#include <exception>
#include <string>

namespace xscatter {

// The message the user reads for a failure of the engine, the checks or the writer, in the
// program's words: the refusal's warning, the table, model or normalisation message, the file or
// lock message. Any other failure (running out of memory, say) is described as
// "<what>の処理中にエラーが発生しました（…）。", `what` naming the step that failed.
std::string FailureText(const std::exception& error, const char* what);

}  // namespace xscatter
