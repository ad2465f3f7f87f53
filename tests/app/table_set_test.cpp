// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "app/table_set.h"
#include "tests/support/files.h"

namespace xscatter {
namespace {

namespace fs = std::filesystem;

std::string AirTableText(double mu_en_rho) {
  std::string text;
  for (int i = 1; i <= kLastBin; ++i) {
    text += std::to_string(0.5 * i) + "," + std::to_string(mu_en_rho) + ",1\n";
  }
  return text;
}

// Restores the working folder at the end of a test.
struct WorkingFolder {
  WorkingFolder() : saved(fs::current_path()) {}
  ~WorkingFolder() { fs::current_path(saved); }
  fs::path saved;
};

// Tables named by a relative folder stay those tables after the working folder changes.
TEST(TableSet, ReadsEverythingFromTheAbsoluteFolderAtOnce) {
  const WorkingFolder restore;
  testing::TempFolder first, second;
  testing::WriteTestTables(first.path);
  testing::WriteFile(first.path / "Data" / "Air.csv", AirTableText(2));
  testing::WriteTestTables(second.path);
  testing::WriteFile(second.path / "Data" / "Air.csv", AirTableText(5));
  fs::current_path(first.path);
  const TableSet tables("Data");
  fs::current_path(second.path);
  EXPECT_EQ(tables.Folder(), first.path / "Data");
  EXPECT_EQ(tables.Air().mu_en_rho[10], 2);
}

TEST(TableSet, MissingFigureAndFilterTablesFailOnlyWhenAskedFor) {
  testing::TempFolder folder;
  testing::WriteTestTables(folder.path);
  const TableSet tables(folder.path / "Data");
  EXPECT_GT(tables.Physical().mu_al[10], 0);
  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      tables.Air();
      FAIL() << "no Air.csv, yet a table";
    } catch (const TableError& error) {
      EXPECT_EQ(error.file, "Air.csv");
      EXPECT_EQ(error.kind, TableFailure::CannotOpen);
    }
    EXPECT_THROW(tables.Materials(), TableError);
  }
  EXPECT_THROW(TableSet(folder.path / "nothing"), TableError);
}

}  // namespace
}  // namespace xscatter
