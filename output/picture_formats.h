// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace xscatter {

// The picture formats a chart can be saved in, named by a file's extension.
enum class PictureFormat { Png, Svg };

// The format of `file` by its extension, case ignored (".png", ".svg"); none for any other.
inline std::optional<PictureFormat> PictureFormatOf(const std::filesystem::path& file) {
  std::string extension = file.extension().string();
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  if (extension == ".png") return PictureFormat::Png;
  if (extension == ".svg") return PictureFormat::Svg;
  return std::nullopt;
}

}  // namespace xscatter
