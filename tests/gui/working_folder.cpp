#include "working_folder.h"

#include <cmath>
#include <fstream>

namespace xscatter::testing {
namespace {

void WriteMus(const std::filesystem::path& path) {
  std::ofstream out(path);
  for (int k = 1; k <= 300; ++k) {
    const double e = 0.5 * k;
    out << e << ',' << 2000 / std::pow(e, 2.5) + 0.1 << ',' << 300 / std::pow(e, 2.8) + 0.2 << ','
        << 4000 / std::pow(e, 2.7) + 0.5 << ",1,1,1\n";
  }
}

void WriteWater(const std::filesystem::path& path) {
  std::ofstream out(path);
  for (int k = 1; k <= 300; ++k) {
    const double e = 0.5 * k;
    out << e << ',' << 2 / std::pow(e, 1.8) + 0.001 << ',' << 0.2 - 0.0005 * e << '\n';
  }
}

// Rows from x = 0.02 to about 13.7 per angstrom, beyond what 5..175 degrees at 8..150 keV reach.
void WriteFormFactors(const std::filesystem::path& path) {
  std::ofstream out(path);
  for (int k = 1; k <= 45; ++k) {
    const double x = 0.02 * std::pow(1.16, k - 1);
    out << x << ',' << 10 / (1 + 4 * x * x) << ',' << 10 * x / (1 + x) << '\n';
  }
}

}  // namespace

WorkingFolder::WorkingFolder() {
  const std::filesystem::path data = Path() / "Data";
  std::filesystem::create_directory(data);
  WriteMus(data / "Mus.dat");
  WriteWater(data / "Water.csv");
  WriteFormFactors(data / "Water.xfs");
}

std::filesystem::path WorkingFolder::Path() const { return dir_.path().toStdString(); }

bool WorkingFolder::Exists(const char* file_name) const {
  return std::filesystem::exists(Path() / file_name);
}

}  // namespace xscatter::testing
