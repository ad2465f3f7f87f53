// SPDX-License-Identifier: MIT
#include "model/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "model/unique_fd.h"

namespace xscatter {

std::variant<std::string, RegularFileFailure> ReadRegularFile(const std::filesystem::path& path,
                                                              std::int64_t max_bytes) {
  using Kind = RegularFileFailure::Kind;
  // O_NONBLOCK: opening a pipe without a writer must not wait.
  const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (fd.get() < 0) return RegularFileFailure{Kind::CannotOpen, errno};
  struct stat status {};
  if (::fstat(fd.get(), &status) != 0) return RegularFileFailure{Kind::CannotRead, errno};
  if (S_ISDIR(status.st_mode)) return RegularFileFailure{Kind::IsFolder};
  if (!S_ISREG(status.st_mode)) return RegularFileFailure{Kind::NotRegularFile};
  if (status.st_size > max_bytes) return RegularFileFailure{Kind::TooLarge, 0, status.st_size};

  // The file may grow while it is read: read one byte beyond the limit to notice.
  const auto limit = static_cast<std::size_t>(max_bytes) + 1;
  std::string text(std::min(static_cast<std::size_t>(status.st_size) + 1, limit), '\0');
  std::size_t size = 0;
  for (;;) {
    if (size == text.size()) {
      if (text.size() >= limit) {
        return RegularFileFailure{Kind::TooLarge, 0, static_cast<std::int64_t>(text.size())};
      }
      text.resize(std::min(2 * text.size(), limit));
    }
    const ssize_t got = ::read(fd.get(), text.data() + size, text.size() - size);
    if (got < 0) {
      if (errno == EINTR) continue;
      return RegularFileFailure{Kind::CannotRead, errno};
    }
    if (got == 0) break;
    size += static_cast<std::size_t>(got);
  }
  text.resize(size);
  return text;
}

}  // namespace xscatter
