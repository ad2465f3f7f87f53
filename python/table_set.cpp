// SPDX-License-Identifier: MIT
#include "python/table_set.h"

#include <system_error>

namespace xscatter::python {
namespace {

namespace fs = std::filesystem;

bool SameFolder(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  return fs::equivalent(a, b, ec) && !ec;
}

}  // namespace

fs::path DefaultTableFolder(const fs::path& module_file, const fs::path& build_module_dir,
                            const fs::path& source_data) {
  std::error_code ec;
  fs::path module_dir = fs::absolute(module_file, ec).parent_path();
  if (ec) module_dir = module_file.parent_path();
  if (SameFolder(module_dir, build_module_dir)) return source_data;
  return (module_dir / ".." / ".." / ".." / "share" / "xscatter" / "Data").lexically_normal();
}

fs::path GivenTableFolder(const fs::path& folder) {
  std::error_code ec;
  if (fs::exists(folder / "Mus.dat", ec)) return folder;
  if (fs::is_directory(folder / "Data", ec)) return folder / "Data";
  return folder;
}

}  // namespace xscatter::python
