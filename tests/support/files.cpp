// SPDX-License-Identifier: MIT
#include "tests/support/files.h"

#include <locale.h>
#include <stdlib.h>
#include <unistd.h>

#include <cmath>
#include <fstream>
#include <random>
#include <sstream>

#include "output/number_format.h"

namespace xscatter::testing {
namespace fs = std::filesystem;

TempFolder::TempFolder()
    : path(fs::temp_directory_path() /
           ("xscatter-test-" + std::to_string(std::random_device()()))) {
  fs::create_directories(path);
}

TempFolder::~TempFolder() {
  std::error_code ec;
  fs::remove_all(path, ec);
}

bool GermanLocaleLoadable() {
  const auto loadable = [] {
    const locale_t german = newlocale(LC_ALL_MASK, "de_DE.UTF-8", static_cast<locale_t>(0));
    if (german == static_cast<locale_t>(0)) return false;
    freelocale(german);
    return true;
  };
  if (loadable()) return true;
  // The C library remembers a failed lookup in a folder, so the locale is made before the first.
  const fs::path folder = fs::temp_directory_path() / "xscatter-test-locales";
  std::error_code ec;
  if (!fs::exists(folder / "de_DE.UTF-8" / "LC_NUMERIC", ec)) {
    // Made aside and renamed into place, as another test program may be making it too.
    const fs::path made = folder / ("de_DE.UTF-8." + std::to_string(getpid()));
    fs::create_directories(folder, ec);
    const std::string command =
        "localedef -i de_DE -f UTF-8 '" + made.string() + "' >/dev/null 2>&1";
    const bool done = std::system(command.c_str()) == 0;
    if (done) fs::rename(made, folder / "de_DE.UTF-8", ec);
    fs::remove_all(made, ec);
    if (!done) return false;
  }
  setenv("LOCPATH", folder.c_str(), 1);
  return loadable();
}

std::string TestTable(const std::string& name) {
  std::string text;
  auto record = [&text](std::initializer_list<double> values) {
    for (double v : values) text += FormatScientific(v, 6) + ',';
    text.back() = '\n';
  };
  for (int k = 1; k <= (name == "Water.xfs" ? 45 : 300); ++k) {
    const double e = 0.5 * k, x = 0.01 * std::pow(1.2, k - 1);
    if (name == "Mus.dat") {
      record({e, 2000 * std::pow(e, -2.5) + 5, 30 * std::pow(e, -2.8) + 0.5,
              900 * std::pow(e, -2.7) + 2, 1, 2, 3});
    } else if (name == "Water.csv") {
      record({e, 0.1 * std::pow(e, -0.5), 0.2});
    } else {
      record({x, 8 / (1 + x * x), 10 * x / (1 + x)});
    }
  }
  return text;
}

void WriteFile(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

void WriteTestTables(const fs::path& folder) {
  for (const char* name : {"Mus.dat", "Water.csv", "Water.xfs"}) {
    WriteFile(folder / "Data" / name, TestTable(name));
  }
}

std::string ReadFile(const fs::path& path) {
  std::ostringstream out;
  out << std::ifstream(path, std::ios::binary).rdbuf();
  return out.str();
}

}  // namespace xscatter::testing
