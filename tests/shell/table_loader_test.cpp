// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "model/errors.h"
#include "model/table_messages.h"
#include "model/table_reader.h"
#include "tests/shell/fixture.h"

namespace xscatter {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;
using testing::TestTable;
using Make = std::function<void(const fs::path&)>;

Make Text(const std::string& text) {
  return [text](const fs::path& path) { testing::WriteFile(path, text); };
}

// Loads the test tables with `file` made by `make`; returns the error message, empty on success.
std::string LoadWith(Module1& m, const char* file, const Make& make) {
  TempFolder folder;
  testing::WriteTestTables(folder.path);
  const fs::path data = folder.path / "Data";
  fs::remove(data / file);
  make(data / file);
  m.SetWorkingFolder(folder.path);
  try {
    m.LoadDataTables();
  } catch (const TableError& error) {
    const std::string message = DescribeTableError(error);
    EXPECT_TRUE(message.ends_with("\n探したフォルダ: " + data.string())) << message;
    return message;
  }
  return "";
}

// Swaps line `line` (0-based) of a table with the next one.
std::string SwapWithNext(const std::string& text, int line) {
  std::size_t a = 0;
  for (int i = 0; i < line; ++i) a = text.find('\n', a) + 1;
  const std::size_t b = text.find('\n', a) + 1, end = text.find('\n', b) + 1;
  return text.substr(0, a) + text.substr(b, end - b) + text.substr(a, b - a) + text.substr(end);
}

std::string Repeat(const std::string& piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

TEST(LoadDataTables, CountsRecordsInFieldsNotLines) {
  std::string eight_fields;
  for (int line = 1; line <= 300; ++line) {
    const std::string n = std::to_string(line);
    eight_fields += n + ",1" + n + ",2" + n + ",3" + n + ",5,6,7,8\n";
  }
  Module1 m;
  ASSERT_EQ(LoadWith(m, "Mus.dat", Text(eight_fields)), "");
  // Record k starts k-1 fields into line k, so from record 2 on the columns slide.
  EXPECT_EQ(m.MuTarget[1], 11);
  EXPECT_EQ(m.MuTarget[2], 2);
  EXPECT_EQ(m.MuCu[3], 13);
}

TEST(LoadDataTables, EmptyFieldsReadZeroAndUnusedFieldsAnything) {
  Module1 m;
  ASSERT_EQ(LoadWith(m, "Mus.dat", Text(Repeat("whatever,1,,3,any text,\"q\",\n", 300))), "");
  EXPECT_EQ((std::vector{m.MuTarget[150], m.MuAl[150], m.MuCu[150]}),
            (std::vector<double>{1, 0, 3}));
}

// Every table that cannot be used is refused with a message naming what and where, and nothing
// of any table is kept; a pipe or device is refused at once instead of read for ever.
TEST(LoadDataTables, UnusableTablesAreRefusedWithNothingKept) {
  const std::string water = TestTable("Water.csv"), xfs = TestTable("Water.xfs");
  const std::string mus = TestTable("Mus.dat");
  const std::size_t field3 = mus.find(',', mus.find(',') + 1) + 1;
  const auto mus_field3 = [&](const std::string& field) {
    return Text(std::string(mus).replace(field3, mus.find(',', field3) - field3, field));
  };
  const std::string not_a_number =
      "データテーブル Mus.dat のレコード 1 のフィールド 3 が数値ではありません: ";
  std::string one_field_a_line = xfs;
  for (std::size_t pos = 0; (pos = one_field_a_line.find(',', pos)) != std::string::npos;) {
    one_field_a_line.replace(pos, 1, "\r\n");
  }
  std::string decimal_comma = xfs;  // "1,200000E-02" in record 2 shifts every later field
  decimal_comma[decimal_comma.find('.', decimal_comma.find('\n'))] = ',';
  const struct {
    const char* name;
    const char* file;
    Make make;
    std::string message;  // empty: loads the same numbers as the test tables
  } cases[] = {
      {"Water.csv short by one record", "Water.csv",
       Text(water.substr(0, water.rfind('\n', water.size() - 2) + 1)),
       "データテーブル Water.csv が途中で終わっています: レコード 300 のフィールド 1 がありません"
       "（900 個のフィールドが必要なところ 897 個）。\n"},
      // Row k of the test table holds x = 0.01 * 1.2^(k-1) in seven digits: 5.159780E-02 in row
      // 10, 6.191736E-02 in row 11; a decimal comma in row 2 leaves x = 1 there and moves
      // S(0.012) = 0.12/1.012 = 1.185771E-01 into the x of row 3.
      {"Water.xfs rows 10 and 11 swapped", "Water.xfs", Text(SwapWithNext(xfs, 9)),
       "データテーブル Water.xfs のレコード 11 のフィールド 1 の x が前のレコードの x "
       "\"0.06191736\" より大きくありません: \"0.0515978\"（x "
       "はレコードごとに増えなければなりません）\n"},
      {"Water.xfs last two rows swapped", "Water.xfs", Text(SwapWithNext(xfs, 43)),
       "Water.xfs のレコード 45 のフィールド 1 の x が前のレコードの x"},
      {"Water.xfs with a decimal comma", "Water.xfs", Text(decimal_comma),
       "Water.xfs のレコード 3 のフィールド 1 の x が前のレコードの x \"1\" より大きくありません: "
       "\"0.1185771\""},
      {"Water.xfs starting at x = 0", "Water.xfs", Text("0" + xfs.substr(xfs.find(','))),
       "データテーブル Water.xfs のレコード 1 のフィールド 1 が正の数ではありません: \"0\"\n"},
      {"byte-order mark", "Water.xfs", Text("\xEF\xBB\xBF" + xfs), ""},
      {"one field a line, CR LF, text after the last record", "Water.xfs",
       Text(one_field_a_line + "99,extra,\n"), ""},
      {"byte-order mark after the start", "Water.xfs", Text("\n\xEF\xBB\xBF" + xfs),
       "Water.xfs のレコード 1 のフィールド 1 が数値ではありません: "
       "\"\xEF\xBB\xBF"
       "1.000000E-02\"\n"},
      // A quoted field shows at most 40 characters, control and non-UTF-8 bytes escaped.
      {"4 MiB field", "Mus.dat", mus_field3("x" + std::string(4 * 1024 * 1024, 'y')),
       not_a_number + "\"x" + std::string(39, 'y') + "…\"\n"},
      {"control and non-UTF-8 bytes", "Mus.dat", mus_field3(std::string("1\0\x1b\x7f\xff", 5)),
       not_a_number + "\"1\\x00\\x1B\\x7F\\xFF\"\n"},
      {"41 Japanese characters", "Mus.dat", mus_field3(Repeat("値", 41)),
       not_a_number + "\"" + Repeat("値", 40) + "…\"\n"},
      {"exactly 40 characters", "Mus.dat", mus_field3(Repeat("x", 40)),
       not_a_number + "\"" + Repeat("x", 40) + "\"\n"},
      {"a cut UTF-8 sequence", "Mus.dat", mus_field3("ab\xE5\x80"),
       not_a_number + "\"ab\\xE5\\x80\"\n"},
      {"pipe", "Mus.dat", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); },
       "データテーブル Mus.dat を読めません（通常のファイルではありません）。\n"},
      {"link to /dev/zero", "Mus.dat",
       [](const fs::path& p) { fs::create_symlink("/dev/zero", p); },
       "Mus.dat を読めません（通常のファイルではありません）。"},
      {"folder", "Mus.dat", [](const fs::path& p) { fs::create_directory(p); },
       "Mus.dat を読めません（ファイルではなくフォルダです）。"},
      {"link to a table", "Mus.dat",
       [&](const fs::path& p) {
         testing::WriteFile(p.parent_path() / "elsewhere", mus);
         fs::create_symlink("elsewhere", p);
       },
       ""},
      {"exactly the size limit", "Mus.dat",
       Text(mus + std::string(kMaxTableBytes - mus.size(), ' ')), ""},
      {"one byte over the size limit", "Mus.dat",
       Text(mus + std::string(kMaxTableBytes + 1 - mus.size(), ' ')),
       "Mus.dat を読めません（大きすぎます: 上限は 16777216 バイトです）。"},
  };
  const testing::LoadedStore plain;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Module1 m;
    const std::string message = LoadWith(m, c.file, c.make);
    if (c.message.empty()) {
      EXPECT_EQ(message, "");
      EXPECT_TRUE(m.MuCu == plain.m.MuCu && m.ScatterX == plain.m.ScatterX &&
                  m.CoherentF == plain.m.CoherentF && m.IncoherentS == plain.m.IncoherentS);
    } else {
      EXPECT_NE(message.find(c.message), std::string::npos) << message;
      EXPECT_TRUE(m.Pi == 0 && m.MuTarget[1] == 0 && m.ScatterX[1] == 0);
    }
  }
}

TEST(TableReader, FailuresOutsideTheTableBecomeTableErrors) {
  const struct {
    const char* name;
    std::function<int()> read;
    TableFailure kind;
    const char* reason;
  } cases[] = {
      {"missing table",
       [] {
         const TableReader reader("/d", "Air.csv");
         return 0;
       },
       TableFailure::CannotOpen, "を開けません（No such file or directory）"},
      {"memory", []() -> int { throw std::bad_alloc(); }, TableFailure::OutOfMemory,
       "を読み込めません（メモリが足りません）"},
      {"other", []() -> int { throw std::length_error("too long"); }, TableFailure::Unexpected,
       "を読み込めません（too long）"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      GuardTableRead("/d", "Air.csv", c.read);
      ADD_FAILURE() << "nothing thrown";
    } catch (const TableError& error) {
      EXPECT_EQ(error.kind, c.kind);
      if (c.kind == TableFailure::CannotOpen) {
        EXPECT_STREQ(error.what(), "data table Air.csv cannot be opened");
      }
      EXPECT_EQ(DescribeTableError(error),
                std::string("データテーブル Air.csv ") + c.reason + "。\n探したフォルダ: /d");
    }
  }
}

}  // namespace
}  // namespace xscatter
