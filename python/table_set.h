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

// The data folder that `Tables(folder)` reads: `folder` itself when it holds Mus.dat, else its
// Data/ when that is a folder (a working folder as the program keeps it), else `folder`, so that
// the error names the folder that was given.
std::filesystem::path GivenTableFolder(const std::filesystem::path& folder);

}  // namespace xscatter::python
