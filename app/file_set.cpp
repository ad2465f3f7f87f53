// SPDX-License-Identifier: MIT
#include "app/file_set.h"

#include <cstring>
#include <optional>

#include "model/errors.h"
#include "output/spectrum_files.h"

namespace xscatter {

FileSet PrimaryFileSet(const GridArray& primary) {
  return {{std::string(kPrimaryFileName), PrimarySpectrumText(primary)}};
}

FileSet ScatterFileSet(const GridArray& scattered_energy, const GridArray& incoherent,
                       const GridArray& coherent) {
  return {{std::string(kIncoherentFileName), IncoherentSpectrumText(scattered_energy, incoherent)},
          {std::string(kCoherentFileName), CoherentSpectrumText(coherent)}};
}

FileSet ScatterFileSet(const ScatterResult& scatter) {
  return ScatterFileSet(scatter.energy, scatter.incoherent, scatter.coherent);
}

FolderWriter::FolderWriter(std::filesystem::path folder, std::function<void()> on_wait)
    : folder_(std::move(folder)), lock_(folder_, std::move(on_wait)) {}

void FolderWriter::Write(const FileSet& files) const { ReplaceFiles(folder_, files); }

void WriteFileSet(const std::filesystem::path& folder, const FileSet& files,
                  std::function<void()> on_wait) {
  std::optional<FolderWriter> writer;
  try {
    writer.emplace(folder, std::move(on_wait));
  } catch (const FolderLockError& error) {
    // A folder that cannot even be opened is reported as the file that cannot be written there.
    if (files.empty()) throw;
    throw FileWriteError(kSpectrumFileKind, folder / files.front().first,
                         std::strerror(error.error_number));
  }
  writer->Write(files);
}

}  // namespace xscatter
