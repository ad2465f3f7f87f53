#include <gtest/gtest.h>

#include <cmath>

#include "model/lenient_number.h"

namespace xscatter {
namespace {

struct Case {
  const char* text;
  double expected;
};

TEST(LenientNumber, ReadsTheLeadingNumberAndIgnoresTheRest) {
  const Case cases[] = {
      {"100", 100},       {"100kV", 100}, {"", 0},      {"abc", 0},     {" 1 0 0 ", 100},
      {"\t12\n", 12},     {"2.5", 2.5},   {".5", 0.5},  {"5.", 5},      {"-5", -5},
      {"+7", 7},          {"-", 0},       {".", 0},     {"1e2", 100},   {"1E+2", 100},
      {"2.5E-1mm", 0.25}, {"1E", 1},      {"1E+", 1},   {"1.2.3", 1.2}, {"1,5", 1},
      {"1d2", 1},         {"kV100", 0},   {"0.9", 0.9}, {"１００", 0},  {"150.5", 150.5},
      {"39.9", 39.9},     {"1 e 2", 100}, {"--5", 0},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(LenientNumber(c.text), c.expected) << c.text;
}

TEST(LenientNumber, OverflowReadsAsInfinity) {
  EXPECT_TRUE(std::isinf(LenientNumber("1E999")));
  EXPECT_EQ(LenientNumber("1E-999"), 0.0);
}

}  // namespace
}  // namespace xscatter
