// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "model/air_table.h"
#include "model/errors.h"
#include "model/materials.h"
#include "model/table_messages.h"
#include "tests/support/files.h"

namespace xscatter {
namespace {

using testing::TempFolder;

// One record of Materials.csv: name, density, then mu/rho = scale * k at bin k.
std::string MaterialRecord(const std::string& name, const std::string& density, double scale) {
  std::string record = name + "," + density;
  for (int k = 1; k <= kLastBin; ++k) record += "," + std::to_string(scale * k);
  return record + "\n";
}

// The first line of the message `load` gives for `file` holding `text` (the second names the
// folder searched, as for every table); "" when the table loads.
template <typename Load>
std::string ErrorOf(const char* file, const std::string& text, Load load) {
  TempFolder folder;
  testing::WriteFile(folder.path / file, text);
  try {
    load(folder.path);
  } catch (const TableError& error) {
    const std::string message = DescribeTableError(error);
    return message.substr(0, message.find('\n'));
  }
  return "";
}

TEST(Materials, LoadsNamesDensitiesAndCoefficientsAndFindsThemInAnyCase) {
  TempFolder folder;
  testing::WriteFile(folder.path / "Materials.csv", std::string("\xEF\xBB\xBF") + "2\n" +
                                                        MaterialRecord("\"Be\"", "1.848", 0.5) +
                                                        MaterialRecord(" air ", "1.205E-03", 2));
  const std::vector<Material> materials = LoadMaterials(folder.path);
  ASSERT_EQ(materials.size(), 2u);
  const auto summary = [](const Material& m) {
    return std::tuple(m.name, m.density, m.mu_rho[1], m.mu_rho[300]);
  };
  EXPECT_EQ(summary(materials[0]), std::tuple("Be", 1.848, 0.5, 150.0));
  EXPECT_EQ(summary(materials[1]), std::tuple("air", 1.205E-03, 2.0, 600.0));
  for (const auto& [name, expected] : std::vector<std::pair<const char*, const Material*>>{
           {"bE", &materials[0]}, {"AIR", &materials[1]}, {"Be ", nullptr}, {"", nullptr}}) {
    EXPECT_EQ(FindMaterial(materials, name), expected) << "'" << name << "'";
  }
}

TEST(Materials, FilterLayerIsLinearAttenuationPerCentimetre) {
  // Values exact in binary, so the products are exact too.
  Material filter{"test", 2.5, {}};
  filter.mu_rho[1] = 10;
  filter.mu_rho[200] = 0.375;
  const FilterLayer layer = MakeFilterLayer(filter, 0.25);
  EXPECT_EQ(std::tuple(layer.thickness_cm, layer.mu_per_cm[1], layer.mu_per_cm[200]),
            std::tuple(0.025, 25.0, 0.9375));
}

TEST(AirTable, LoadsBothCoefficientsAndRefusesANegativeOne) {
  std::string text = "\xEF\xBB\xBF";  // mu_en/rho = 0.001 k and mu/rho = 0.002 k at bin k
  for (int k = 1; k <= kLastBin; ++k) {
    text += std::to_string(0.5 * k) + "," + std::to_string(0.001 * k) + "," +
            std::to_string(0.002 * k) + "\n";
  }
  TempFolder folder;
  testing::WriteFile(folder.path / "Air.csv", text);
  const AirTable air = LoadAirTable(folder.path);
  EXPECT_EQ(std::tuple(air.mu_en_rho[1], air.mu_rho[1], air.mu_en_rho[300], air.mu_rho[300]),
            std::tuple(0.001, 0.002, 0.3, 0.6));
  text.replace(text.find("0.006000"), 8, "-0.006");
  EXPECT_EQ(ErrorOf("Air.csv", text, LoadAirTable),
            "データテーブル Air.csv のレコード 3 のフィールド 3 が負の数です: \"-0.006\"");
}

// Record and field counts, reading numbers and opening the file are the table reader's and tested
// with the model's tables; here what only Materials.csv asks.
TEST(Materials, BrokenTablesAreRefused) {
  const std::string be = MaterialRecord("Be", "1.848", 0.5);
  std::string negative = MaterialRecord("Al", "2.699", 1);
  negative.replace(negative.find(",3.000000,"), 10, ",-3E-1,");
  const std::string count = "のレコード 1 が 1 から 100 までの材料の数ではありません: ";
  const std::string short_of = "が途中で終わっています: レコード ";
  const std::string density = "のレコード 2 のフィールド 2 が正の数ではありません: ";
  const struct {
    const char* name;
    std::string text;
    std::string message;  // after "データテーブル Materials.csv "
  } cases[] = {
      {"Empty", "",
       short_of + "1 のフィールド 1 がありません（1 個のフィールドが必要なところ 0 個）。"},
      {"Count0", "0\n" + be, count + "\"0\""},
      {"Count101", "101\n" + be, count + "\"101\""},
      {"CountNotWhole", "1.5\n" + be, count + "\"1.5\""},
      {"OneMaterialShort", "2\n" + be,
       short_of + "3 のフィールド 1 がありません（605 個のフィールドが必要なところ 303 個）。"},
      {"EmptyName", "2\n" + be + MaterialRecord("\"\"", "1", 1), "のレコード 3 の材料名が空です。"},
      {"SameNameInOtherCase", "2\n" + be + MaterialRecord("BE", "1", 1),
       "のレコード 3 の材料名 \"BE\" はレコード 2 "
       "の材料名と同じです（大文字と小文字は区別しません）。"},
      {"Density0", "1\n" + MaterialRecord("Be", "0", 1), density + "\"0\""},
      {"DensityNegative", "1\n" + MaterialRecord("Be", "-1.8", 1), density + "\"-1.8\""},
      {"NegativeCoefficient", "2\n" + be + negative,
       "のレコード 3 のフィールド 5 が負の数です: \"-3E-1\""},
      {"TextAfterTheLastRecord", "1\n" + be + "x,,", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ErrorOf("Materials.csv", c.text, LoadMaterials),
              c.message.empty() ? "" : "データテーブル Materials.csv " + c.message)
        << c.name;
  }
}

}  // namespace
}  // namespace xscatter
