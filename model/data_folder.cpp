// SPDX-License-Identifier: MIT
#include "model/data_folder.h"

#include <system_error>

namespace xscatter {

namespace fs = std::filesystem;

fs::path InstalledDataFolder(const fs::path& executable_dir) {
  return (executable_dir / ".." / "share" / "xscatter" / "Data").lexically_normal();
}

fs::path ResolveDataFolder(const fs::path& working_folder, const fs::path& executable_dir) {
  const fs::path local = working_folder / "Data";
  std::error_code ec;
  // A Data that cannot even be looked at (no permission on the working folder) counts as there.
  const fs::file_status local_status = fs::symlink_status(local, ec);
  if (local_status.type() != fs::file_type::not_found) return local;
  if (executable_dir.empty()) return local;
  const fs::path installed = InstalledDataFolder(executable_dir);
  if (!fs::is_directory(installed, ec)) return local;
  return installed;
}

fs::path ExecutableFolder() {
  std::error_code ec;
  const fs::path executable = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  return executable.parent_path();
}

}  // namespace xscatter
