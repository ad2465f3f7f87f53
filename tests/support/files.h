// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>

namespace xscatter::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
struct TempFolder {
  TempFolder();
  ~TempFolder();
  std::filesystem::path path;
};

// Smooth synthetic tables with seven significant digits; reference/independent_model.py builds
// the reference files from the same text.
std::string TestTable(const std::string& name);
void WriteFile(const std::filesystem::path& path, const std::string& text);
void WriteTestTables(const std::filesystem::path& folder);
std::string ReadFile(const std::filesystem::path& path);

// Whether setlocale (here and in child processes) can load "de_DE.UTF-8", a locale with a
// decimal comma. Where the system has none, one is compiled with localedef into a folder under
// the temporary folder, kept for later runs, and named by LOCPATH.
bool GermanLocaleLoadable();

}  // namespace xscatter::testing
