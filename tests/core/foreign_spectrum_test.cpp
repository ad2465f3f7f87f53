// SPDX-License-Identifier: MIT
#include "model/foreign_spectrum.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "model/decimal_number.h"
#include "model/errors.h"
#include "tests/core/fixture.h"

namespace xscatter {
namespace {

using testing::TempFolder;
using testing::WriteFile;

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// The whole grid: the listed bins hold their values, every other bin 0.
void ExpectGrid(const ForeignSpectrum& s, const std::map<int, double>& bins, int bin_count,
                int dropped) {
  for (int i = 0; i <= kLastBin; ++i) {
    const auto it = bins.find(i);
    EXPECT_EQ(s.spectrum[i], it == bins.end() ? 0.0 : it->second) << "bin " << i;
  }
  EXPECT_EQ(s.bin_count, bin_count);
  EXPECT_EQ(s.dropped_above_grid, dropped);
}

// --- accepted tables -----------------------------------------------------------------------------

struct TextCase {
  std::string name;
  std::string text;
  std::map<int, double> bins;
  int bin_count;
  int dropped = 0;
};

// The row's name, not its bytes, in test listings.
void PrintTo(const TextCase& row, std::ostream* out) { *out << row.name; }

class ParseSpectrumTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(ParseSpectrumTextTest, ResamplesOntoTheGrid) {
  const TextCase& c = GetParam();
  ExpectGrid(ParseSpectrumText(c.text, "table"), c.bins, c.bin_count, c.dropped);
}

// 2 at 10 keV, 4 at 11 keV: bins 20, 21, 22 hold 2, 3, 4 before normalisation.
const std::map<int, double> kTenToEleven = {{20, 0.5}, {21, 0.75}, {22, 1.0}};

INSTANTIATE_TEST_SUITE_P(
    ForeignSpectrum, ParseSpectrumTextTest,
    ::testing::Values(
        TextCase{"PrimaryFileLayoutWithCrLf",
                 " keV   Fluence\r\n5.000E-01  0.000E+00\r\n1.000E+00  2.500E-01\r\n"
                 "1.500E+00  1.000E+00\r\n2.000E+00  5.000E-01\r\n2.500E+00  0.000E+00\r\n",
                 {{2, 0.25}, {3, 1.0}, {4, 0.5}},
                 4},
        TextCase{"TwoColumnCsv", "energy,fluence\n10,2\n11,4\n", kTenToEleven, 22},
        TextCase{"SemicolonsThreeColumns", "E;Phi;err\n10;2;0.1\n11;4;0.2\n", kTenToEleven, 22},
        TextCase{"CommentsHeadersFooters",
                 "# measured beam\nEnergy (keV)\tCounts\n\n10\t2\n11 4\n# end\nTotal 6\n",
                 kTenToEleven, 22},
        TextCase{"CommaSeparatesNeverDecimal", "10,2,7\n11,4,9\n", kTenToEleven, 22},
        TextCase{"BlanksAroundDelimiters", "  10 ,\t2 ; x\n11\t\t4\n", kTenToEleven, 22},
        TextCase{"QuotesAndByteOrderMark",
                 "\xEF\xBB\xBF\"keV\",\"phi\"\r\n\"10\",\"2\"\r\n\"11\",\"4\"\r\n", kTenToEleven,
                 22},
        TextCase{"CarriageReturnsOnly", "keV phi\r10 2\r11 4", kTenToEleven, 22},
        TextCase{"SignsAndExponents", "+1.0E+01 2e0\n1.1e1 +4.\n", kTenToEleven, 22},
        // 10.25 → 2 and 10.75 → 4 put the mean 3 at 10.5 keV; 11 keV lies between 4 and 8.
        TextCase{
            "MidpointBetweenPoints", "10.25 2\n10.75 4\n11.25 8\n", {{21, 0.5}, {22, 1.0}}, 22},
        // The point at 10 keV is on bin 20 and gives its own value; 9.5 keV precedes the file.
        TextCase{"PointOnABin", "9.9 100\n10 3\n10.5 6\n", {{20, 0.5}, {21, 1.0}}, 21},
        // 151 keV still bounds the values up to 150 keV; both points above the grid are dropped.
        TextCase{"PointsAboveTheGridDropped",
                 "149 1\n151 3\n160 5\n",
                 {{298, 0.5}, {299, 0.75}, {300, 1.0}},
                 300,
                 2},
        TextCase{"AtMostOneE100BecomesZero", "10 1\n10.5 1e-101\n11 0\n", {{20, 1.0}}, 20},
        TextCase{"FirstBinIsOnTheGrid", "0 2\n1 4\n", {{1, 0.75}, {2, 1.0}}, 2}),
    [](const auto& info) { return info.param.name; });

// --- rejected tables -----------------------------------------------------------------------------

struct BadTextCase {
  std::string name;
  std::string text;
  int line;
  std::string message;
};

// The row's name, not its bytes, in test listings.
void PrintTo(const BadTextCase& row, std::ostream* out) { *out << row.name; }

class BadSpectrumTextTest : public ::testing::TestWithParam<BadTextCase> {};

TEST_P(BadSpectrumTextTest, NamesTheFileAndLine) {
  const BadTextCase& c = GetParam();
  try {
    ParseSpectrumText(c.text, "m.csv");
    FAIL() << "accepted";
  } catch (const SpectrumFileError& error) {
    EXPECT_EQ(error.line(), c.line);
    EXPECT_EQ(std::string(error.what()), c.message);
  }
}

const std::string kTooFewOne = "m.csv: holds 1 point; at least two (energy, fluence) are needed";
const std::string kNothingOnGrid = "m.csv: no fluence above zero on the grid of 0.5 to 150 keV";

INSTANTIATE_TEST_SUITE_P(
    ForeignSpectrum, BadSpectrumTextTest,
    ::testing::Values(
        BadTextCase{"OnePoint", "keV phi\n10 2\n", 0, kTooFewOne},
        BadTextCase{"NoPoints", "# nothing here\n\n", 0,
                    "m.csv: holds 0 points; at least two (energy, fluence) are needed"},
        BadTextCase{"EnergyRepeated", "10 2\n11 3\n11 4\n", 3,
                    "m.csv, line 3: energy 11 keV is not above the previous point's 11 keV"},
        BadTextCase{"EnergyFallsAfterHeader", "keV phi\n10 2\n9.5 3\n", 3,
                    "m.csv, line 3: energy 9.5 keV is not above the previous point's 10 keV"},
        BadTextCase{"LineCountWithCrLf", "a\r\n10 2\r\n10 3\r\n", 3,
                    "m.csv, line 3: energy 10 keV is not above the previous point's 10 keV"},
        BadTextCase{"LineCountWithCrOnly", "a\r\r10 2\r10 3\r", 4,
                    "m.csv, line 4: energy 10 keV is not above the previous point's 10 keV"},
        BadTextCase{"DecimalCommasCaughtByRepeatedEnergy", "10,0;2,5\n10,5;3,0\n", 2,
                    "m.csv, line 2: energy 10 keV is not above the previous point's 10 keV"},
        BadTextCase{"NegativeFluence", "10 2\n11 -1\n", 2, "m.csv, line 2: fluence -1 is negative"},
        BadTextCase{"NegativeEnergy", "-1 2\n10 3\n", 1,
                    "m.csv, line 1: energy -1 keV is negative"},
        BadTextCase{"FluenceOverflows", "10 2\n11 1e999\n", 2,
                    "m.csv, line 2: fluence \"1e999\" is not a finite number"},
        BadTextCase{"EnergyOverflows", "10 2\n1E400 3\n", 2,
                    "m.csv, line 2: energy \"1E400\" is not a finite number"},
        BadTextCase{"FluenceNotANumber", "10 nan\n", 1,
                    "m.csv, line 1: fluence \"nan\" is not a finite number"},
        BadTextCase{"FluenceWithUnit", "10 2\n11 4keV\n", 2,
                    "m.csv, line 2: fluence \"4keV\" is not a finite number"},
        BadTextCase{"OnlyOneNumber", "10 2\n\n11\n", 3,
                    "m.csv, line 3: only one number; a data line needs energy and fluence"},
        BadTextCase{"TrailingDelimiterOnly", "10,\n11,2\n", 1,
                    "m.csv, line 1: only one number; a data line needs energy and fluence"},
        BadTextCase{"EmptyFluenceField", "10,,2\n11,4\n", 1,
                    "m.csv, line 1: only one number; a data line needs energy and fluence"},
        BadTextCase{"AllZero", "10 0\n11 0\n", 0, kNothingOnGrid},
        BadTextCase{"AllAboveTheGrid", "151 1\n152 2\n", 0, kNothingOnGrid},
        BadTextCase{"AllBelowTheGrid", "0.1 1\n0.4 2\n", 0, kNothingOnGrid}),
    [](const auto& info) { return info.param.name; });

// --- points as arrays ----------------------------------------------------------------------------

struct ArrayCase {
  std::string name;
  std::vector<double> energy;
  std::vector<double> fluence;
  std::string message;  // empty: accepted, with the bins of kTenToEleven
};

// The row's name, not its bytes, in test listings.
void PrintTo(const ArrayCase& row, std::ostream* out) { *out << row.name; }

class ResampleSpectrumTest : public ::testing::TestWithParam<ArrayCase> {};

TEST_P(ResampleSpectrumTest, AcceptsOrNamesThePoint) {
  const ArrayCase& c = GetParam();
  if (c.message.empty()) {
    ExpectGrid(ResampleSpectrum(c.energy, c.fluence), kTenToEleven, 22, 0);
    return;
  }
  try {
    ResampleSpectrum(c.energy, c.fluence);
    FAIL() << "accepted";
  } catch (const SpectrumFileError& error) {
    EXPECT_EQ(std::string(error.what()), c.message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    ForeignSpectrum, ResampleSpectrumTest,
    ::testing::Values(
        ArrayCase{"TwoPoints", {10, 11}, {2, 4}, ""},
        ArrayCase{"LengthsDiffer", {10, 11}, {2}, "spectrum: 2 energies but 1 fluences"},
        ArrayCase{"OnePoint",
                  {10},
                  {2},
                  "spectrum: holds 1 point; at least two (energy, fluence) are needed"},
        ArrayCase{"NaNEnergy",
                  {10, kNaN},
                  {2, 4},
                  "spectrum: point 2: energy nan is not a finite number"},
        ArrayCase{"EnergyNotIncreasing",
                  {10, 10, 11},
                  {2, 3, 4},
                  "spectrum: point 2: energy 10 keV is not above the previous point's 10 keV"},
        ArrayCase{
            "NegativeFluence", {10, 11}, {2, -0.5}, "spectrum: point 2: fluence -0.5 is negative"},
        ArrayCase{"NothingOnTheGrid",
                  {200, 300},
                  {2, 4},
                  "spectrum: no fluence above zero on the grid of 0.5 to 150 keV"}),
    [](const auto& info) { return info.param.name; });

// --- files ---------------------------------------------------------------------------------------

// The program's own P_Spectrum.dat reads back bin for bin: every energy is on its bin, and the
// largest value is already 1.
TEST(ForeignSpectrumFile, ReadsThePrimarySpectrumFileBack) {
  const std::filesystem::path file =
      std::filesystem::path(XSCATTER_REFERENCE_DIR) / "P_Spectrum.dat";
  const ForeignSpectrum s = ReadForeignSpectrum(file);
  std::ifstream in(file);
  std::string header;
  std::getline(in, header);
  int last = 0;
  for (int i = 1; i <= kLastBin; ++i) {
    std::string energy, fluence;
    in >> energy >> fluence;
    EXPECT_EQ(DecimalNumberValue(energy), 0.5 * i);
    EXPECT_EQ(s.spectrum[i], DecimalNumberValue(fluence)) << "bin " << i;
    if (s.spectrum[i] != 0) last = i;
  }
  EXPECT_GT(last, 0);
  EXPECT_EQ(s.bin_count, last);
  EXPECT_EQ(s.dropped_above_grid, 0);
}

TEST(ForeignSpectrumFile, RejectsWhatIsNotASmallRegularFile) {
  TempFolder folder;
  const std::filesystem::path fifo = folder.path / "pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::filesystem::path large = folder.path / "large.dat";
  WriteFile(large, "10 2\n11 4\n");
  std::filesystem::resize_file(large, kMaxSpectrumFileBytes + 1);
  const std::filesystem::path bad = folder.path / "bad.csv";
  WriteFile(bad, "keV,phi\n10,2\n11,-4\n");

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
    SCOPED_TRACE(row.name);
    try {
      ReadForeignSpectrum(row.path);
      ADD_FAILURE() << "accepted";
    } catch (const SpectrumFileError& error) {
      EXPECT_EQ(error.line(), row.line);
      EXPECT_EQ(std::string(error.what()),
                SpectrumFileMessage(row.path.string(), row.line, row.problem));
    }
  }
}

// A file of exactly the largest size is read; blank lines after the points are skipped.
TEST(ForeignSpectrumFile, ReadsAFileOfExactlySixteenMiB) {
  TempFolder folder;
  const std::filesystem::path file = folder.path / "padded.dat";
  std::string text = "10 2\n11 4\n";
  text.resize(kMaxSpectrumFileBytes, '\n');
  WriteFile(file, text);
  ExpectGrid(ReadForeignSpectrum(file), kTenToEleven, 22, 0);
}

}  // namespace
}  // namespace xscatter
