// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string_view>

namespace xscatter::tables {

class FileWriteError : public std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Replaces `target` with `content` in one step: the text goes to an exclusively created temporary
// file in the same folder, which is then renamed over the target. A failure leaves the target as
// it was and no temporary file behind, and throws FileWriteError naming the file and the reason.
void ReplaceFile(const std::filesystem::path& target, std::string_view content);

}  // namespace xscatter::tables
