// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace xscatter::batch {

// The SHA-256 digest (FIPS 180-4) of `bytes` as 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::string_view bytes);

// The digest of a file's bytes; nothing when the file cannot be read.
std::optional<std::string> FileSha256Hex(const std::filesystem::path& file);

}  // namespace xscatter::batch
