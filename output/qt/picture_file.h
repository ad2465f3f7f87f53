// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace xscatter {

// How a picture's FileWriteError names the file: "画像ファイル NAME を書き込めません（REASON）。"
inline constexpr std::string_view kPictureFileKind = "画像ファイル";

// Throws FileWriteError when `file` cannot be a picture file whatever is written: no file name, a
// folder of that name, or a file the user may not write to.
void CheckPictureTarget(const std::filesystem::path& file);

// Replaces `file` with `bytes` all at once through ReplaceFiles: a reader sees the old file or the
// whole new one, and a file the user may not write to is left alone. Throws FileWriteError.
void ReplacePictureFile(const std::filesystem::path& file, std::string_view bytes);

}  // namespace xscatter
