// SPDX-License-Identifier: MIT
#include "output/qt/picture_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "model/errors.h"
#include "output/replace_files.h"

namespace xscatter {
namespace {

namespace fs = std::filesystem;

[[noreturn]] void Fail(const fs::path& file, const std::string& reason) {
  throw FileWriteError(kPictureFileKind, file, reason);
}

}  // namespace

void CheckPictureTarget(const fs::path& file) {
  std::error_code ec;
  if (!file.has_filename() || file.filename() == "." || file.filename() == "..") {
    Fail(file, "ファイル名がありません");
  }
  if (fs::is_directory(file, ec)) Fail(file, "同じ名前のフォルダがあります");
  // Renaming would replace even a file the user made read-only.
  if (fs::exists(file, ec) && ::access(file.c_str(), W_OK) != 0) {
    Fail(file, std::strerror(errno));
  }
}

void ReplacePictureFile(const fs::path& file, std::string_view bytes) {
  CheckPictureTarget(file);
  ReplaceFiles(file.has_parent_path() ? file.parent_path() : fs::path("."),
               {{file.filename().string(), std::string(bytes)}}, kPictureFileKind);
}

}  // namespace xscatter
