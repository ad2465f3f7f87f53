// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>

namespace xscatter::python {

// The shipped tables for a module file at `module_file`: the installation prefix's
// share/xscatter/Data (the module lies in <prefix>/lib/python3/dist-packages), or `source_data`
// when the module is the one in the build folder `build_module_dir`.
std::filesystem::path DefaultTableFolder(const std::filesystem::path& module_file,
                                         const std::filesystem::path& build_module_dir,
                                         const std::filesystem::path& source_data);

}  // namespace xscatter::python
