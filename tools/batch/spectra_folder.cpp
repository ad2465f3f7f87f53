// SPDX-License-Identifier: MIT
#include "tools/batch/spectra_folder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

namespace xscatter::batch {
namespace {

namespace fs = std::filesystem;

constexpr const char* kIndexName = "index.csv";

int Digits(std::size_t count) {
  int digits = 1;
  for (; count >= 10; count /= 10) ++digits;
  return digits;
}

bool IsRunName(const std::string& name) {
  return !name.empty() &&
         std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

fs::path Created(const fs::path& folder) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) {
    throw SpectraFolderError(
        SpectraFolderError::Kind::System, folder, ec.message(),
        "cannot create the folder " + folder.string() + " (" + ec.message() + ")");
  }
  return folder;
}

// The run folders of an earlier sweep in `folder`: entries of digits that are folders themselves.
std::vector<std::string> RunFolders(const fs::path& folder) {
  std::vector<std::string> runs;
  std::error_code ec;
  for (fs::directory_iterator entry(folder, ec), end; !ec && entry != end; entry.increment(ec)) {
    const std::string name = entry->path().filename().string();
    std::error_code status_ec;
    if (IsRunName(name) && entry->symlink_status(status_ec).type() == fs::file_type::directory) {
      runs.push_back(name);
    }
  }
  if (ec) {
    throw SpectraFolderError(
        SpectraFolderError::Kind::System, folder, ec.message(),
        "cannot read the folder " + folder.string() + " (" + ec.message() + ")");
  }
  std::sort(runs.begin(), runs.end());
  return runs;
}

}  // namespace

SpectraFolder::SpectraFolder(const fs::path& folder, std::size_t run_count, bool overwrite,
                             std::function<void()> on_wait)
    : folder_(folder),
      lock_(Created(folder), std::move(on_wait)),
      fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)),
      width_(std::max(4, Digits(run_count))) {
  if (fd_.get() < 0) {
    const std::string reason = std::strerror(errno);
    throw SpectraFolderError(SpectraFolderError::Kind::System, folder, reason,
                             "cannot open the folder " + folder.string() + " (" + reason + ")");
  }
  const std::vector<std::string> stale = RunFolders(folder);
  if (stale.empty()) return;
  if (!overwrite) {
    throw SpectraFolderError(SpectraFolderError::Kind::EarlierSweep, folder, "",
                             folder.string() + " already holds the run folders of an earlier " +
                                 "sweep (" + stale.front() + (stale.size() > 1 ? " to " : "") +
                                 (stale.size() > 1 ? stale.back() : "") +
                                 "); --overwrite removes them first");
  }
  for (const std::string& name : stale) {
    std::error_code ec;
    fs::remove_all(folder / name, ec);  // removes a symlink inside, never what it points to
    if (ec) {
      throw SpectraFolderError(SpectraFolderError::Kind::System, folder / name, ec.message(),
                               "cannot remove the earlier run folder " + (folder / name).string() +
                                   " (" + ec.message() + ")");
    }
  }
  ::unlinkat(fd_.get(), kIndexName, 0);
}

std::string SpectraFolder::RunName(int run) const {
  char name[32];
  std::snprintf(name, sizeof name, "%0*d", width_, run);
  return name;
}

void SpectraFolder::WriteRun(int run, const FileSet& files) {
  const std::string name = RunName(run);
  const fs::path path = folder_ / name;
  const auto fail = [&](int error_number) {
    const std::string reason = std::strerror(error_number);
    return SpectraFolderError(SpectraFolderError::Kind::System, path, reason,
                              "cannot create the folder " + path.string() + " for run " +
                                  std::to_string(run) + " (" + reason + ")");
  };
  if (::mkdirat(fd_.get(), name.c_str(), 0777) != 0) throw fail(errno);
  const UniqueFd run_fd(
      ::openat(fd_.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (run_fd.get() < 0) {
    const int error_number = errno;
    ::unlinkat(fd_.get(), name.c_str(), AT_REMOVEDIR);
    throw fail(error_number);
  }
  // The run folder's own lock, as every writer takes the lock of the folder it writes into.
  ::flock(run_fd.get(), LOCK_EX);
  try {
    ReplaceFilesAt(run_fd.get(), path, files, kSpectrumFileKind, WriteMode::NewFolderSyncedLater);
  } catch (...) {
    ::unlinkat(fd_.get(), name.c_str(), AT_REMOVEDIR);  // empty: the files are all or none
    throw;
  }
}

void SpectraFolder::WriteIndex(const std::string& text) {
  ReplaceFilesAt(fd_.get(), folder_, {{kIndexName, text}}, "索引ファイル", WriteMode::SyncedLater);
}

void SpectraFolder::MakeDurable() const {
  // One flush of the file system holding the folder writes every file and folder of the sweep
  // (and reports a write-back failure of any of them), where a sync of each would wait for the
  // disk thousands of times.
  if (::syncfs(fd_.get()) != 0) {
    const std::string reason = std::strerror(errno);
    throw SpectraFolderError(SpectraFolderError::Kind::System, folder_, reason,
                             "cannot make " + folder_.string() + " durable (" + reason + ")");
  }
}

}  // namespace xscatter::batch
