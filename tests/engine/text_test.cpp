// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "model/decimal_number.h"
#include "model/field_reader.h"
#include "model/lenient_number.h"
#include "output/number_format.h"

namespace xscatter {
namespace {

// Box texts read as the longest leading decimal number once blanks are dropped: the length of
// that number in the text as given, and the value read.
TEST(LenientNumber, ReadsTheLongestLeadingNumberAndIgnoresTheRest) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::tuple<const char*, std::size_t, double> cases[] = {
      {"", 0, 0},        {"+", 0, 0},           {"-", 0, 0},
      {".", 0, 0},       {"-.e5", 0, 0},        {"E5", 0, 0},
      {"abc", 0, 0},     {".5", 2, 0.5},        {"-.5", 3, -0.5},
      {"5.", 2, 5},      {"1.2.3", 3, 1.2},     {"1E", 1, 1},
      {"1e+", 1, 1},     {"1E-0x", 4, 1},       {"+12.5e10", 8, 1.25e11},
      {"0x1p3", 1, 0},   {"1,5", 1, 1},         {"1d2", 1, 1},
      {"100kV", 3, 100}, {"2.5E-1mm", 6, 0.25}, {"1 2", 1, 12},
      {"1 e 2", 1, 100}, {" 1 0 0 ", 0, 100},   {"\t12\n", 0, 12},
      {"1E-999", 6, 0},  {"1E999", 5, inf},     {"１００", 0, 0}};
  for (const auto& [text, length, value] : cases) {
    SCOPED_TRACE(std::string("'") + text + "'");
    EXPECT_EQ(DecimalNumberLength(text), length);
    EXPECT_DOUBLE_EQ(LenientNumber(text), value);
  }
}

TEST(FieldReader, SplitsAtCommasAndLineEndsAlike) {
  using Fields = std::vector<std::string>;
  const std::pair<const char*, Fields> cases[] = {
      {"1,2,3\r\n4,5\n6", {"1", "2", "3", "4", "5", "6"}},
      {"1,2\r3,4,5,6", {"1", "2", "3", "4", "5", "6"}},
      {"  1 ,\t2 ,,3  \n", {"1", "2", "", "3"}},
      {"1,2,\n3\n\n\n4", {"1", "2", "", "3", "4"}},
      {"\"1.5\",\"a, b\" ,\"x\"junk,3\n", {"1.5", "a, b", "x", "3"}},
      {"\n\n", {}},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    FieldReader reader(text);
    Fields fields;
    while (auto field = reader.Next()) fields.push_back(*field);
    EXPECT_EQ(fields, expected);
  }
}

TEST(ParseTableNumber, AcceptsWholeDecimalNumbersOnly) {
  // An empty field and a number followed by text are in tests of the table loader.
  const std::pair<const char*, std::optional<double>> cases[] = {
      {"1.234E-02", 0.01234},  {"+1e3", 1000},        {" 7 ", 7},           {"1E", std::nullopt},
      {"1E999", std::nullopt}, {"nan", std::nullopt}, {"1,5", std::nullopt}};
  for (const auto& [field, expected] : cases) {
    SCOPED_TRACE(std::string("'") + field + "'");
    EXPECT_EQ(ParseTableNumber(field), expected);
  }
}

TEST(FormatScientific, WritesTheFilePatterns) {
  // Zero, 83.633, 0.5, 0.999996 (a carry into the exponent) and 2.5E-120 are in the file line
  // tests.
  const std::tuple<double, int, const char*> cases[] = {
      {-0.0, 4, "0.0000E+00"},  {9.9996, 3, "1.000E+01"},     {1E100, 4, "1.0000E+100"},
      {-0.25, 3, "-2.500E-01"}, {1.23456E-7, 3, "1.235E-07"}, {9.99949E-5, 4, "9.9995E-05"}};
  for (const auto& [value, decimals, expected] : cases) {
    SCOPED_TRACE(expected);
    EXPECT_EQ(FormatScientific(value, decimals), expected);
  }
}

}  // namespace
}  // namespace xscatter
