#include "tests/core/core_fixture.h"

#include <cmath>
#include <fstream>
#include <random>
#include <sstream>

#include "model/commands.h"
#include "output/number_format.h"

namespace xscatter::testing {
namespace fs = std::filesystem;

TempFolder::TempFolder() {
  std::random_device random;
  path_ = fs::temp_directory_path() / ("xscatter-test-" + std::to_string(random()));
  fs::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ec;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(path_, ec);
}

namespace {

std::string Record(std::initializer_list<double> values) {
  std::string line;
  for (double v : values) {
    if (!line.empty()) line += ',';
    line += FormatScientific(v, 6);
  }
  return line + '\n';
}

}  // namespace

std::string TestMusText() {
  std::string text;
  for (int k = 1; k <= 300; ++k) {
    const double e = 0.5 * k;
    text += Record({e, 2000 * std::pow(e, -2.5) + 5, 30 * std::pow(e, -2.8) + 0.5,
                    900 * std::pow(e, -2.7) + 2, 1, 2, 3});
  }
  return text;
}

std::string TestWaterText() {
  std::string text;
  for (int k = 1; k <= 300; ++k) text += Record({0.5 * k, 0.1 * std::pow(0.5 * k, -0.5), 0.2});
  return text;
}

std::string TestXfsText() {
  std::string text;
  for (int r = 1; r <= 45; ++r) {
    const double x = 0.01 * std::pow(1.2, r - 1);
    text += Record({x, 8 / (1 + x * x), 10 * x / (1 + x)});
  }
  return text;
}

void WriteFile(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

void WriteTestTables(const fs::path& folder) {
  WriteFile(folder / "Data" / "Mus.dat", TestMusText());
  WriteFile(folder / "Data" / "Water.csv", TestWaterText());
  WriteFile(folder / "Data" / "Water.xfs", TestXfsText());
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

FakePanel::FakePanel()
    : boxes{{ConditionBox::TubeVoltage, std::string(kDefaultTubeVoltage)},
            {ConditionBox::TargetAngle, std::string(kDefaultTargetAngle)},
            {ConditionBox::InherentFiltration, std::string(kDefaultInherentFiltration)},
            {ConditionBox::AddedAluminium, std::string(kDefaultAddedAluminium)},
            {ConditionBox::AddedCopper, std::string(kDefaultAddedCopper)}} {}

LoadedStore::LoadedStore() {
  WriteTestTables(folder.Path());
  m.SetWorkingFolder(folder.Path());
  m.AttachPanel(&panel);
  m.LoadDataTables();
}

}  // namespace xscatter::testing
