// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>

#include "output/number_format.h"
#include "output/spectrum_files.h"

namespace xscatter {
namespace {

// Line `line` (0 = header) of a file text, without its CR LF.
std::string Line(const std::string& text, int line) {
  std::size_t start = 0;
  for (int i = 0; i < line; ++i) start = text.find("\r\n", start) + 2;
  return text.substr(start, text.find("\r\n", start) - start);
}

// The default files are compared whole in commands_test; these lines are ones a default run never
// writes.
TEST(SpectrumFiles, LinesByteForByte) {
  GridArray zero{}, primary{}, energy{}, fluence{}, coherent{};
  primary[50] = 2.5E-120;
  energy[200] = 83.633;
  fluence[200] = 0.5;
  coherent[1] = 0.999996;
  EXPECT_EQ(Line(PrimarySpectrumText(primary), 50), "2.500E+01  2.500E-120");
  EXPECT_EQ(PrimarySpectrumText(primary).size(), 6617u);  // one byte longer, nothing padded
  EXPECT_EQ(Line(IncoherentSpectrumText(zero, zero), 1), "0.000E+00  0.0000E+00");
  EXPECT_EQ(Line(IncoherentSpectrumText(energy, fluence), 200), "8.363E+01  5.0000E-01");
  EXPECT_EQ(Line(CoherentSpectrumText(coherent), 1), "5.000E-01  1.0000E+00");
}

TEST(FormatScientific, AnyNumberOfDecimals) {
  EXPECT_EQ(FormatScientific(0.35, -4), "3E-01");  // negative decimals read as none
  EXPECT_EQ(FormatScientific(1.7976931348623157E308, 16), "1.7976931348623157E+308");
  const std::string subnormal = FormatScientific(4.9406564584124654E-324, 766);  // every digit
  EXPECT_EQ(subnormal.size(), 773u);
  EXPECT_TRUE(
      subnormal.starts_with("4.9406564584124654417656879286822137236505980261432476442558"));
  EXPECT_TRUE(subnormal.ends_with("4472656250000000000000000E-324")) << subnormal;
  const std::string third = FormatScientific(1.0 / 3, 5000);  // beyond the limit
  EXPECT_EQ(third.size(), 1006u);
  EXPECT_TRUE(third.starts_with("3.33333333333333314829616256247")) << third.substr(0, 40);
  EXPECT_TRUE(third.ends_with("0000E-01")) << third.substr(990);
}

}  // namespace
}  // namespace xscatter
