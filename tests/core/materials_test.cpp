// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/air_table.h"
#include "model/errors.h"
#include "model/materials.h"
#include "model/table_messages.h"
#include "tests/core/fixture.h"

namespace xscatter {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

// One record of Materials.csv: name, density, then mu/rho = scale * k at bin k.
std::string MaterialRecord(const std::string& name, const std::string& density, double scale) {
  std::string record = name + "," + density;
  for (int k = 1; k <= kLastBin; ++k) record += "," + std::to_string(scale * k);
  return record + "\n";
}

std::string AirText() {
  std::string text;
  for (int k = 1; k <= kLastBin; ++k) {
    text += std::to_string(0.5 * k) + "," + std::to_string(0.001 * k) + "," +
            std::to_string(0.002 * k) + "\n";
  }
  return text;
}

// The message of the TableError that `load` throws for `file` holding `text`; empty when none.
template <typename Load>
std::string ErrorOf(const char* file, const std::string& text, Load load) {
  TempFolder folder;
  testing::WriteFile(folder.path / file, text);
  try {
    load(folder.path);
  } catch (const TableError& error) {
    const std::string message = DescribeTableError(error);
    const std::string note = "\n探したフォルダ: " + folder.path.string();
    EXPECT_EQ(message.substr(message.size() - std::min(message.size(), note.size())), note);
    return message.substr(0, message.size() - note.size());
  }
  return "";
}

TEST(Materials, LoadsNamesDensitiesAndCoefficients) {
  TempFolder folder;
  testing::WriteFile(folder.path / "Materials.csv",
                     "\xEF\xBB\xBF"
                     "2\n" +
                         MaterialRecord("\"Be\"", "1.848", 0.5) +
                         MaterialRecord(" air ", "1.205E-03", 2));
  const std::vector<Material> materials = LoadMaterials(folder.path);
  ASSERT_EQ(materials.size(), 2u);
  EXPECT_EQ(materials[0].name, "Be");
  EXPECT_EQ(materials[0].density, 1.848);
  EXPECT_EQ(materials[0].mu_rho[0], 0.0);
  EXPECT_EQ(materials[0].mu_rho[1], 0.5);
  EXPECT_EQ(materials[0].mu_rho[300], 150.0);
  EXPECT_EQ(materials[1].name, "air");
  EXPECT_EQ(materials[1].density, 1.205E-03);
  EXPECT_EQ(materials[1].mu_rho[7], 14.0);

  const struct {
    const char* name;
    const Material* expected;
  } lookups[] = {{"Be", &materials[0]}, {"bE", &materials[0]}, {"AIR", &materials[1]},
                 {"Be ", nullptr},      {"", nullptr},         {"beryllium", nullptr}};
  for (const auto& lookup : lookups) {
    SCOPED_TRACE(lookup.name);
    EXPECT_EQ(FindMaterial(materials, lookup.name), lookup.expected);
  }
}

TEST(Materials, FilterLayerIsLinearAttenuationPerCentimetre) {
  // Values exact in binary, so the products are exact too.
  Material filter{"test", 2.5, {}};
  filter.mu_rho[1] = 10;
  filter.mu_rho[200] = 0.375;
  const FilterLayer layer = MakeFilterLayer(filter, 0.25);
  EXPECT_EQ(layer.thickness_cm, 0.025);
  EXPECT_EQ(layer.mu_per_cm[0], 0.0);
  EXPECT_EQ(layer.mu_per_cm[1], 25.0);
  EXPECT_EQ(layer.mu_per_cm[200], 0.9375);
  EXPECT_EQ(layer.mu_per_cm[300], 0.0);
}

TEST(Materials, BrokenTablesAreRefused) {
  const std::string be = MaterialRecord("Be", "1.848", 0.5);
  std::string negative = MaterialRecord("Al", "2.699", 1);
  negative.replace(negative.find(",3.000000,"), 10, ",-3E-1,");
  const std::string table = "データテーブル Materials.csv ";
  const struct {
    const char* name;
    std::string text;
    std::string message;
  } cases[] = {
      {"empty", "",
       table + "が途中で終わっています: レコード 1 のフィールド 1 がありません（1 "
               "個のフィールドが必要なところ 0 個）。"},
      {"count 0", "0\n" + be,
       table + "のレコード 1 が 1 から 100 までの材料の数ではありません: \"0\""},
      {"count 101", "101\n" + be,
       table + "のレコード 1 が 1 から 100 までの材料の数ではありません: \"101\""},
      {"count 1.5", "1.5\n" + be,
       table + "のレコード 1 が 1 から 100 までの材料の数ではありません: \"1.5\""},
      {"count not a number", "two\n" + be,
       table + "のレコード 1 のフィールド 1 が数値ではありません: \"two\""},
      {"one material short", "2\n" + be,
       table + "が途中で終わっています: レコード 3 のフィールド 1 がありません（605 "
               "個のフィールドが必要なところ 303 個）。"},
      {"empty name", "2\n" + be + MaterialRecord("\"\"", "1", 1),
       table + "のレコード 3 の材料名が空です。"},
      {"same name in other case", "2\n" + be + MaterialRecord("BE", "1", 1),
       table + "のレコード 3 の材料名 \"BE\" はレコード 2 "
               "の材料名と同じです（大文字と小文字は区別しません）。"},
      {"density 0", "1\n" + MaterialRecord("Be", "0", 1),
       table + "のレコード 2 のフィールド 2 が正の数ではありません: \"0\""},
      {"density empty", "1\n" + MaterialRecord("Be", "", 1),
       table + "のレコード 2 のフィールド 2 が正の数ではありません: \"\""},
      {"density negative", "1\n" + MaterialRecord("Be", "-1.8", 1),
       table + "のレコード 2 のフィールド 2 が正の数ではありません: \"-1.8\""},
      {"negative coefficient", "2\n" + be + negative,
       table + "のレコード 3 のフィールド 5 が負の数です: \"-3E-1\""},
      {"text after the last record", "1\n" + MaterialRecord("Be", "1.8", 1) + "x,,", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ErrorOf("Materials.csv", c.text, LoadMaterials), c.message);
  }
  EXPECT_EQ(ErrorOf("other.csv", "", LoadMaterials),
            table + "を開けません（No such file or directory）。");
}

TEST(AirTable, LoadsBothCoefficients) {
  TempFolder folder;
  testing::WriteFile(folder.path / "Air.csv", "\xEF\xBB\xBF" + AirText());
  const AirTable air = LoadAirTable(folder.path);
  EXPECT_EQ(air.mu_en_rho[0], 0.0);
  EXPECT_EQ(air.mu_en_rho[1], 0.001);
  EXPECT_EQ(air.mu_rho[1], 0.002);
  EXPECT_EQ(air.mu_en_rho[300], 0.3);
  EXPECT_EQ(air.mu_rho[300], 0.6);
}

TEST(AirTable, BrokenTablesAreRefused) {
  const std::string air = AirText();
  std::string negative = air;
  negative.replace(negative.find("0.006000"), 8, "-0.006");
  std::string non_number = air;
  non_number.replace(non_number.find("0.002000"), 8, "2.0E-3x");
  const std::string table = "データテーブル Air.csv ";
  const struct {
    const char* name;
    std::string text;
    std::string message;
  } cases[] = {
      {"complete", air, ""},
      {"one record short", air.substr(0, air.rfind('\n', air.size() - 2) + 1),
       table + "が途中で終わっています: レコード 300 のフィールド 1 がありません（900 "
               "個のフィールドが必要なところ 897 個）。"},
      {"negative mu/rho", negative, table + "のレコード 3 のフィールド 3 が負の数です: \"-0.006\""},
      {"non-number", non_number,
       table + "のレコード 1 のフィールド 3 が数値ではありません: \"2.0E-3x\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ErrorOf("Air.csv", c.text, LoadAirTable), c.message);
  }
}

}  // namespace
}  // namespace xscatter
