// SPDX-License-Identifier: MIT
#include "output/number_format.h"

#include <gtest/gtest.h>
#include <locale.h>

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/files.h"

namespace xscatter {
namespace {

struct Row {
  const char* name;
  double value;
  const char* expected;
};

// Worked by hand or from the exact binary value: ties of the exact decimal expansion, values
// next to a power of two where the decimal nearest below does not read back but a longer one
// would, and magnitudes beyond 128-bit arithmetic.
const Row kShortest[] = {
    {"zero", 0.0, "0"},
    {"negative_zero", -0.0, "-0"},
    {"third", 1.0 / 3, "0.3333333333333333"},
    {"tenth", 0.1, "0.1"},
    {"negative", -2.5, "-2.5"},
    {"plain_wins_the_tie", 0.001, "0.001"},
    {"exponent_shorter_than_four_zeros", 0.0001, "1e-04"},
    {"hundred_stays_plain", 100.0, "100"},
    {"hundred_thousand_as_exponent", 100000.0, "1e+05"},
    {"sum_of_tenths", 0.1 + 0.2, "0.30000000000000004"},
    {"two_to_the_60_exactly", 1152921504606846976.0, "1152921504606846976"},
    {"above_2_53_exact_not_zero_filled", 12345678901234567890.0, "12345678901234567168"},
    {"ten_to_the_23", 1e23, "1e+23"},
    {"two_to_the_minus_44_above", 0x1p-44, "5.684341886080802e-14"},
    {"two_to_the_minus_24_above", 0x1p-24, "5.960464477539063e-08"},
    {"two_to_the_89_above", 0x1p89, "6.189700196426902e+26"},
    {"two_to_the_minus_1017_beyond_128_bits", 0x1p-1017, "7.120236347223045e-307"},
    {"two_to_the_976_beyond_128_bits", 0x1p976, "6.386688990511104e+293"},
    {"beyond_128_bits", 2.5e-120, "2.5e-120"},
    {"largest", DBL_MAX, "1.7976931348623157e+308"},
    {"smallest_normal", DBL_MIN, "2.2250738585072014e-308"},
    {"largest_subnormal", 0x0.fffffffffffffp-1022, "2.225073858507201e-308"},
    {"smallest_subnormal", 0x1p-1074, "5e-324"},
    {"infinity", HUGE_VAL, "inf"},
    {"negative_infinity", -HUGE_VAL, "-inf"},
    {"nan", NAN, "nan"},
};

struct ScientificRow {
  const char* name;
  double value;
  int decimals;
  const char* expected;
};

// Exact ties go to the even digit; a value a hair off a tie goes its own way.
const ScientificRow kScientific[] = {
    {"tie_down_to_even", 0.125, 1, "1.2E-01"},
    {"tie_up_to_even", 0.375, 1, "3.8E-01"},
    {"tie_no_decimals_down", 2.5, 0, "2E+00"},
    {"tie_no_decimals_up", 3.5, 0, "4E+00"},
    {"tie_fourth_digit_down", 1.0625, 3, "1.062E+00"},
    {"tie_fourth_digit_up", 1.1875, 3, "1.188E+00"},
    {"just_below_a_tie", 1.0005, 3, "1.000E+00"},  // 1.000499999999999989...
    {"just_above_a_tie", 1.0015, 3, "1.002E+00"},  // 1.001500000000000056...
    {"carry_into_the_exponent", 9.9996, 3, "1.000E+01"},
    {"below_a_tie_by_binary_error", 9.9995, 3, "9.999E+00"},  // 9.99949999999999938...
    {"carry_from_below_a_power", 0.0999996, 4, "1.0000E-01"},
    {"zero_without_sign", -0.0, 4, "0.0000E+00"},
    {"negative", -1.5e-30, 4, "-1.5000E-30"},
    {"three_digit_exponent", 1.23456e-150, 3, "1.235E-150"},
    {"largest", DBL_MAX, 3, "1.798E+308"},
    {"smallest_subnormal", 0x1p-1074, 3, "4.941E-324"},
    {"seventeen_digits", 0.1, 17, "1.00000000000000006E-01"},
    {"beyond_the_exact_digits", 0.1, 20, "1.00000000000000005551E-01"},
    {"infinity", -HUGE_VAL, 3, "-inf"},
    {"nan", NAN, 4, "nan"},
};

struct GeneralRow {
  const char* name;
  double value;
  int significant;
  const char* expected;
};

const GeneralRow kGeneral[] = {
    {"plain_digits", 2.6989, 6, "2.6989"},
    {"trailing_zeros_dropped", 45.0, 10, "45"},
    {"rounded", 1234567.0, 6, "1.23457e+06"},
    {"six_digits_stay_plain", 123456.0, 6, "123456"},
    {"four_zeros_after_the_point", 0.0001234, 6, "0.0001234"},
    {"five_zeros_as_exponent", 0.00001234, 6, "1.234e-05"},
    {"tie_to_even", 2.5, 1, "2"},
    {"carry_makes_the_exponent", 9.9999996, 6, "10"},
    {"negative_zero", -0.0, 6, "-0"},
};

std::string Bits(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%a", value);
  return text;
}

// Every row of the three tables; the names tell which failed.
void CheckTables() {
  for (const Row& row : kShortest) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ShortestText(row.value), row.expected);
  }
  for (const ScientificRow& row : kScientific) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FormatScientific(row.value, row.decimals), row.expected);
  }
  for (const GeneralRow& row : kGeneral) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FormatGeneral(row.value, row.significant), row.expected);
  }
}

TEST(NumberFormat, WorkedRows) { CheckTables(); }

#if defined(__cpp_lib_to_chars)
// Doubles of every kind: any bit pattern, the spectrum files' range, ratios of small integers,
// exact binary fractions (many ties) with their neighbours and whole numbers beyond 2^53.
std::vector<double> ManyDoubles() {
  std::mt19937_64 random(20260101);
  std::vector<double> values;
  for (int i = 0; i < 120000; ++i) {
    const std::uint64_t bits = random();
    double value;
    switch (i % 5) {
      case 0:
        std::memcpy(&value, &bits, sizeof value);
        break;
      case 1:
        value = std::ldexp(static_cast<double>(bits >> 11), static_cast<int>(random() % 140) - 153);
        break;
      case 2:
        value = static_cast<double>(random() % 1000000) / static_cast<double>(1 + random() % 10000);
        break;
      case 3:
        // Exact ties and their neighbours, the hardest roundings.
        value = std::ldexp(static_cast<double>(random() % 100000), -static_cast<int>(bits % 12));
        if (i % 3 == 1) value = std::nextafter(value, 0.0);
        if (i % 3 == 2) value = std::nextafter(value, std::numeric_limits<double>::infinity());
        break;
      default:
        value = std::ldexp(static_cast<double>(bits >> 11), static_cast<int>(random() % 30));
    }
    if (!std::isnan(value)) values.push_back(random() % 2 ? value : -value);
  }
  return values;
}

std::string ToChars(double value) {
  char text[64];
  return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

std::string ToCharsScientific(double value, int decimals) {
  char text[64];
  std::string s(text, std::to_chars(text, text + sizeof text, value == 0 ? 0.0 : value,
                                    std::chars_format::scientific, decimals)
                          .ptr);
  for (char& c : s) c = c == 'e' ? 'E' : c;
  return s;
}

std::string ToCharsGeneral(double value, int significant) {
  char text[64];
  return std::string(
      text,
      std::to_chars(text, text + sizeof text, value, std::chars_format::general, significant).ptr);
}

// Reports the first few differences, each with the value's exact bits.
TEST(NumberFormat, SameAsTheStandardLibraryForManyDoubles) {
  int failures = 0;
  int index = 0;
  for (const double value : ManyDoubles()) {
    // Up to 20 decimals: beyond 17 the C library writes the digits.
    const int decimals = index++ % 21;
    const int significant = 1 + decimals % 17;
    const std::string got[] = {ShortestText(value), FormatScientific(value, decimals),
                               FormatGeneral(value, significant)};
    const std::string want[] = {ToChars(value), ToCharsScientific(value, decimals),
                                ToCharsGeneral(value, significant)};
    for (int k = 0; k < 3; ++k) {
      if (got[k] != want[k] && failures++ < 10) {
        ADD_FAILURE() << Bits(value) << " decimals " << decimals << " significant " << significant
                      << ": " << got[k] << " instead of " << want[k];
      }
    }
  }
  EXPECT_EQ(failures, 0);
}
#endif

// Qt sets the locale from the environment at start.
class GermanLocale : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing::GermanLocaleLoadable() || !setlocale(LC_ALL, "de_DE.UTF-8")) {
      GTEST_SKIP() << "no de_DE.UTF-8 locale, and localedef could not make one";
    }
  }
  void TearDown() override { setlocale(LC_ALL, "C"); }
};

TEST_F(GermanLocale, PeriodsFromEveryThread) {
  char comma[8];
  std::snprintf(comma, sizeof comma, "%.1f", 1.5);
  ASSERT_STREQ(comma, "1,5") << "the locale does not use a decimal comma";
  CheckTables();
  // Each thread switches only itself to the C locale and back.
  std::vector<std::thread> threads;
  std::vector<int> wrong(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &wrong] {
      for (int i = 0; i < 2000; ++i) {
        const double value = (t + 1) * 0.1 + i * 1e-3;
        const Row& row = kShortest[i % std::size(kShortest)];
        if (ShortestText(row.value) != row.expected) ++wrong[t];
        if (FormatScientific(value, 3).find(',') != std::string::npos) ++wrong[t];
        if (FormatScientific(value * 1e-250, 3).find(',') != std::string::npos) ++wrong[t];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong, std::vector<int>(4, 0));
  std::snprintf(comma, sizeof comma, "%.1f", 1.5);
  EXPECT_STREQ(comma, "1,5") << "the formats changed the program's locale";
}

}  // namespace
}  // namespace xscatter
