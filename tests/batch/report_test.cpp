// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "tools/batch/report.h"

namespace xscatter::batch {
namespace {

// Shortest digits (where a printf of 17 digits gives 0.33333333333333331), exponents, no sign
// on a negative zero, and an empty field for a figure that could not be computed.
TEST(ReportNumbers, ExactNumberReadsBackAndLeavesNonFiniteEmpty) {
  const std::pair<double, const char*> cases[] = {{1.0 / 3, "0.3333333333333333"},
                                                  {2.5e-120, "2.5e-120"},
                                                  {-0.0, "0"},
                                                  {NAN, ""},
                                                  {HUGE_VAL, ""}};
  for (const auto& [value, text] : cases) {
    SCOPED_TRACE(value);
    EXPECT_EQ(ExactNumber(value), text);
  }
}

// Plain statuses and blank-led warnings are checked in the sweep's CSV report; U+3000 is no
// blank to quote.
TEST(ReportCsv, QuotesOnlyWhatRfc4180Needs) {
  const std::pair<const char*, const char*> cases[] = {
      {"a,b", "\"a,b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"two\nlines", "\"two\nlines\""},
      {"\u3000ターゲット角度を再入力\u3000", "\u3000ターゲット角度を再入力\u3000"}};
  for (const auto& [text, field] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(CsvField(text), field);
  }
}

TEST(ReportText, LabelsValuesAndUnitsLineUp) {
  RunRecord record;
  record.conditions = ExposureConditions{};
  record.primary.emplace().bin_count = 200;
  record.primary->hvl1_mm_al = 3.63571852848387;
  std::ostringstream out;
  WriteText(out, {record}, false, false);
  const std::string text = out.str();
  for (const char* line : {"  tube voltage                                100  kV\n",
                           "  first half-value layer              3.635718528  mm Al\n",
                           "  effective energy (Al)                         -  keV\n"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line << text;
  }
  EXPECT_EQ(text.find("Scattered"), std::string::npos);
}

}  // namespace
}  // namespace xscatter::batch
