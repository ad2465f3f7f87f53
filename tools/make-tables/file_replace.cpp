// SPDX-License-Identifier: MIT
#include "file_replace.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace xscatter::tables {
namespace {

[[noreturn]] void Fail(const std::filesystem::path& target, int error) {
  throw FileWriteError("cannot write " + target.string() + ": " + std::strerror(error));
}

bool WriteAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t written = ::write(fd, content.data(), content.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    content.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

void ReplaceFile(const std::filesystem::path& target, std::string_view content) {
  // mkstemp opens with O_EXCL, so the temporary file is never one that already existed.
  std::string temporary =
      (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) Fail(target, errno);

  // mkstemp creates the file for its owner only; a table is for everyone to read.
  const bool written = ::fchmod(fd, 0644) == 0 && WriteAll(fd, content);
  const int write_error = errno;
  const bool closed = ::close(fd) == 0;
  const int close_error = errno;
  if (!written || !closed) {
    ::unlink(temporary.c_str());
    Fail(target, written ? close_error : write_error);
  }
  if (std::rename(temporary.c_str(), target.c_str()) != 0) {
    const int rename_error = errno;
    ::unlink(temporary.c_str());
    Fail(target, rename_error);
  }
}

}  // namespace xscatter::tables
