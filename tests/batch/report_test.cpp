// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>

#include "tools/batch/report.h"

namespace xscatter::batch {
namespace {

TEST(ReportNumbers, ExactNumberReadsBackAndLeavesNonFiniteEmpty) {
  const std::pair<double, const char*> cases[] = {{0.1, "0.1"},
                                                  {-0.0, "0"},
                                                  {100, "100"},
                                                  {1.0 / 3, "0.3333333333333333"},
                                                  {2.5e-120, "2.5e-120"},
                                                  {std::nan(""), ""},
                                                  {std::numeric_limits<double>::infinity(), ""}};
  for (const auto& [value, text] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ExactNumber(value), text);
  }
}

TEST(ReportCsv, QuotesOnlyWhatRfc4180Needs) {
  const std::pair<const char*, const char*> cases[] = {
      {"ok", "ok"},
      {"a,b", "\"a,b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"two\nlines", "\"two\nlines\""},
      {" 散乱角度が範囲外です ", "\" 散乱角度が範囲外です \""},
      {"\u3000ターゲット角度を再入力\u3000", "\u3000ターゲット角度を再入力\u3000"}};
  for (const auto& [text, field] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(CsvField(text), field);
  }
}

TEST(ReportText, LabelsValuesAndUnitsLineUp) {
  RunRecord record;
  record.conditions = ExposureConditions{};
  PrimaryQuality quality;
  quality.bin_count = 200;
  quality.hvl1_mm_al = 3.63571852848387;
  record.primary = quality;
  std::ostringstream out;
  WriteText(out, {record}, false, false);
  const std::string text = out.str();
  EXPECT_NE(text.find("  tube voltage                                100  kV\n"), std::string::npos)
      << text;
  EXPECT_NE(text.find("  first half-value layer              3.635718528  mm Al\n"),
            std::string::npos);
  EXPECT_NE(text.find("  effective energy (Al)                         -  keV\n"),
            std::string::npos);
  EXPECT_EQ(text.find("Scattered"), std::string::npos);
}

}  // namespace
}  // namespace xscatter::batch
