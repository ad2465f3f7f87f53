// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <variant>

namespace xscatter {

// Why a file could not be read whole.
struct RegularFileFailure {
  enum class Kind {
    CannotOpen,      // error_number says why
    CannotRead,      // error_number says why
    IsFolder,        // the name is a folder
    NotRegularFile,  // a pipe, device or socket: never read, it could block or never end
    TooLarge,        // size bytes or more (at least max_bytes + 1)
  };
  Kind kind;
  int error_number = 0;
  std::int64_t size = 0;
};

// The whole content of `path` when it is a regular file of at most `max_bytes`. Opening never
// waits (a named pipe without a writer is refused, not waited for), and a file that grows past
// the limit while it is read is caught.
std::variant<std::string, RegularFileFailure> ReadRegularFile(const std::filesystem::path& path,
                                                              std::int64_t max_bytes);

}  // namespace xscatter
