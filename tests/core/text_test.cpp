// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model/decimal_number.h"
#include "model/field_reader.h"
#include "model/lenient_number.h"
#include "output/number_format.h"

namespace xscatter {
namespace {

TEST(DecimalNumberLength, TakesTheLongestLeadingNumber) {
  const struct {
    const char* text;
    std::size_t length;
  } cases[] = {{"", 0},    {"+", 0},     {".", 0},        {"-.e5", 0},  {"E5", 0},
               {"1", 1},   {"-.5", 3},   {"5.", 2},       {"1.2.3", 3}, {"1E", 1},
               {"1e+", 1}, {"1E-0x", 4}, {"+12.5e10", 8}, {"1 2", 1},   {"0x1p3", 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(DecimalNumberLength(c.text), c.length);
  }
}

TEST(LenientNumber, ReadsTheLeadingNumberAndIgnoresTheRest) {
  const struct {
    const char* text;
    double expected;
  } cases[] = {{"100kV", 100}, {"", 0},        {"abc", 0},     {" 1 0 0 ", 100}, {"\t12\n", 12},
               {".5", 0.5},    {"5.", 5},      {"-5", -5},     {"-", 0},         {"2.5E-1mm", 0.25},
               {"1E", 1},      {"1E+", 1},     {"1.2.3", 1.2}, {"1,5", 1},       {"1d2", 1},
               {"１００", 0},  {"1 e 2", 100}, {"1E-999", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("'") + c.text + "'");
    EXPECT_DOUBLE_EQ(LenientNumber(c.text), c.expected);
  }
  EXPECT_TRUE(std::isinf(LenientNumber("1E999")));
}

TEST(FieldReader, SplitsAtCommasAndLineEndsAlike) {
  using Fields = std::vector<std::string>;
  const struct {
    const char* text;
    Fields expected;
  } cases[] = {
      {"1,2,3\r\n4,5\n6", {"1", "2", "3", "4", "5", "6"}},
      {"1,2\r3,4,5,6", {"1", "2", "3", "4", "5", "6"}},
      {"  1 ,\t2 ,,3  \n", {"1", "2", "", "3"}},
      {"1,2,\n3\n\n\n4", {"1", "2", "", "3", "4"}},
      {"\"1.5\",\"a, b\" ,\"x\"junk,3\n", {"1.5", "a, b", "x", "3"}},
      {"\n\n", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    FieldReader reader(c.text);
    Fields fields;
    while (auto field = reader.Next()) fields.push_back(*field);
    EXPECT_EQ(fields, c.expected) << c.text;
  }
}

TEST(ParseTableNumber, AcceptsWholeDecimalNumbersOnly) {
  const struct {
    const char* field;
    std::optional<double> expected;
  } cases[] = {{"1.234E-02", 0.01234},
               {"+1e3", 1000},
               {"", 0},
               {" 7 ", 7},
               {"1.2x", std::nullopt},
               {"1E", std::nullopt},
               {"1E999", std::nullopt},
               {"nan", std::nullopt},
               {"1,5", std::nullopt}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("'") + c.field + "'");
    EXPECT_EQ(ParseTableNumber(c.field), c.expected);
  }
}

TEST(FormatScientific, WritesTheFilePatterns) {
  const struct {
    double value;
    int decimals;
    const char* expected;
  } cases[] = {
      {0.5, 3, "5.000E-01"},    {0, 3, "0.000E+00"},          {-0.0, 4, "0.0000E+00"},
      {1, 4, "1.0000E+00"},     {83.633, 3, "8.363E+01"},     {0.99996, 3, "1.000E+00"},
      {9.9996, 3, "1.000E+01"}, {2.5E-120, 3, "2.500E-120"},  {1E100, 4, "1.0000E+100"},
      {-0.25, 3, "-2.500E-01"}, {1.23456E-7, 3, "1.235E-07"}, {9.99949E-5, 4, "9.9995E-05"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(FormatScientific(c.value, c.decimals), c.expected);
  }
}

}  // namespace
}  // namespace xscatter
