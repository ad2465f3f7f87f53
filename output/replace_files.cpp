// SPDX-License-Identifier: MIT
#include "output/replace_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <random>
#include <string_view>
#include <system_error>

#include "model/errors.h"
#include "model/unique_fd.h"

namespace xscatter {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kNameCharacters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kRandomLength = 12;
constexpr int kCreateAttempts = 100;

// A failure of one file; ReplaceFiles turns it into the FileWriteError of that file.
struct Failure {
  std::string reason;
};

Failure SystemFailure(int error_number) { return {std::strerror(error_number)}; }

std::string TemporaryPrefix(const std::string& name) { return "." + name + "."; }

bool IsTemporaryOf(std::string_view entry, const std::string& name) {
  const std::string prefix = TemporaryPrefix(name);
  if (entry.size() != prefix.size() + kRandomLength || !entry.starts_with(prefix)) return false;
  return entry.substr(prefix.size()).find_first_not_of(kNameCharacters) == std::string_view::npos;
}

// True when `name` in `folder_fd` is still the file open as `fd`.
bool StillNamed(int folder_fd, const std::string& name, int fd) {
  struct stat named {
  }, opened{};
  return ::fstatat(folder_fd, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
         ::fstat(fd, &opened) == 0 && named.st_dev == opened.st_dev &&
         named.st_ino == opened.st_ino;
}

// Removes temporary files of `name` left by a write that was killed. A writer holds an exclusive
// lock on its temporary file until it is renamed, so one that can be locked is stale.
// Best effort: what cannot be removed is left for a later write.
void RemoveStaleTemporaries(int folder_fd, const std::string& name) {
  const int listing_fd = ::openat(folder_fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listing_fd < 0) return;
  const std::unique_ptr<DIR, int (*)(DIR*)> listing(::fdopendir(listing_fd), ::closedir);
  if (!listing) {
    ::close(listing_fd);
    return;
  }
  std::vector<std::string> stale;
  while (const dirent* entry = ::readdir(listing.get())) {
    if (IsTemporaryOf(entry->d_name, name)) stale.emplace_back(entry->d_name);
  }
  for (const std::string& entry : stale) {
    UniqueFd fd(::openat(folder_fd, entry.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (fd.get() < 0 || ::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode)) continue;
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) continue;  // its writer is alive
    if (StillNamed(folder_fd, entry, fd.get())) ::unlinkat(folder_fd, entry.c_str(), 0);
  }
}

// Refuses a target that must not be replaced: a folder, or a file the user may not write. A file
// without any write permission counts as read-only also for a user whom the system would let
// write it, as rm and editors treat it.
void CheckTarget(int folder_fd, const std::string& name) {
  struct stat status {};
  if (::fstatat(folder_fd, name.c_str(), &status, 0) != 0) {
    if (errno == ENOENT) return;
    throw SystemFailure(errno);
  }
  if (S_ISDIR(status.st_mode)) throw Failure{"同じ名前のフォルダがあります"};
  if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
    throw Failure{"読み取り専用のファイルです"};
  }
  if (::faccessat(folder_fd, name.c_str(), W_OK, AT_EACCESS) != 0) {
    if (errno == EACCES) throw Failure{"読み取り専用のファイルです"};
    throw SystemFailure(errno);
  }
}

// A hidden temporary file beside its target, locked while it exists, removed unless renamed.
class TemporaryFile {
 public:
  TemporaryFile(int folder_fd, std::string target) : folder_fd_(folder_fd), target_(target) {}
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (fd_.get() >= 0 && !renamed_) ::unlinkat(folder_fd_, name_.c_str(), 0);
  }

  // `shared`: other writers may clean up in the folder, so the file is locked against them.
  void Create(bool shared) {
    std::random_device random;
    std::uniform_int_distribution<std::size_t> pick(0, kNameCharacters.size() - 1);
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
      std::string name = TemporaryPrefix(target_);
      for (std::size_t i = 0; i < kRandomLength; ++i) name += kNameCharacters[pick(random)];
      const int fd = ::openat(folder_fd_, name.c_str(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
      if (fd < 0) {
        if (errno == EEXIST) continue;
        throw SystemFailure(errno);
      }
      name_ = std::move(name);
      fd_.Reset(fd);
      if (!shared) return;
      // Another writer's clean-up may have taken the new file for stale before the lock was
      // held; then it is gone or going, and a fresh name is tried.
      if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && StillNamed(folder_fd_, name_, fd)) return;
      ::unlinkat(folder_fd_, name_.c_str(), 0);
      fd_.Reset();
    }
    throw SystemFailure(EEXIST);
  }

  void Write(std::string_view content, bool durable) {
    while (!content.empty()) {
      const ssize_t written = ::write(fd_.get(), content.data(), content.size());
      if (written < 0) {
        if (errno == EINTR) continue;
        throw SystemFailure(errno);
      }
      if (written == 0) throw SystemFailure(EIO);  // no progress: never loop for ever
      content.remove_prefix(static_cast<std::size_t>(written));
    }
    if (durable && ::fsync(fd_.get()) != 0) throw SystemFailure(errno);
  }

  void Rename() {
    if (::renameat(folder_fd_, name_.c_str(), folder_fd_, target_.c_str()) != 0) {
      throw SystemFailure(errno);
    }
    renamed_ = true;
  }

 private:
  int folder_fd_;
  std::string target_;
  std::string name_;
  UniqueFd fd_;
  bool renamed_ = false;
};

}  // namespace

void ReplaceFiles(const fs::path& folder, const FileSet& name_and_content, std::string_view kind) {
  if (name_and_content.empty()) return;
  const UniqueFd folder_fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder_fd.get() < 0) {
    throw FileWriteError(kind, folder / name_and_content.front().first, std::strerror(errno));
  }
  ReplaceFilesAt(folder_fd.get(), folder, name_and_content, kind);
}

void ReplaceFilesAt(int folder_fd, const fs::path& folder, const FileSet& name_and_content,
                    std::string_view kind, WriteMode mode) {
  if (name_and_content.empty()) return;
  const bool durable = mode == WriteMode::Durable;
  const bool new_folder = mode == WriteMode::NewFolderSyncedLater;
  const std::string* current = &name_and_content.front().first;
  try {
    for (const auto& [name, content] : name_and_content) {
      current = &name;
      if (!new_folder) CheckTarget(folder_fd, name);
    }
    // Declared before the loops, so every temporary file that is not renamed is removed on the
    // way out, whichever step fails.
    std::vector<std::unique_ptr<TemporaryFile>> files;
    for (const auto& [name, content] : name_and_content) {
      current = &name;
      if (!new_folder) RemoveStaleTemporaries(folder_fd, name);
      files.push_back(std::make_unique<TemporaryFile>(folder_fd, name));
      files.back()->Create(!new_folder);
      files.back()->Write(content, durable);
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
      current = &name_and_content[i].first;
      files[i]->Rename();
    }
    // The renames themselves reach the disk with the folder; they have happened either way.
    if (durable) ::fsync(folder_fd);
  } catch (const Failure& failure) {
    throw FileWriteError(kind, folder / *current, failure.reason);
  } catch (const std::bad_alloc&) {
    throw FileWriteError(kind, folder / *current, "メモリが足りません");
  } catch (const std::exception& error) {
    throw FileWriteError(kind, folder / *current, error.what());
  }
}

}  // namespace xscatter
