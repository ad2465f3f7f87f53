// SPDX-License-Identifier: MIT
#include "model/foreign_spectrum.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "model/decimal_number.h"
#include "model/errors.h"
#include "tests/support/files.h"

namespace xscatter {
namespace {

using testing::TempFolder;
using testing::WriteFile;

// 2 at 10 keV, 4 at 11 keV: bins 20, 21, 22 hold 2, 3, 4 before normalisation.
const std::map<int, double> kTenToEleven = {{20, 0.5}, {21, 0.75}, {22, 1.0}};

// The whole grid: the listed bins hold their values, every other bin 0.
void ExpectGrid(const ForeignSpectrum& s, const std::map<int, double>& bins, int bin_count,
                int dropped = 0) {
  for (int i = 0; i <= kLastBin; ++i) {
    const auto it = bins.find(i);
    EXPECT_EQ(s.spectrum[i], it == bins.end() ? 0.0 : it->second) << "bin " << i;
  }
  EXPECT_EQ(s.bin_count, bin_count);
  EXPECT_EQ(s.dropped_above_grid, dropped);
}

// Shared ends of messages.
const std::string kTooFew = "; at least two (energy, fluence) are needed";
const std::string kNotAbove = "keV is not above the previous point's ";
const std::string kNothingOnGrid = "no fluence above zero on the grid of 0.5 to 150 keV";

// The line and message of the SpectrumFileError that `read` throws.
std::pair<int, std::string> ErrorOf(const std::function<void()>& read) {
  try {
    read();
  } catch (const SpectrumFileError& error) {
    return {error.line(), error.what()};
  }
  return {-1, "accepted"};
}

TEST(ForeignSpectrum, TextTablesResampleOntoTheGrid) {
  const struct {
    const char* name;
    std::string text;
    std::map<int, double> bins = kTenToEleven;
    int bin_count = 22;
    int dropped = 0;
  } rows[] = {
      {"SemicolonsThreeColumns", "E;Phi;err\n10;2;0.1\n11;4;0.2\n"},
      {"CommentsHeadersFooters",
       "# measured beam\nEnergy (keV)\tCounts\n\n10\t2\n11 4\n# end\nTotal 6\n"},
      {"BlanksAroundDelimiters", "  10 ,\t2 ; x\n11\t\t4\n"},
      {"QuotesAndByteOrderMark", "\xEF\xBB\xBF\"keV\",\"phi\"\r\n\"10\",\"2\"\r\n\"11\",\"4\"\r\n"},
      {"CarriageReturnsOnly", "keV phi\r10 2\r11 4"},
      {"SignsAndExponents", "+1.0E+01 2e0\n1.1e1 +4.\n"},
      // 10.25 → 2 and 10.75 → 4 put the mean 3 at 10.5 keV; 11 keV lies between 4 and 8.
      {"MidpointBetweenPoints", "10.25 2\n10.75 4\n11.25 8\n", {{21, 0.5}, {22, 1.0}}},
      // The point at 10 keV is on bin 20 and gives its own value; 9.5 keV precedes the file.
      {"PointOnABin", "9.9 100\n10 3\n10.5 6\n", {{20, 0.5}, {21, 1.0}}, 21},
      // 151 keV still bounds the values up to 150 keV; both points above the grid are dropped.
      {"PointsAboveTheGridDropped",
       "149 1\n151 3\n160 5\n",
       {{298, 0.5}, {299, 0.75}, {300, 1.0}},
       300,
       2},
      {"AtMostOneE100BecomesZero", "10 1\n10.5 1e-101\n11 0\n", {{20, 1.0}}, 20},
      {"FirstBinIsOnTheGrid", "0 2\n1 4\n", {{1, 0.75}, {2, 1.0}}, 2},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ExpectGrid(ParseSpectrumText(row.text, "table"), row.bins, row.bin_count, row.dropped);
  }
}

// Problems with a line are reported as "m.csv, line N: problem", the others as "m.csv: problem".
TEST(ForeignSpectrum, BadTextTablesNameTheLine) {
  const std::string one_number = "only one number; a data line needs energy and fluence";
  const struct {
    const char* name;
    std::string text;
    int line;
    std::string problem;
  } rows[] = {
      {"OnePoint", "keV phi\n10 2\n", 0, "holds 1 point" + kTooFew},
      {"NoPoints", "# nothing here\n\n", 0, "holds 0 points" + kTooFew},
      {"EnergyFallsAfterHeader", "keV phi\n10 2\n9.5 3\n", 3, "energy 9.5 " + kNotAbove + "10 keV"},
      {"EnergyRepeatedWithCrLf", "a\r\n10 2\r\n10 3\r\n", 3, "energy 10 " + kNotAbove + "10 keV"},
      {"LineCountWithCrOnly", "a\r\r10 2\r10 3\r", 4, "energy 10 " + kNotAbove + "10 keV"},
      {"DecimalCommasCaughtByRepeatedEnergy", "10,0;2,5\n10,5;3,0\n", 2,
       "energy 10 " + kNotAbove + "10 keV"},
      {"NegativeFluence", "10 2\n11 -1\n", 2, "fluence -1 is negative"},
      {"NegativeEnergy", "-1 2\n10 3\n", 1, "energy -1 keV is negative"},
      {"FluenceOverflows", "10 2\n11 1e999\n", 2, "fluence \"1e999\" is not a finite number"},
      {"EnergyOverflows", "10 2\n1E400 3\n", 2, "energy \"1E400\" is not a finite number"},
      {"FluenceWithUnit", "10 2\n11 4keV\n", 2, "fluence \"4keV\" is not a finite number"},
      {"OnlyOneNumber", "10 2\n\n11\n", 3, one_number},
      {"EmptyFluenceField", "10,,2\n11,4\n", 1, one_number},
      {"AllZero", "10 0\n11 0\n", 0, kNothingOnGrid},
      {"AllAboveTheGrid", "151 1\n152 2\n", 0, kNothingOnGrid},
      {"AllBelowTheGrid", "0.1 1\n0.4 2\n", 0, kNothingOnGrid},
  };
  for (const auto& row : rows) {
    const std::string where = row.line > 0 ? "m.csv, line " + std::to_string(row.line) : "m.csv";
    EXPECT_EQ(ErrorOf([&] { ParseSpectrumText(row.text, "m.csv"); }),
              std::pair(row.line, where + ": " + row.problem))
        << row.name;
  }
}

// Problems are reported as "spectrum: problem", naming the point where there is one.
TEST(ForeignSpectrum, PointArraysResampleOrNameThePoint) {
  ExpectGrid(ResampleSpectrum({10, 11}, {2, 4}), kTenToEleven, 22);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    const char* name;
    std::vector<double> energy, fluence;
    std::string problem;
  } rows[] = {
      {"LengthsDiffer", {10, 11}, {2}, "2 energies but 1 fluences"},
      {"OnePoint", {10}, {2}, "holds 1 point" + kTooFew},
      {"NaNEnergy", {10, nan}, {2, 4}, "point 2: energy nan is not a finite number"},
      {"EnergyRepeated", {10, 10, 11}, {2, 3, 4}, "point 2: energy 10 " + kNotAbove + "10 keV"},
      {"NegativeFluence", {10, 11}, {2, -0.5}, "point 2: fluence -0.5 is negative"},
      {"NothingOnTheGrid", {200, 300}, {2, 4}, kNothingOnGrid},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ErrorOf([&] { ResampleSpectrum(row.energy, row.fluence); }),
              std::pair(0, "spectrum: " + row.problem))
        << row.name;
  }
}

// The program's own P_Spectrum.dat (CRLF, a header, every energy on its bin, the largest value
// already 1) reads back bin for bin.
TEST(ForeignSpectrum, ReadsThePrimarySpectrumFileBack) {
  const std::filesystem::path file =
      std::filesystem::path(XSCATTER_REFERENCE_DIR) / "P_Spectrum.dat";
  const ForeignSpectrum s = ReadForeignSpectrum(file);
  std::ifstream in(file);
  std::string header, energy, fluence;
  std::getline(in, header);
  int last = 0;
  for (int i = 1; i <= kLastBin && in >> energy >> fluence; ++i) {
    EXPECT_EQ(DecimalNumberValue(energy), 0.5 * i);
    EXPECT_EQ(s.spectrum[i], DecimalNumberValue(fluence)) << "bin " << i;
    if (s.spectrum[i] != 0) last = i;
  }
  EXPECT_GT(last, 0);
  EXPECT_EQ(s.bin_count, last);
  EXPECT_EQ(s.dropped_above_grid, 0);
}

// Only a regular file of at most 16 MiB is read; blank lines after the points are skipped.
TEST(ForeignSpectrum, FilesMustBeSmallAndRegular) {
  TempFolder folder;
  const std::filesystem::path fifo = folder.path / "pipe", large = folder.path / "large.dat",
                              bad = folder.path / "bad.csv", padded = folder.path / "padded.dat";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string text = "10 2\n11 4\n";
  WriteFile(large, text);
  std::filesystem::resize_file(large, kMaxSpectrumFileBytes + 1);
  text.resize(kMaxSpectrumFileBytes, '\n');
  WriteFile(padded, text);
  WriteFile(bad, "keV,phi\n10,2\n11,-4\n");
  ExpectGrid(ReadForeignSpectrum(padded), kTenToEleven, 22);
  const struct {
    const char* name;
    std::filesystem::path path;
    int line;
    std::string problem;
  } rows[] = {
      {"Missing", folder.path / "none.dat", 0, "cannot be opened (No such file or directory)"},
      {"Folder", folder.path, 0, "is not a regular file"},
      {"NamedPipe", fifo, 0, "is not a regular file"},
      {"OverSixteenMiB", large, 0, "is larger than 16 MiB"},
      {"BadLine", bad, 3, "fluence -4 is negative"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ErrorOf([&] { ReadForeignSpectrum(row.path); }),
              std::pair(row.line, SpectrumFileMessage(row.path.string(), row.line, row.problem)))
        << row.name;
  }
}

}  // namespace
}  // namespace xscatter
