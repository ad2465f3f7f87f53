#include <gtest/gtest.h>

#include "output/number_format.h"

namespace xscatter {
namespace {

TEST(FormatScientific, WritesTheFilePatterns) {
  const struct {
    double value;
    int decimals;
    const char* expected;
  } cases[] = {
      {0.5, 3, "5.000E-01"},       {100, 3, "1.000E+02"},         {0, 3, "0.000E+00"},
      {0, 4, "0.0000E+00"},        {-0.0, 4, "0.0000E+00"},       {1, 3, "1.000E+00"},
      {1, 4, "1.0000E+00"},        {0.5, 4, "5.0000E-01"},        {83.633, 3, "8.363E+01"},
      {0.99996, 3, "1.000E+00"},   {0.999996, 4, "1.0000E+00"},   {9.9996, 3, "1.000E+01"},
      {2.5E-120, 3, "2.500E-120"}, {2.5E-120, 4, "2.5000E-120"},  {1E100, 3, "1.000E+100"},
      {-0.25, 3, "-2.500E-01"},    {150, 3, "1.500E+02"},         {1.23456E-7, 3, "1.235E-07"},
      {1E-100, 4, "1.0000E-100"},  {9.99949E-5, 4, "9.9995E-05"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatScientific(c.value, c.decimals), c.expected) << c.value;
  }
}

}  // namespace
}  // namespace xscatter
