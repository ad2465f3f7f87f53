// SPDX-License-Identifier: MIT
#include "tests/support/files.h"

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
