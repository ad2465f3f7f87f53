// SPDX-License-Identifier: MIT
#include "output/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <system_error>
#include <thread>

namespace xscatter {
namespace {

namespace fs = std::filesystem;

constexpr auto kPatience = std::chrono::seconds(1);
constexpr auto kRetryInterval = std::chrono::milliseconds(20);

std::string LockFailure(const fs::path& folder, int error_number) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(folder, ec);
  return "作業フォルダ " + (ec ? folder : absolute.lexically_normal()).string() +
         " をロックできません（" + std::strerror(error_number) + "）。";
}

}  // namespace

FolderLockError::FolderLockError(fs::path folder, int error_number)
    : std::runtime_error(LockFailure(folder, error_number)),
      folder(std::move(folder)),
      error_number(error_number) {}

FolderLock::FolderLock(const fs::path& folder, std::function<void()> on_wait)
    : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
  if (fd_.get() < 0) throw FolderLockError(folder, errno);

  // Try without blocking for a second, so the caller can say why nothing happens; then block.
  const auto give_notice = std::chrono::steady_clock::now() + kPatience;
  for (;;) {
    if (::flock(fd_.get(), LOCK_EX | LOCK_NB) == 0) return;
    if (errno == EWOULDBLOCK) {
      if (std::chrono::steady_clock::now() >= give_notice) break;
      std::this_thread::sleep_for(kRetryInterval);
    } else if (errno != EINTR) {
      throw FolderLockError(folder, errno);
    }
  }
  if (on_wait) on_wait();
  while (::flock(fd_.get(), LOCK_EX) != 0) {
    if (errno != EINTR) throw FolderLockError(folder, errno);
  }
}

}  // namespace xscatter
