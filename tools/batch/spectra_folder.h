// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/unique_fd.h"
#include "output/folder_lock.h"
#include "output/replace_files.h"

namespace xscatter::batch {

// A failure of the --spectra-dir folder or of a run folder in it; what() says what and why.
class SpectraFolderError : public std::runtime_error {
 public:
  enum class Kind {
    EarlierSweep,  // the folder holds run folders and --overwrite was not given
    System,        // the system refused; reason says why
  };
  SpectraFolderError(Kind kind, std::filesystem::path folder, std::string reason,
                     const std::string& message)
      : std::runtime_error(message),
        kind(kind),
        folder(std::move(folder)),
        reason(std::move(reason)) {}
  Kind kind;
  std::filesystem::path folder;
  std::string reason;
};

// The folder of a sweep's run folders, locked while the sweep writes into it. Run N's folder is N
// zero-padded to one width for the whole sweep (at least four digits, more when the sweep has more
// runs), so the folders sort in run order. A run folder is made with mkdir and opened without
// following a symlink, so nothing planted under its name is written through.
class SpectraFolder {
 public:
  // Creates `folder` when it is missing and waits for its lock. A folder that holds run folders
  // (names of digits only) of an earlier sweep is refused, unless `overwrite`, which removes them
  // and their index.csv first. Throws SpectraFolderError and FolderLockError.
  SpectraFolder(const std::filesystem::path& folder, std::size_t run_count, bool overwrite,
                std::function<void()> on_wait);

  std::string RunName(int run) const;
  // Makes run `run`'s folder and writes the files into it; on failure no folder remains. The files
  // reach the disk with MakeDurable, which the sweep calls before it reports success. Throws
  // SpectraFolderError and FileWriteError.
  void WriteRun(int run, const FileSet& files);
  // Replaces index.csv beside the run folders.
  void WriteIndex(const std::string& text);
  // Brings every file and folder written to the disk at once. Throws SpectraFolderError.
  void MakeDurable() const;

 private:
  std::filesystem::path folder_;
  FolderLock lock_;
  UniqueFd fd_;
  int width_;
};

}  // namespace xscatter::batch
