// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <functional>
#include <stdexcept>

#include "model/unique_fd.h"

namespace xscatter {

// The folder could not be locked; what() names it (absolute) and the reason.
class FolderLockError : public std::runtime_error {
 public:
  FolderLockError(std::filesystem::path folder, int error_number);
  std::filesystem::path folder;
  int error_number;
};

// Holds an exclusive advisory lock on a working folder for its lifetime, so two writers (a batch
// run, a Python script, the windows) do not write the same spectrum files at once. The lock is
// taken on the folder itself, so no lock file appears in it; it ends with the process at the
// latest.
class FolderLock {
 public:
  // Waits as long as another holder keeps the folder; `on_wait` is called once when the lock is
  // not had within a second. Throws FolderLockError when the folder cannot be opened or locked.
  explicit FolderLock(const std::filesystem::path& folder, std::function<void()> on_wait = {});
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  UniqueFd fd_;
};

}  // namespace xscatter
