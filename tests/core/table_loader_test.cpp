#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "model/errors.h"
#include "model/state.h"
#include "tests/core/core_fixture.h"

namespace xscatter {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;
using testing::WriteFile;

// Loads a folder holding the given table texts and returns the error message, empty on success.
std::string LoadError(Module1& m, const TempFolder& folder) {
  m.SetWorkingFolder(folder.Path());
  try {
    m.LoadDataTables();
  } catch (const TableError& error) {
    return error.what();
  }
  return "";
}

TEST(LoadDataTables, FillsTheTablesAndPi) {
  testing::LoadedStore s;
  EXPECT_EQ(s.m.Pi, 3.14159);
  // Mus.dat record k: E, W, Al, Cu; Water.csv: E, coherent, incoherent; Water.xfs: x, F, S.
  EXPECT_DOUBLE_EQ(s.m.MuTarget[200], 2000 * std::pow(100.0, -2.5) + 5);
  EXPECT_EQ(s.m.MuAl[1], 209.4321);  // written as 2.094321E+02
  EXPECT_NEAR(s.m.MuCu[300], 900 * std::pow(150.0, -2.7) + 2, 1e-6);
  EXPECT_NEAR(s.m.WaterCoherent[4], 0.1 * std::pow(2.0, -0.5), 1e-7);
  EXPECT_EQ(s.m.WaterIncoherent[300], 0.2);
  EXPECT_EQ(s.m.ScatterX[1], 0.01);
  EXPECT_NEAR(s.m.ScatterX[45], 0.01 * std::pow(1.2, 44), 1e-5);
  EXPECT_EQ(s.m.CoherentF[1], 7.9992);
  EXPECT_EQ(s.m.MuTarget[0], 0.0);
  EXPECT_EQ(s.m.ScatterX[0], 0.0);
}

TEST(LoadDataTables, EightFieldLinesShiftTheRecords) {
  TempFolder folder;
  testing::WriteTestTables(folder.Path());
  std::string mus;
  for (int line = 1; line <= 300; ++line) {
    mus += std::to_string(line) + ",1" + std::to_string(line) + ",2" + std::to_string(line) + ",3" +
           std::to_string(line) + ",5,6,7,8\n";
  }
  WriteFile(folder.Path() / "Data" / "Mus.dat", mus);
  Module1 m;
  ASSERT_EQ(LoadError(m, folder), "");
  // Record k starts k-1 fields into line k, so from record 2 on the columns slide.
  EXPECT_EQ(m.MuTarget[1], 11);
  EXPECT_EQ(m.MuAl[1], 21);
  EXPECT_EQ(m.MuTarget[2], 2);  // line 2, field 1
  EXPECT_EQ(m.MuAl[2], 12);     // line 2, field 2
  EXPECT_EQ(m.MuTarget[3], 8);  // line 2, field 8
  EXPECT_EQ(m.MuCu[3], 13);     // line 3, field 2
}

TEST(LoadDataTables, RecordsOverTwoLinesReadAsOnOne) {
  TempFolder one_line, two_lines;
  testing::WriteTestTables(one_line.Path());
  testing::WriteTestTables(two_lines.Path());
  std::string split = testing::TestXfsText();
  for (std::size_t pos = 0; (pos = split.find(',', pos)) != std::string::npos; pos += 2) {
    split.replace(pos, 1, "\r\n");
  }
  WriteFile(two_lines.Path() / "Data" / "Water.xfs", split);
  Module1 a, b;
  ASSERT_EQ(LoadError(a, one_line), "");
  ASSERT_EQ(LoadError(b, two_lines), "");
  EXPECT_EQ(a.ScatterX, b.ScatterX);
  EXPECT_EQ(a.CoherentF, b.CoherentF);
  EXPECT_EQ(a.IncoherentS, b.IncoherentS);
}

TEST(LoadDataTables, EmptyAndUnusedFieldsAreAccepted) {
  TempFolder folder;
  testing::WriteTestTables(folder.Path());
  std::string mus;
  for (int k = 1; k <= 300; ++k) mus += "whatever,1,,3,any text,\"q\",\n";
  WriteFile(folder.Path() / "Data" / "Mus.dat", mus);
  Module1 m;
  ASSERT_EQ(LoadError(m, folder), "");
  EXPECT_EQ(m.MuTarget[150], 1);
  EXPECT_EQ(m.MuAl[150], 0);
  EXPECT_EQ(m.MuCu[150], 3);
}

TEST(LoadDataTables, BrokenTablesAreRefusedWithNothingKept) {
  const struct {
    const char* file;
    std::string text;
    std::vector<std::string> message_parts;
  } cases[] = {
      {"Water.csv",
       [] {
         std::string t = testing::TestWaterText();
         return t.substr(0, t.rfind('\n', t.size() - 2) + 1);  // 299 records
       }(),
       {"Water.csv", "レコード 300 のフィールド 1", "900", "897"}},
      {"Water.xfs", "0.1,1,1\n", {"Water.xfs", "レコード 2 のフィールド 1"}},
      {"Mus.dat", "", {"Mus.dat", "レコード 1 のフィールド 1", "2100"}},
      {"Mus.dat",
       [] {
         std::string t = testing::TestMusText();
         const std::size_t line = t.find('\n') + 1;
         const std::size_t field2 = t.find(',', line) + 1;
         return t.replace(field2, t.find(',', field2) - field2, "1.0E-2x");
       }(),
       {"Mus.dat", "レコード 2 のフィールド 2", "\"1.0E-2x\""}},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    testing::WriteTestTables(folder.Path());
    WriteFile(folder.Path() / "Data" / c.file, c.text);
    Module1 m;
    const std::string message = LoadError(m, folder);
    for (const std::string& part : c.message_parts) {
      EXPECT_NE(message.find(part), std::string::npos) << c.file << ": " << message;
    }
    EXPECT_NE(message.find((folder.Path() / "Data").string()), std::string::npos) << message;
    EXPECT_EQ(m.Pi, 0.0);
    EXPECT_EQ(m.MuTarget[1], 0.0);
    EXPECT_EQ(m.ScatterX[1], 0.0);
  }
}

TEST(LoadDataTables, MissingFolderOrFileNamesWhatAndWhere) {
  TempFolder empty;
  Module1 m;
  std::string message = LoadError(m, empty);
  EXPECT_NE(message.find("Mus.dat"), std::string::npos);
  EXPECT_NE(message.find("No such file or directory"), std::string::npos) << message;
  EXPECT_NE(message.find((empty.Path() / "Data").string()), std::string::npos);

  TempFolder folder;
  testing::WriteTestTables(folder.Path());
  fs::remove(folder.Path() / "Data" / "Water.xfs");
  fs::create_directory(folder.Path() / "Data" / "Water.xfs");
  message = LoadError(m, folder);
  EXPECT_NE(message.find("Water.xfs"), std::string::npos) << message;
  EXPECT_EQ(m.Pi, 0.0);
}

TEST(LoadDataTables, ExtraRecordsAreIgnored) {
  TempFolder folder;
  testing::WriteTestTables(folder.Path());
  WriteFile(folder.Path() / "Data" / "Water.xfs", testing::TestXfsText() + "99,oops,\n");
  Module1 m;
  EXPECT_EQ(LoadError(m, folder), "");
}

}  // namespace
}  // namespace xscatter
