// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <filesystem>
#include <functional>
#include <string>

#include "model/commands.h"
#include "model/errors.h"
#include "model/physical_tables.h"
#include "model/table_messages.h"
#include "model/table_reader.h"
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
    const std::string message = DescribeTableError(error);
    EXPECT_NE(message.find("\n探したフォルダ: " + (folder.path / "Data").string()),
              std::string::npos)
        << message;
    return message;
  }
  return "";
}

// Swaps the lines `a` and `b` (0-based) of a table.
std::string SwapLines(const std::string& text, int a, int b) {
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start + 1));
    start = end + 1;
  }
  std::swap(lines[a], lines[b]);
  std::string swapped;
  for (const std::string& line : lines) swapped += line;
  return swapped;
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

TEST(LoadDataTables, ByteOrderMarkIsSkippedInEveryTable) {
  Module1 plain;
  ASSERT_EQ(LoadWith(plain, "Mus.dat", TestTable("Mus.dat")), "");
  for (const char* file : {"Mus.dat", "Water.csv", "Water.xfs"}) {
    SCOPED_TRACE(file);
    Module1 m;
    ASSERT_EQ(LoadWith(m, file, "\xEF\xBB\xBF" + TestTable(file)), "");
    EXPECT_EQ(m.MuTarget, plain.MuTarget);
    EXPECT_EQ(m.WaterCoherent, plain.WaterCoherent);
    EXPECT_EQ(m.ScatterX, plain.ScatterX);
  }
  // Only at the very start: elsewhere the mark is text like any other.
  Module1 m;
  EXPECT_NE(LoadWith(m, "Water.xfs", "\n\xEF\xBB\xBF" + TestTable("Water.xfs"))
                .find("Water.xfs のレコード 1 のフィールド 1 が数値ではありません"),
            std::string::npos);
}

TEST(LoadDataTables, BrokenTablesAreRefusedWithNothingKept) {
  const std::string water = TestTable("Water.csv");
  const std::string xfs = TestTable("Water.xfs");
  std::string mus = TestTable("Mus.dat");
  const std::size_t field2 = mus.find(',', mus.find('\n')) + 1;
  mus.replace(field2, mus.find(',', field2) - field2, "1.0E-2x");
  std::string decimal_comma = xfs;  // "1,200000E-02" in record 2 shifts every later field
  decimal_comma[decimal_comma.find('.', decimal_comma.find('\n'))] = ',';
  const struct {
    const char* name;
    const char* file;
    std::string text;
    const char* message;
  } cases[] = {
      {"Water.csv short by one record", "Water.csv",
       water.substr(0, water.rfind('\n', water.size() - 2) + 1),
       "データテーブル Water.csv が途中で終わっています: レコード 300 のフィールド 1 がありません"
       "（900 個のフィールドが必要なところ 897 個）。\n探したフォルダ: "},
      {"Water.xfs of one record", "Water.xfs", "0.1,1,1\n",
       "Water.xfs が途中で終わっています: レコード 2 のフィールド 1"},
      {"Mus.dat with a non-number", "Mus.dat", mus,
       "データテーブル Mus.dat のレコード 2 のフィールド 2 が数値ではありません: \"1.0E-2x\"\n"
       "探したフォルダ: "},
      // Row k of the test table holds x = 0.01 * 1.2^(k-1) in seven digits: 5.159780E-02 in row
      // 10, 6.191736E-02 in row 11; a decimal comma in row 2 leaves x = 1 there and moves
      // S(0.012) = 0.12/1.012 = 1.185771E-01 into the x of row 3.
      {"Water.xfs rows 10 and 11 swapped", "Water.xfs", SwapLines(xfs, 9, 10),
       "データテーブル Water.xfs のレコード 11 のフィールド 1 の x が前のレコードの x "
       "\"0.06191736\" より大きくありません: \"0.0515978\"（x "
       "はレコードごとに増えなければなりません）\n探したフォルダ: "},
      {"Water.xfs rows 44 and 45 swapped", "Water.xfs", SwapLines(xfs, 43, 44),
       "Water.xfs のレコード 45 のフィールド 1 の x が前のレコードの x"},
      {"Water.xfs with a decimal comma", "Water.xfs", decimal_comma,
       "Water.xfs のレコード 3 のフィールド 1 の x が前のレコードの x \"1\" より大きくありません: "
       "\"0.1185771\""},
      {"Water.xfs starting at x = 0", "Water.xfs", "0" + xfs.substr(xfs.find(',')),
       "データテーブル Water.xfs のレコード 1 のフィールド 1 が正の数ではありません: \"0\"\n"},
      {"Water.xfs with an empty first x", "Water.xfs", xfs.substr(xfs.find(',')),
       "Water.xfs のレコード 1 のフィールド 1 が正の数ではありません: \"0\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Module1 m;
    const std::string message = LoadWith(m, c.file, c.text);
    EXPECT_NE(message.find(c.message), std::string::npos) << message;
    EXPECT_EQ(m.Pi, 0.0);
    EXPECT_EQ(m.MuTarget[1], 0.0);
    EXPECT_EQ(m.ScatterX[1], 0.0);
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
    EXPECT_EQ(
        DescribeTableError(error),
        "データテーブル Mus.dat を開けません（No such file or directory）。\n探したフォルダ: " +
            (empty.path / "Data").string());
    EXPECT_EQ(error.kind, TableFailure::CannotOpen);
    EXPECT_STREQ(error.what(), "data table Mus.dat cannot be opened");
  }
}

TEST(LoadDataTables, DataFolderDefaultsToDataOfTheWorkingFolder) {
  Module1 m;
  EXPECT_EQ(m.DataFolder(), fs::path(".") / "Data");
  m.SetWorkingFolder("/work/x");
  EXPECT_EQ(m.DataFolder(), fs::path("/work/x/Data"));

  TempFolder folder;
  testing::WriteTestTables(folder.path);
  m.SetDataFolder(folder.path / "Data");  // the working folder itself holds no tables
  m.LoadDataTables();
  EXPECT_EQ(m.Pi, 3.14159);
  EXPECT_EQ(m.ScatterX[1], 0.01);
}

// Files that are not tables at all must be refused at once: reading a pipe would wait for a
// writer, a device could deliver bytes for ever.
TEST(LoadDataTables, OnlyRegularFilesUpToTheSizeLimitAreRead) {
  const std::string mus = TestTable("Mus.dat");
  const struct {
    const char* name;
    std::function<void(const fs::path&)> make;  // makes Data/Mus.dat
    const char* message;                        // empty: loads
  } cases[] = {
      {"pipe", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); },
       "Mus.dat を読めません（通常のファイルではありません）。\n探したフォルダ: "},
      {"link to /dev/zero", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); },
       "Mus.dat を読めません（通常のファイルではありません）。"},
      {"folder", [](const fs::path& p) { fs::create_directory(p); },
       "Mus.dat を読めません（ファイルではなくフォルダです）。"},
      {"link to a table",
       [&](const fs::path& p) {
         testing::WriteFile(p.parent_path() / "elsewhere", mus);
         fs::create_symlink("elsewhere", p);
       },
       ""},
      {"exactly the limit",
       [&](const fs::path& p) {
         testing::WriteFile(p, mus + std::string(kMaxTableBytes - mus.size(), ' '));
       },
       ""},
      {"one byte over the limit",
       [&](const fs::path& p) {
         testing::WriteFile(p, mus + std::string(kMaxTableBytes + 1 - mus.size(), ' '));
       },
       "Mus.dat を読めません（大きすぎます: 上限は 16777216 バイトです）。"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    testing::WriteTestTables(folder.path);
    fs::remove(folder.path / "Data" / "Mus.dat");
    c.make(folder.path / "Data" / "Mus.dat");
    testing::FakePanel panel;
    Module1 m;
    m.SetWorkingFolder(folder.path);
    m.AttachPanel(&panel);
    EXPECT_EQ(RunLoadDataTables(m), *c.message == '\0');
    if (*c.message == '\0') {
      EXPECT_TRUE(panel.errors.empty());
      EXPECT_EQ(m.Pi, 3.14159);
    } else {
      ASSERT_EQ(panel.errors.size(), 1u);
      EXPECT_NE(panel.errors[0].find(c.message), std::string::npos) << panel.errors[0];
      EXPECT_EQ(m.Pi, 0.0);
    }
  }
}

std::string Repeat(const std::string& piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

TEST(LoadDataTables, HugeOrBinaryFieldsAreQuotedShortAndEscaped) {
  std::string mus = TestTable("Mus.dat");
  const std::size_t field3 = mus.find(',', mus.find(',') + 1) + 1;
  const std::string huge = "x" + std::string(4 * 1024 * 1024, 'y');
  const std::string binary("1\0\x1b\x7f\xff", 5);
  const struct {
    const char* name;
    std::string field;
    std::string quoted;
  } cases[] = {
      {"4 MiB field", huge, "\"x" + std::string(39, 'y') + "…\""},
      {"control and non-UTF-8 bytes", binary, "\"1\\x00\\x1B\\x7F\\xFF\""},
      {"41 Japanese characters", Repeat("値", 41), "\"" + Repeat("値", 40) + "…\""},
      {"exactly 40 characters", Repeat("x", 40), "\"" + Repeat("x", 40) + "\""},
      {"a cut UTF-8 sequence", "ab\xE5\x80", "\"ab\\xE5\\x80\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string text = mus;
    text.replace(field3, mus.find(',', field3) - field3, c.field);
    Module1 m;
    const std::string message = LoadWith(m, "Mus.dat", text);
    EXPECT_EQ(
        message.substr(0, message.find('\n')),
        "データテーブル Mus.dat のレコード 1 のフィールド 3 が数値ではありません: " + c.quoted);
  }
}

TEST(TableReader, FailuresOutsideTheTableBecomeTableErrors) {
  const struct {
    const char* name;
    std::function<int()> read;
    TableFailure kind;
    const char* message;
  } cases[] = {
      {"memory", []() -> int { throw std::bad_alloc(); }, TableFailure::OutOfMemory,
       "データテーブル Air.csv を読み込めません（メモリが足りません）。\n探したフォルダ: /d"},
      {"other", []() -> int { throw std::length_error("too long"); }, TableFailure::Unexpected,
       "データテーブル Air.csv を読み込めません（too long）。\n探したフォルダ: /d"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      GuardTableRead("/d", "Air.csv", c.read);
      ADD_FAILURE() << "nothing thrown";
    } catch (const TableError& error) {
      EXPECT_EQ(error.kind, c.kind);
      EXPECT_EQ(DescribeTableError(error), c.message);
    }
  }
}

}  // namespace
}  // namespace xscatter
