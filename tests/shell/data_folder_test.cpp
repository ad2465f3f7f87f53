// SPDX-License-Identifier: MIT
#include "model/data_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>

#include "model/commands.h"
#include "tests/shell/fixture.h"

namespace xscatter {
namespace {

namespace fs = std::filesystem;

// What stands at a Data path before the program starts.
enum class Found { kNothing, kTables, kEmptyFolder, kFile, kDanglingLink };

void Make(const fs::path& data, Found found) {
  if (found == Found::kTables) testing::WriteTestTables(data.parent_path());
  if (found == Found::kEmptyFolder) fs::create_directories(data);
  if (found == Found::kFile) testing::WriteFile(data, "not a folder\n");
  if (found == Found::kDanglingLink)
    fs::create_directory_symlink(data.parent_path() / "gone", data);
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

// The folder chosen is the one the tables load from, or the one the error names.
TEST_P(TableLookup, ChoosesTheFolderAndLoadsFromIt) {
  const LookupCase& c = GetParam();
  testing::TempFolder root;
  const fs::path work = root.path / "work", installed = root.path / "share" / "xscatter" / "Data";
  fs::create_directories(work);
  Make(work / "Data", c.local);
  Make(installed, c.installed);

  const fs::path chosen = ResolveDataFolder(work, c.knows_executable ? root.path / "bin" : "");
  EXPECT_EQ(chosen, c.uses_installed ? installed : work / "Data");

  testing::FakePanel panel;
  Module1 m;
  m.AttachPanel(&panel);
  m.SetDataFolder(chosen);
  EXPECT_EQ(RunLoadDataTables(m), c.error[0] == '\0');
  if (c.error[0] != '\0') {
    ASSERT_EQ(panel.errors.size(), 1u);
    EXPECT_NE(panel.errors[0].find(c.error), std::string::npos) << panel.errors[0];
    EXPECT_NE(panel.errors[0].find("探したフォルダ: " + chosen.string()), std::string::npos);
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
  EXPECT_EQ(InstalledDataFolder("/usr/bin"), fs::path("/usr/share/xscatter/Data"));
  // A trailing separator names the same folder.
  EXPECT_EQ(InstalledDataFolder("/home/u/unpacked/usr/bin/"),
            fs::path("/home/u/unpacked/usr/share/xscatter/Data"));
}

}  // namespace
}  // namespace xscatter
