// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "model/grid.h"
#include "model/scatter_models.h"
#include "output/folder_lock.h"
#include "output/replace_files.h"

namespace xscatter {

inline constexpr std::string_view kPrimaryFileName = "P_Spectrum.dat";
inline constexpr std::string_view kIncoherentFileName = "Inc_Spectrum.dat";
inline constexpr std::string_view kCoherentFileName = "Coh_Spectrum.dat";

// The files of one result, with their complete texts. A set is written whole or not at all.
// P_Spectrum.dat is a set of its own; the two scatter files belong to one result and form one set.
FileSet PrimaryFileSet(const GridArray& primary);
FileSet ScatterFileSet(const GridArray& scattered_energy, const GridArray& incoherent,
                       const GridArray& coherent);
FileSet ScatterFileSet(const ScatterResult& scatter);

// Writes file sets into a folder while holding the folder's lock, so a batch run, a Python
// script, the windows and the page's download folder never leave files of different runs in one
// folder. Hold one writer across the sets of a run that belong together.
class FolderWriter {
 public:
  // Waits for the lock (calling `on_wait` once when that takes more than a second). Throws
  // FolderLockError.
  explicit FolderWriter(std::filesystem::path folder, std::function<void()> on_wait = {});

  const std::filesystem::path& Folder() const { return folder_; }
  // Throws FileWriteError; see ReplaceFiles.
  void Write(const FileSet& files) const;

 private:
  std::filesystem::path folder_;
  FolderLock lock_;
};

// One set under the folder's lock, taken for this write only. A folder that cannot be opened
// fails as a FileWriteError of the set's first file; a lock that cannot be had as FolderLockError.
void WriteFileSet(const std::filesystem::path& folder, const FileSet& files,
                  std::function<void()> on_wait = {});

}  // namespace xscatter
