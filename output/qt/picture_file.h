// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace xscatter {

// "画像ファイル NAME を書き込めません（REASON）。" and the folder it was to go to.
std::string PictureFailureMessage(const std::filesystem::path& file, const std::string& reason);

// Throws FileWriteError when `file` cannot be a picture file whatever is written: no file name, a
// folder of that name, or a file the user may not write to.
void CheckPictureTarget(const std::filesystem::path& file);

// Replaces `file` with `bytes` all at once through ReplaceFiles: a reader sees the old file or the
// whole new one, and a file the user may not write to is left alone. Throws FileWriteError.
void ReplacePictureFile(const std::filesystem::path& file, std::string_view bytes);

}  // namespace xscatter
