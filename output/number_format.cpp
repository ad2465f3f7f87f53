// SPDX-License-Identifier: MIT
#include "output/number_format.h"

#include <locale.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>

namespace xscatter {
namespace {

// The digits are found with exact integer arithmetic on the double's binary value wherever the
// numbers fit 128 bits (magnitudes from about 1e-15 to 1e38 for the shortest text, from 1e-28
// for the files' four or five digits), else by the C library's correctly rounded printf and
// strtod in the "C" locale. Both give the exactly rounded result, so which one ran never shows.
using Wide = unsigned __int128;

// The significant digits `digits` and the decimal exponent of their first digit:
// digits × 10^(exponent - length + 1), without trailing zeros unless said otherwise.
struct Decimal {
  std::string digits;
  int exponent = 0;
};

// |value| == significand × 2^exponent, for a finite, non-zero value.
struct Binary {
  std::uint64_t significand;
  int exponent;
  // The value has the smallest significand of its binary exponent, so the next double below it
  // lies half as far away as the next one above.
  bool narrow_below;
};

Binary Decompose(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
  if (biased == 0) return {fraction, -1074, false};
  return {fraction | (std::uint64_t{1} << 52), biased - 1075, fraction == 0 && biased > 1};
}

// 5^0 .. 5^55, every power of five below 2^128.
constexpr auto kPowersOfFive = [] {
  std::array<Wide, 56> powers{};
  powers[0] = 1;
  for (std::size_t i = 1; i < powers.size(); ++i) powers[i] = powers[i - 1] * 5;
  return powers;
}();

// 2^twos × 5^fives for exponents of at least zero, or nothing at 2^127 and beyond.
std::optional<Wide> Power(int twos, int fives) {
  if (fives >= static_cast<int>(kPowersOfFive.size())) return std::nullopt;
  const Wide five = kPowersOfFive[fives];
  if (twos >= 127 || (five >> (127 - twos)) != 0) return std::nullopt;
  return five << twos;
}

Wide PowerOfTen(int n) { return kPowersOfFive[n] << n; }

// x × 2^twos × 5^fives as numerator and denominator.
struct Ratio {
  Wide numerator;
  Wide denominator;
};

std::optional<Ratio> Scale(Wide x, int twos, int fives) {
  const auto up = Power(std::max(twos, 0), std::max(fives, 0));
  const auto down = Power(std::max(-twos, 0), std::max(-fives, 0));
  Ratio ratio;
  if (!up || !down || __builtin_mul_overflow(x, *up, &ratio.numerator)) return std::nullopt;
  ratio.denominator = *down;
  return ratio;
}

// numerator / denominator rounded to the nearest integer, ties to the even one.
Wide RoundHalfEven(const Ratio& r) {
  Wide quotient = r.numerator / r.denominator;
  const Wide rest = r.numerator % r.denominator;
  const Wide other = r.denominator - rest;
  if (rest > other || (rest == other && (quotient & 1))) ++quotient;
  return quotient;
}

std::string IntegerText(Wide n) {
  char text[40];
  char* end = text + sizeof text;
  char* p = end;
  // Narrow division is many times cheaper, and nearly every number fits 64 bits.
  if (n <= UINT64_MAX) {
    std::uint64_t narrow = static_cast<std::uint64_t>(n);
    do {
      *--p = static_cast<char>('0' + narrow % 10);
      narrow /= 10;
    } while (narrow != 0);
    return std::string(p, end);
  }
  do {
    *--p = static_cast<char>('0' + static_cast<int>(n % 10));
    n /= 10;
  } while (n != 0);
  return std::string(p, end);
}

// floor(log10 2 × the exponent of the leading binary digit): the decimal exponent of the first
// significant digit or one less.
int DecimalExponentEstimate(const Binary& b) {
  const int leading = b.exponent + 63 - __builtin_clzll(b.significand);
  return (leading * 78913) >> 18;
}

// The decimal exponent of the first significant digit of the value, exactly.
std::optional<int> DecimalExponent(const Binary& b) {
  int exponent = DecimalExponentEstimate(b);
  for (int attempt = 0; attempt < 3; ++attempt) {
    const auto r = Scale(b.significand, b.exponent - exponent, -exponent);
    if (!r) return std::nullopt;
    if (r->numerator < r->denominator) {
      --exponent;
    } else if (r->numerator / 10 >= r->denominator) {
      ++exponent;
    } else {
      return exponent;
    }
  }
  return std::nullopt;
}

// `count` significant digits as an integer and the decimal exponent of the first.
struct Rounding {
  std::uint64_t digits;
  int exponent;
};

// Rounded to `count` significant digits (1..19), exactly; nothing where 128 bits do not suffice.
std::optional<Rounding> RoundExactly(const Binary& b, int count) {
  int exponent = DecimalExponentEstimate(b);
  // The estimate may be one too small; the quotient's number of digits tells.
  for (int attempt = 0; attempt < 3; ++attempt) {
    const int shift = count - 1 - exponent;
    const auto r = Scale(b.significand, b.exponent + shift, shift);
    if (!r) return std::nullopt;
    Wide quotient = r->numerator / r->denominator;
    if (quotient >= PowerOfTen(count)) {
      ++exponent;
      continue;
    }
    if (quotient < PowerOfTen(count - 1)) {
      --exponent;
      continue;
    }
    const Wide rest = r->numerator - quotient * r->denominator;
    const Wide other = r->denominator - rest;
    if (rest > other || (rest == other && (quotient & 1))) ++quotient;
    if (quotient == PowerOfTen(count)) {
      quotient /= 10;
      ++exponent;
    }
    return Rounding{static_cast<std::uint64_t>(quotient), exponent};
  }
  return std::nullopt;
}

// RoundExactly in double arithmetic, where that gives the same digits, for the many numbers of the
// spectrum files. Scaling by a power of ten of at most 22 decades (exact in a double) rounds once,
// so the scaled value lies within 2^-52 of the true one, relative; its integer part may then be
// off by one only where the fraction is near 0 or 1, and both round to the same digits there. Only
// a fraction near one half could round the other way: those are left to RoundExactly.
std::optional<Rounding> RoundQuickly(double magnitude, int count) {
  static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                       1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  constexpr int kLargestPower = 22;
  if (count > 15 || !(magnitude >= std::numeric_limits<double>::min())) return std::nullopt;
  std::uint64_t bits;
  std::memcpy(&bits, &magnitude, sizeof bits);
  const int binary_exponent = static_cast<int>(bits >> 52) - 1023;  // a normal, positive double
  int exponent = (binary_exponent * 78913) >> 18;                   // as DecimalExponentEstimate
  for (int attempt = 0; attempt < 3; ++attempt) {
    const int shift = count - 1 - exponent;
    if (shift > kLargestPower || shift < -kLargestPower) return std::nullopt;
    const double scaled = shift >= 0 ? magnitude * kPowers[shift] : magnitude / kPowers[-shift];
    if (scaled >= kPowers[count]) {
      ++exponent;
      continue;
    }
    if (scaled < kPowers[count - 1]) {
      --exponent;
      continue;
    }
    const auto truncated = static_cast<std::uint64_t>(scaled);  // below 10^15: exact
    const double fraction = scaled - static_cast<double>(truncated);
    if (std::fabs(fraction - 0.5) <= scaled * 0x1p-50) return std::nullopt;
    std::uint64_t digits = truncated + (fraction > 0.5 ? 1 : 0);
    if (digits == static_cast<std::uint64_t>(kPowers[count])) {
      digits /= 10;
      ++exponent;
    }
    return Rounding{digits, exponent};
  }
  return std::nullopt;
}

// Sign, the first digit, a point and the others, and the exponent of at least two digits.
void AppendScientificDigits(std::string& out, bool negative, Rounding r, int count, char marker) {
  char digits[20];
  for (int i = count - 1; i >= 0; --i) {
    digits[i] = static_cast<char>('0' + r.digits % 10);
    r.digits /= 10;
  }
  char text[48];
  char* p = text;
  if (negative) *p++ = '-';
  *p++ = digits[0];
  if (count > 1) {
    *p++ = '.';
    std::memcpy(p, digits + 1, count - 1);
    p += count - 1;
  }
  *p++ = marker;
  *p++ = r.exponent < 0 ? '-' : '+';
  int exponent = std::abs(r.exponent);
  if (exponent >= 100) {
    *p++ = static_cast<char>('0' + exponent / 100);
    exponent %= 100;
  }
  *p++ = static_cast<char>('0' + exponent / 10);
  *p++ = static_cast<char>('0' + exponent % 10);
  out.append(text, p);
}

// The nearest decimal of `count` significant digits that reads back as the value, as an integer
// at the scale of its last digit; nothing when there is none, or `failed` when 128 bits do not
// suffice.
std::optional<Wide> RoundTripping(const Binary& b, int first, int count, bool& failed) {
  // Bounds of the values that read back as this double, in quarters of its binary unit.
  const Wide m = Wide{b.significand} * 4;
  const Wide low = m - (b.narrow_below ? 1 : 2);
  const Wide high = m + 2;
  // A bound itself reads back as the double with the even significand.
  const bool inclusive = (b.significand & 1) == 0;
  const int shift = count - 1 - first;
  const auto unit = Scale(1, b.exponent - 2 + shift, shift);
  Ratio v, lo, hi;
  if (!unit || __builtin_mul_overflow(m, unit->numerator, &v.numerator) ||
      __builtin_mul_overflow(high, unit->numerator, &hi.numerator)) {
    failed = true;
    return std::nullopt;
  }
  lo.numerator = low * unit->numerator;
  v.denominator = lo.denominator = hi.denominator = unit->denominator;
  const Wide d = unit->denominator;
  const Wide smallest = lo.numerator / d + (lo.numerator % d != 0 || !inclusive ? 1 : 0);
  Wide largest = hi.numerator / d;
  if (hi.numerator % d == 0 && !inclusive) --largest;
  if (smallest > largest) return std::nullopt;
  return std::clamp(RoundHalfEven(v), smallest, largest);
}

std::optional<Decimal> ShortestExactly(const Binary& b) {
  const auto first = DecimalExponent(b);
  if (!first) return std::nullopt;
  // Seventeen digits always read back, and a decimal of fewer digits is also one of more, so
  // the digit counts that read back are those from the fewest up. The seventeen without their
  // trailing zeros are the nearest decimal of that many digits; most computed values need 16 or
  // 17 digits and round ones few, so the search goes down from there.
  bool failed = false;
  auto n = RoundTripping(b, *first, 17, failed);
  if (!n) return std::nullopt;
  int fewest = 17;
  while (fewest > 1 && *n % 10 == 0) {
    *n /= 10;
    --fewest;
  }
  while (fewest > 1) {
    const auto shorter = RoundTripping(b, *first, fewest - 1, failed);
    if (failed) return std::nullopt;
    if (!shorter) break;
    n = shorter;
    --fewest;
  }
  Decimal result{IntegerText(*n), *first - fewest + 1};
  result.exponent += static_cast<int>(result.digits.size()) - 1;
  while (result.digits.size() > 1 && result.digits.back() == '0') result.digits.pop_back();
  return result;
}

// printf and strtod follow LC_NUMERIC, which Qt sets from the environment; these run in the
// "C" locale, switched for the calling thread only.
class CNumbers {
 public:
  CNumbers() : previous_(uselocale(Locale())) {}
  ~CNumbers() { uselocale(previous_); }
  CNumbers(const CNumbers&) = delete;
  CNumbers& operator=(const CNumbers&) = delete;

 private:
  static locale_t Locale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return c;
  }
  locale_t previous_;
};

// printf's "%.<decimals>e" of a finite value in the "C" locale.
std::string PrintedScientific(double value, int decimals) {
  const CNumbers c_numbers;
  char text[kMaxScientificDecimals + 16];
  const int length = std::snprintf(text, sizeof text, "%.*e", decimals, value);
  return std::string(text, static_cast<std::size_t>(length));
}

// The digits and exponent of a finite "%e" text without its sign.
Decimal Parts(const std::string& text) {
  Decimal result;
  const std::size_t e = text.find('e');
  for (std::size_t i = text[0] == '-' ? 1 : 0; i < e; ++i) {
    if (text[i] != '.') result.digits += text[i];
  }
  result.exponent = std::atoi(text.c_str() + e + 1);
  return result;
}

double ReadBack(const Decimal& d) {
  const CNumbers c_numbers;
  const int last = d.exponent - static_cast<int>(d.digits.size()) + 1;
  const std::string text = d.digits + "e" + std::to_string(last);
  return std::strtod(text.c_str(), nullptr);
}

// The next decimal above with as many digits.
Decimal NextUp(Decimal d) {
  std::size_t i = d.digits.size();
  while (i > 0 && d.digits[i - 1] == '9') d.digits[--i] = '0';
  if (i == 0) {
    d.digits.insert(d.digits.begin(), '1');
    d.digits.pop_back();
    ++d.exponent;
  } else {
    ++d.digits[i - 1];
  }
  return d;
}

// Through printf and strtod, for magnitudes beyond the exact arithmetic.
std::optional<Decimal> RoundTrippingPrinted(double magnitude, int count) {
  const Decimal nearest = Parts(PrintedScientific(magnitude, count - 1));
  const double back = ReadBack(nearest);
  if (back == magnitude) return nearest;
  // Next to a power of two the values that read back reach twice as far above as below, so the
  // decimal above may read back where the nearer one below does not.
  if (back < magnitude) {
    const Decimal above = NextUp(nearest);
    if (ReadBack(above) == magnitude) return above;
  }
  return std::nullopt;
}

Decimal ShortestPrinted(double magnitude) {
  int fewest = 1, most = 17;
  while (fewest < most) {
    const int middle = (fewest + most) / 2;
    if (RoundTrippingPrinted(magnitude, middle)) {
      most = middle;
    } else {
      fewest = middle + 1;
    }
  }
  Decimal result = *RoundTrippingPrinted(magnitude, fewest);
  while (result.digits.size() > 1 && result.digits.back() == '0') result.digits.pop_back();
  return result;
}

Decimal Rounded(double magnitude, int count) {
  if (const auto exact = RoundExactly(Decompose(magnitude), count)) {
    std::string digits = IntegerText(exact->digits);
    return {digits, exact->exponent};
  }
  return Parts(PrintedScientific(magnitude, count - 1));
}

void AppendExponent(std::string& text, char marker, int exponent) {
  text += marker;
  text += exponent < 0 ? '-' : '+';
  const std::string digits = std::to_string(std::abs(exponent));
  if (digits.size() < 2) text += '0';
  text += digits;
}

// d.digits with a point after the first and the exponent.
std::string ScientificText(const Decimal& d, char marker) {
  std::string text(1, d.digits[0]);
  if (d.digits.size() > 1) text += '.' + d.digits.substr(1);
  AppendExponent(text, marker, d.exponent);
  return text;
}

// d.digits in plain notation; digits after the last are zeros.
std::string PlainText(const Decimal& d) {
  const int length = static_cast<int>(d.digits.size());
  if (d.exponent < 0) return "0." + std::string(-d.exponent - 1, '0') + d.digits;
  if (d.exponent + 1 >= length) return d.digits + std::string(d.exponent + 1 - length, '0');
  return d.digits.substr(0, d.exponent + 1) + '.' + d.digits.substr(d.exponent + 1);
}

std::optional<std::string> NonFiniteText(double value) {
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
  return std::nullopt;
}

}  // namespace

void AppendScientific(std::string& text, double value, int decimals) {
  if (const auto nonfinite = NonFiniteText(value)) {
    text += *nonfinite;
    return;
  }
  decimals = std::clamp(decimals, 0, kMaxScientificDecimals);
  // A zero is written without its sign.
  if (value == 0) {
    text += '0';
    if (decimals) {
      text += '.';
      text.append(static_cast<std::size_t>(decimals), '0');
    }
    text += "E+00";
    return;
  }
  if (decimals <= 17) {
    auto rounding = RoundQuickly(std::fabs(value), decimals + 1);
    if (!rounding) rounding = RoundExactly(Decompose(std::fabs(value)), decimals + 1);
    if (rounding) {
      AppendScientificDigits(text, value < 0, *rounding, decimals + 1, 'E');
      return;
    }
  }
  std::string printed = PrintedScientific(value, decimals);
  std::replace(printed.begin(), printed.end(), 'e', 'E');
  text += printed;
}

std::string FormatScientific(double value, int decimals) {
  std::string text;
  AppendScientific(text, value, decimals);
  return text;
}

std::string ShortestText(double value) {
  if (const auto text = NonFiniteText(value)) return *text;
  const std::string sign = std::signbit(value) ? "-" : "";
  if (value == 0) return sign + "0";
  const double magnitude = std::fabs(value);
  const Binary binary = Decompose(magnitude);
  const auto exact = ShortestExactly(binary);
  const Decimal d = exact ? *exact : ShortestPrinted(magnitude);
  const std::string scientific = ScientificText(d, 'e');
  const std::string plain = PlainText(d);
  // Plain notation wins ties.
  if (plain.size() > scientific.size()) return sign + scientific;
  // A whole number beyond 2^53 is written exactly: of the equally long texts that read back,
  // that one is nearest. Plain notation is at most 23 digits long here, below 2^77.
  if (binary.exponent > 0) return sign + IntegerText(Wide{binary.significand} << binary.exponent);
  return sign + plain;
}

std::string FormatGeneral(double value, int significant) {
  if (const auto text = NonFiniteText(value)) return *text;
  significant = std::clamp(significant, 1, 17);
  const std::string sign = std::signbit(value) ? "-" : "";
  if (value == 0) return sign + "0";
  Decimal d = Rounded(std::fabs(value), significant);
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
  if (d.exponent < -4 || d.exponent >= significant) return sign + ScientificText(d, 'e');
  return sign + PlainText(d);
}

}  // namespace xscatter
