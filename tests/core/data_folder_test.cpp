// SPDX-License-Identifier: MIT
#include "model/data_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>

#include "model/commands.h"
#include "tests/core/fixture.h"

namespace xscatter {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;
using testing::WriteFile;

// What stands at a Data path before the program starts.
enum class Found { kNothing, kTables, kEmptyFolder, kFile, kDanglingLink };

// Tables whose MuTarget is `mu` in every bin, so the loaded store tells which set it read.
void WriteTables(const fs::path& folder, int mu) {
  std::string mus;
  for (int k = 1; k <= 300; ++k) mus += "0," + std::to_string(mu) + ",3,4,5,6,7\n";
  WriteFile(folder / "Mus.dat", mus);
  for (const char* name : {"Water.csv", "Water.xfs"}) {
    WriteFile(folder / name, testing::TestTable(name));
  }
}

void Make(const fs::path& path, Found found, int mu) {
  switch (found) {
    case Found::kNothing:
      break;
    case Found::kTables:
      WriteTables(path, mu);
      break;
    case Found::kEmptyFolder:
      fs::create_directories(path);
      break;
    case Found::kFile:
      WriteFile(path, "not a folder\n");
      break;
    case Found::kDanglingLink:
      fs::create_directory_symlink(path.parent_path() / "gone", path);
      break;
  }
}

struct LookupCase {
  const char* name;
  Found local;      // <work>/Data
  Found installed;  // <root>/share/xscatter/Data
  bool knows_executable;
  bool uses_installed;
  const char* error;  // empty when the tables load
};

void PrintTo(const LookupCase& c, std::ostream* out) { *out << c.name; }

class TableLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(TableLookup, ChoosesTheFolderAndLoadsFromIt) {
  const LookupCase& c = GetParam();
  TempFolder root;
  const fs::path work = root.path / "work";
  const fs::path bin = root.path / "bin";
  fs::create_directories(work);
  fs::create_directories(bin);
  Make(work / "Data", c.local, 1);
  Make(root.path / "share" / "xscatter" / "Data", c.installed, 2);

  const fs::path chosen = ResolveDataFolder(work, c.knows_executable ? bin : fs::path());
  const fs::path expected =
      c.uses_installed ? root.path / "share" / "xscatter" / "Data" : work / "Data";
  EXPECT_EQ(chosen, expected);

  testing::FakePanel panel;
  Module1 m;
  m.AttachPanel(&panel);
  m.SetWorkingFolder(work);
  m.SetDataFolder(chosen);
  if (c.error[0] == '\0') {
    ASSERT_TRUE(RunLoadDataTables(m)) << ::testing::PrintToString(panel.errors);
    EXPECT_EQ(m.MuTarget[300], c.uses_installed ? 2 : 1);
  } else {
    ASSERT_FALSE(RunLoadDataTables(m));
    ASSERT_EQ(panel.errors.size(), 1u);
    const std::string& message = panel.errors[0];
    EXPECT_NE(message.find(c.error), std::string::npos) << message;
    EXPECT_NE(message.find("探したフォルダ: " + expected.string()), std::string::npos) << message;
  }
}

constexpr const char* kMissing = "Mus.dat を開けません（No such file or directory）";

INSTANTIATE_TEST_SUITE_P(
    DataFolder, TableLookup,
    ::testing::Values(
        LookupCase{"OwnTablesWinOverInstalled", Found::kTables, Found::kTables, true, false, ""},
        LookupCase{"NoDataUsesInstalled", Found::kNothing, Found::kTables, true, true, ""},
        LookupCase{"EmptyDataGivesItsError", Found::kEmptyFolder, Found::kTables, true, false,
                   kMissing},
        LookupCase{"DataFileGivesItsError", Found::kFile, Found::kTables, true, false,
                   "Mus.dat を開けません（Not a directory）"},
        LookupCase{"DanglingDataLinkGivesItsError", Found::kDanglingLink, Found::kTables, true,
                   false, kMissing},
        LookupCase{"NothingInstalledNamesOwnFolder", Found::kNothing, Found::kNothing, true, false,
                   kMissing},
        LookupCase{"InstalledDataFileIsIgnored", Found::kNothing, Found::kFile, true, false,
                   kMissing},
        LookupCase{"UnknownExecutableNamesOwnFolder", Found::kNothing, Found::kTables, false, false,
                   kMissing}),
    [](const ::testing::TestParamInfo<LookupCase>& info) { return info.param.name; });

TEST(DataFolder, InstalledTablesLieBesideTheProgramsShareFolder) {
  const struct {
    const char* executable_dir;
    const char* installed;
  } rows[] = {
      {"/usr/bin", "/usr/share/xscatter/Data"},
      {"/opt/xscatter/usr/bin", "/opt/xscatter/usr/share/xscatter/Data"},
      {"/home/u/unpacked/usr/bin/", "/home/u/unpacked/usr/share/xscatter/Data"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.executable_dir);
    EXPECT_EQ(InstalledDataFolder(row.executable_dir), fs::path(row.installed));
  }
}

TEST(DataFolder, StoreReadsWorkingFoldersDataUntilToldOtherwise) {
  Module1 m;
  EXPECT_EQ(m.DataFolder(), fs::path(".") / "Data");
  m.SetWorkingFolder("/tmp/w");
  EXPECT_EQ(m.DataFolder(), fs::path("/tmp/w/Data"));
  m.SetDataFolder("/usr/share/xscatter/Data");
  EXPECT_EQ(m.DataFolder(), fs::path("/usr/share/xscatter/Data"));
}

}  // namespace
}  // namespace xscatter
