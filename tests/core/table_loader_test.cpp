#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "model/errors.h"
#include "tests/core/fixture.h"

namespace xscatter {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;
using testing::TestTable;

// Loads the test tables with one file replaced; returns the error message, empty on success.
std::string LoadWith(Module1& m, const char* file, const std::string& text) {
  TempFolder folder;
  testing::WriteTestTables(folder.path);
  testing::WriteFile(folder.path / "Data" / file, text);
  m.SetWorkingFolder(folder.path);
  try {
    m.LoadDataTables();
  } catch (const TableError& error) {
    const std::string message = error.what();
    EXPECT_NE(message.find((folder.path / "Data").string()), std::string::npos) << message;
    return message;
  }
  return "";
}

TEST(LoadDataTables, CountsRecordsInFieldsNotLines) {
  std::string eight_fields;
  for (int line = 1; line <= 300; ++line) {
    const std::string n = std::to_string(line);
    eight_fields += n + ",1" + n + ",2" + n + ",3" + n + ",5,6,7,8\n";
  }
  Module1 m;
  ASSERT_EQ(LoadWith(m, "Mus.dat", eight_fields), "");
  EXPECT_EQ(m.Pi, 3.14159);
  // Record k starts k-1 fields into line k, so from record 2 on the columns slide.
  EXPECT_EQ(m.MuTarget[1], 11);
  EXPECT_EQ(m.MuAl[1], 21);
  EXPECT_EQ(m.MuTarget[2], 2);
  EXPECT_EQ(m.MuTarget[3], 8);
  EXPECT_EQ(m.MuCu[3], 13);

  std::string two_lines = TestTable("Water.xfs");
  for (std::size_t pos = 0; (pos = two_lines.find(',', pos)) != std::string::npos;) {
    two_lines.replace(pos, 1, "\r\n");
  }
  Module1 split;
  ASSERT_EQ(LoadWith(split, "Water.xfs", two_lines + "99,extra,\n"), "");
  EXPECT_EQ(split.ScatterX, m.ScatterX);
  EXPECT_EQ(split.IncoherentS, m.IncoherentS);
  EXPECT_EQ(split.CoherentF[1], 7.9992);  // written as 7.999200E+00
  EXPECT_EQ(split.ScatterX[0], 0.0);
}

TEST(LoadDataTables, EmptyFieldsReadZeroAndUnusedFieldsAnything) {
  std::string mus;
  for (int k = 1; k <= 300; ++k) mus += "whatever,1,,3,any text,\"q\",\n";
  Module1 m;
  ASSERT_EQ(LoadWith(m, "Mus.dat", mus), "");
  EXPECT_EQ(m.MuTarget[150], 1);
  EXPECT_EQ(m.MuAl[150], 0);
  EXPECT_EQ(m.MuCu[150], 3);
}

TEST(LoadDataTables, BrokenTablesAreRefusedWithNothingKept) {
  const std::string water = TestTable("Water.csv");
  std::string mus = TestTable("Mus.dat");
  const std::size_t field2 = mus.find(',', mus.find('\n')) + 1;
  mus.replace(field2, mus.find(',', field2) - field2, "1.0E-2x");
  const struct {
    const char* file;
    std::string text;
    const char* message;
  } cases[] = {
      {"Water.csv", water.substr(0, water.rfind('\n', water.size() - 2) + 1),
       "Water.csv が途中で終わっています: レコード 300 のフィールド 1 がありません（900 "
       "個のフィールドが必要なところ 897 個）"},
      {"Water.xfs", "0.1,1,1\n", "Water.xfs が途中で終わっています: レコード 2 のフィールド 1"},
      {"Mus.dat", mus, "Mus.dat のレコード 2 のフィールド 2 が数値ではありません: \"1.0E-2x\""},
  };
  for (const auto& c : cases) {
    Module1 m;
    EXPECT_NE(LoadWith(m, c.file, c.text).find(c.message), std::string::npos) << c.message;
    EXPECT_EQ(m.Pi, 0.0);
    EXPECT_EQ(m.MuTarget[1], 0.0);
  }
}

TEST(LoadDataTables, MissingFileNamesTheReasonAndTheFolder) {
  TempFolder empty;
  Module1 m;
  m.SetWorkingFolder(empty.path);
  try {
    m.LoadDataTables();
    ADD_FAILURE() << "no error for a missing Data folder";
  } catch (const TableError& error) {
    const std::string message = error.what();
    EXPECT_NE(message.find("Mus.dat を開けません（No such file or directory）"), std::string::npos);
    EXPECT_NE(message.find((empty.path / "Data").string()), std::string::npos);
  }
}

}  // namespace
}  // namespace xscatter
