// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "app/entries.h"

namespace xscatter {
namespace {

// What an input method types is read as its ASCII form; the rest stays as the lenient reading
// sees it.
TEST(ReadBoxNumber, FullWidthNumberCharactersReadAsTheirAsciiForms) {
  const struct {
    const char* text;
    double value;
  } rows[] = {
      {"２", 2},
      {"１００", 100},
      {"９０", 90},
      {"1０0", 100},
      {"２．５", 2.5},
      {"－３", -3},
      {"＋５", 5},
      {"１Ｅ２", 100},
      {"２ｅ－１", 0.2},
      {"２　mm", 2},            // an ideographic space ends the number, as any other text
      {"１，５", 1},            // a full-width comma is no decimal point
      {"Ａ１", 0},              // full-width letters other than E are not part of a number
      {"ー３", 0},              // the prolonged sound mark is no minus
      {"\xEF\xBC", 0},          // a cut UTF-8 sequence
      {"\xEF\xBC\x92\xEF", 2},  // "２" then a cut sequence
      {"", 0},
      {"80.3kV", 80.3},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ReadBoxNumber(row.text), row.value) << row.text;
  }
}

TEST(CheckConditions, RefusesInTheCommandsOrder) {
  constexpr double nan = std::numeric_limits<double>::quiet_NaN();
  constexpr double inf = std::numeric_limits<double>::infinity();
  using enum Refusal;
  const struct {
    const char* name;
    ExposureConditions conditions;
    std::optional<Refusal> refusal;
  } rows[] = {
      {"defaults", {}, std::nullopt},
      {"lowest accepted", {40, 1, 1, 0, 0}, std::nullopt},
      {"highest accepted", {150, 89.999, 1e9, 1e9, 1e9}, std::nullopt},
      {"kV low", {39.999, 0, 0, -1, -1}, VoltageOutOfRange},
      {"kV high", {150.001, 12, 2.5, 0, 0}, VoltageOutOfRange},
      {"kV NaN", {nan, 12, 2.5, 0, 0}, VoltageOutOfRange},
      {"target below 1", {100, 0.999, 0, 0, 0}, TargetAngle},
      {"target NaN", {100, nan, 2.5, 0, 0}, TargetAngle},
      {"inherent before target 90", {100, 90, 0.5, 0, 0}, InherentFiltration},
      {"target 90", {100, 90, 2.5, -1, 0}, TargetAngle},
      {"target infinite", {100, inf, 2.5, 0, 0}, TargetAngle},
      {"aluminium negative", {100, 12, 2.5, -0.001, -1}, AddedAluminium},
      {"aluminium NaN", {100, 12, 2.5, nan, 0}, AddedAluminium},
      {"copper negative", {100, 12, 2.5, 0, -3}, AddedCopper},
      {"negative zero", {100, 12, 2.5, -0.0, -0.0}, std::nullopt},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(CheckConditions(row.conditions), row.refusal) << row.name;
  }
}

TEST(CheckScatterAngle, FiveToOneHundredSeventyFiveDegrees) {
  for (const double ok : {5.0, 90.0, 175.0}) EXPECT_EQ(CheckScatterAngle(ok), std::nullopt) << ok;
  for (const double refused : {4.999, 175.001, std::nan("")}) {
    EXPECT_EQ(CheckScatterAngle(refused), Refusal::ScatterAngleOutOfRange) << refused;
  }
  EXPECT_EQ(ScatterTheta(90), 1.570795);
}

TEST(Refusal, TextsAndTheBoxesTheyReset) {
  using enum Refusal;
  const struct {
    Refusal refusal;
    const char* text;
    std::optional<ConditionBox> box;
    const char* default_text;
  } rows[] = {
      {VoltageOutOfRange, "\u3000管電圧が範囲外 ", std::nullopt, ""},
      {TargetAngle, "\u3000ターゲット角度を再入力\u3000", ConditionBox::TargetAngle, "12"},
      {InherentFiltration, "\u3000固有ろ過を再入力\u3000", ConditionBox::InherentFiltration, "2.5"},
      {AddedAluminium, "\u3000アルミ付加フィルタを再入力\u3000", ConditionBox::AddedAluminium, "0"},
      {AddedCopper, "\u3000銅付加フィルタを再入力\u3000", ConditionBox::AddedCopper, "0"},
      {NotComputable, "\u3000この条件ではスペクトルを計算できません\u3000", std::nullopt, ""},
      {ScatterAngleOutOfRange, " 散乱角度が範囲外です ", std::nullopt, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(RefusalText(row.refusal), row.text);
    EXPECT_EQ(ConditionError(row.refusal).what(), std::string(row.text));
    EXPECT_EQ(BoxToReset(row.refusal), row.box);
    if (row.box) EXPECT_EQ(DefaultText(*row.box), row.default_text);
  }
}

TEST(ReadConditions, MissingBoxesReadTheirDefaults) {
  ConditionTexts texts = {{ConditionBox::TubeVoltage, "８０"}, {ConditionBox::AddedCopper, "0.1"}};
  const ExposureConditions c = ReadConditions(texts);
  EXPECT_EQ(c.kv, 80);
  EXPECT_EQ(c.target_angle_deg, 12);
  EXPECT_EQ(c.inherent_mm_al, 2.5);
  EXPECT_EQ(c.al_mm, 0);
  EXPECT_EQ(c.cu_mm, 0.1);
}

}  // namespace
}  // namespace xscatter
