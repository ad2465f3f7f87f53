// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>

namespace xscatter {

// Where the tables installed with the program lie, relative to the folder of its executable.
std::filesystem::path InstalledDataFolder(const std::filesystem::path& executable_dir);

// The folder to read the tables from. The working folder's Data wins whenever anything of that
// name is there, even a broken one, so that its own error is shown and never hidden behind other
// tables. Only when there is nothing of that name are the installed tables used, and only when
// they exist; otherwise the working folder's Data is returned, so the error names the folder the
// user is expected to fill.
std::filesystem::path ResolveDataFolder(const std::filesystem::path& working_folder,
                                        const std::filesystem::path& executable_dir);

// Folder of the running executable; empty when the system does not tell.
std::filesystem::path ExecutableFolder();

}  // namespace xscatter
