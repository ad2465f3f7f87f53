// SPDX-License-Identifier: MIT
#include "model/foreign_spectrum.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <random>
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

// 2 photons at 10 keV in the channel 9.5..10.5, 4 at 11 keV in 10.5..11.5: the bins from 9.25 to
// 11.75 keV (19 to 23) receive 0.5, 1, 0.5 + 1, 2 and 1, the 6 photons, before normalisation.
const std::map<int, double> kTenToEleven = {
    {19, 0.25}, {20, 0.5}, {21, 0.75}, {22, 1.0}, {23, 0.5}};

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
    int bin_count = 23;
    int dropped = 0;
  } rows[] = {
      {"SemicolonsThreeColumns", "E;Phi;err\n10;2;0.1\n11;4;0.2\n"},
      {"CommentsHeadersFooters",
       "# measured beam\nEnergy (keV)\tCounts\n\n10\t2\n11 4\n# end\nTotal 6\n"},
      {"BlanksAroundDelimiters", "  10 ,\t2 ; x\n11\t\t4\n"},
      {"CommaInATrailingComment", "10;2\n11;4;checked, ok\n"},
      {"CommasBetweenDigitsWithoutSemicolons", "10,2\n11,4\n"},
      {"QuotesAndByteOrderMark", "\xEF\xBB\xBF\"keV\",\"phi\"\r\n\"10\",\"2\"\r\n\"11\",\"4\"\r\n"},
      {"CarriageReturnsOnly", "keV phi\r10 2\r11 4"},
      {"SignsAndExponents", "+1.0E+01 2e0\n1.1e1 +4.\n"},
      // Channels 10..10.5, 10.5..11 and 11..11.5 keV, each split in half between two bins:
      // bin 20 gets 1, bin 21 1 + 2, bin 22 2 + 4, bin 23 4.
      {"ChannelsAcrossBinEdges",
       "10.25 2\n10.75 4\n11.25 8\n",
       {{20, 1.0 / 6}, {21, 0.5}, {22, 1.0}, {23, 4.0 / 6}}},
      // Channels 9.85..9.95 and 9.95..10.25 keV lie within bin 20 (9.75..10.25) and add up;
      // 10.25..10.75 is bin 21.
      {"ChannelsWithinOneBinAddUp", "9.9 100\n10 3\n10.5 6\n", {{20, 1.0}, {21, 6.0 / 103}}, 21},
      // 148..150 keV (1 photon) gives 0.125 to bin 296, 0.25 to bins 297 to 299 and 0.125 to bin
      // 300 (149.75..150.25), which also gets a quarter of 150..152 keV's 2 photons: 0.375. The
      // rest and the channel of 153 keV lie above the grid. Both points above 150 keV are dropped.
      {"PointsAboveTheGridDropped",
       "149 1\n151 2\n153 5\n",
       {{296, 1.0 / 3}, {297, 2.0 / 3}, {298, 2.0 / 3}, {299, 2.0 / 3}, {300, 1.0}},
       300,
       2},
      {"AtMostOneE100BecomesZero", "10 1\n10.5 1e-101\n11 0\n", {{20, 1.0}}, 20},
      // The first channel is as wide as the second, 1 keV, but begins at 0 keV, not -0.5: of its
      // 2 photons in 0..0.5 keV, half fall below bin 1 (0.25..0.75) and are lost.
      {"ChannelOfAPointAtZeroStartsAtZero", "0 2\n1 4\n", {{1, 1.0}, {2, 1.0}, {3, 0.5}}, 3},
      // Three channels of 0.1 keV inside bin 20 whose sum overflows double.
      {"HugeFluencesDoNotOverflow", "9.9 1.7e308\n10 1.7e308\n10.1 1.7e308\n", {{20, 1.0}}, 20},
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
      {"NegativeFluence", "10 2\n11 -1\n", 2, "fluence -1 is negative"},
      {"NegativeEnergy", "-1 2\n10 3\n", 1, "energy -1 keV is negative"},
      {"FluenceOverflows", "10 2\n11 1e999\n", 2, "fluence \"1e999\" is not a finite number"},
      {"EnergyOverflows", "10 2\n1E400 3\n", 2, "energy \"1E400\" is not a finite number"},
      {"FluenceWithUnit", "10 2\n11 4keV\n", 2, "fluence \"4keV\" is not a finite number"},
      {"OnlyOneNumber", "10 2\n\n11\n", 3, one_number},
      {"EmptyFluenceField", "10,,2\n11,4\n", 1, one_number},
      {"AllZero", "10 0\n11 0\n", 0, kNothingOnGrid},
      {"AllAboveTheGrid", "151 1\n152 2\n", 0, kNothingOnGrid},
      // The second channel, 0.15..0.25 keV, ends where bin 1 begins.
      {"AllBelowTheGrid", "0.1 1\n0.2 2\n", 0, kNothingOnGrid},
  };
  for (const auto& row : rows) {
    const std::string where = row.line > 0 ? "m.csv, line " + std::to_string(row.line) : "m.csv";
    EXPECT_EQ(ErrorOf([&] { ParseSpectrumText(row.text, "m.csv"); }),
              std::pair(row.line, where + ": " + row.problem))
        << row.name;
  }
}

// Input that is not a table of numbers as this reader knows them: each is refused with its kind,
// the line and a message that stays short and printable whatever the file holds.
TEST(ForeignSpectrum, HostileTextsAreNamedNotMisread) {
  const std::string comma =
      "separates fields by ';' and has ',' between digits (a decimal comma?); write decimal "
      "points as '.'";
  const std::string wide = "is not 8-bit text but ";
  const std::string utf8 = "; save it as UTF-8 or ASCII";
  const std::string forty_x(40, 'x');
  const std::string forty_zeros(40, '0');
  const struct {
    const char* name;
    std::string text;
    SpectrumFault kind;
    int line;
    std::string problem;
  } rows[] = {
      {"DecimalCommasWithSemicolons", "keV;phi\n10,5;20,2\n11,0;30,1\n",
       SpectrumFault::DecimalComma, 2, comma},
      // Read field by field, this was 10 keV and 0 before: not a repeated energy but a flat line.
      {"DecimalCommasFirstLine", "10,0;2,5\n10,5;3,0\n", SpectrumFault::DecimalComma, 1, comma},
      {"Utf16LittleEndianWithMark",
       std::string("\xFF\xFE"
                   "1\0"
                   "0\0"
                   " \0"
                   "2\0",
                   10),
       SpectrumFault::WideEncoding, 0,
       wide + "UTF-16 (little-endian, with byte-order mark)" + utf8},
      {"Utf16BigEndianWithMark",
       std::string("\xFE\xFF"
                   "\0"
                   "1\0"
                   "0",
                   6),
       SpectrumFault::WideEncoding, 0, wide + "UTF-16 (big-endian, with byte-order mark)" + utf8},
      {"Utf16LittleEndianNoMark",
       std::string("1\0"
                   "0\0"
                   " \0"
                   "2\0",
                   8),
       SpectrumFault::WideEncoding, 0, wide + "UTF-16 (little-endian)" + utf8},
      {"Utf16BigEndianNoMark",
       std::string("\0"
                   "1\0"
                   "0\0"
                   " \0"
                   "2",
                   8),
       SpectrumFault::WideEncoding, 0, wide + "UTF-16 (big-endian)" + utf8},
      // "10 2\n" is bytes 1 to 5, "11" 6 and 7.
      {"NulByteInside", std::string("10 2\n11\0 4\n", 11), SpectrumFault::WideEncoding, 0,
       wide + "binary data (a NUL byte at byte 8)" + utf8},
      {"FifteenMegabyteField", "10 2\n11 " + std::string(15u << 20, 'x') + "\n",
       SpectrumFault::FluenceNotFinite, 2, "fluence \"" + forty_x + "…\" is not a finite number"},
      {"MegabyteNumberNotAbove", "10 2\n" + std::string(1u << 20, '0') + "9 4\n",
       SpectrumFault::EnergyNotAbove, 2,
       "energy " + forty_zeros +
           "… keV is not above the "
           "previous point's 10 keV"},
      {"ControlBytesEscaped", "10 2\n11 \x1B[31m\x07\n", SpectrumFault::FluenceNotFinite, 2,
       "fluence \"\\x1B[31m\\x07\" is not a finite number"},
      {"BrokenUtf8Escaped", "10 2\n11 \xC3(\n", SpectrumFault::FluenceNotFinite, 2,
       "fluence \"\\xC3(\" is not a finite number"},
      {"Utf8KeptWhole", "10 2\n11 4µ\n", SpectrumFault::FluenceNotFinite, 2,
       "fluence \"4µ\" is not a finite number"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    try {
      ParseSpectrumText(row.text, "m.csv");
      ADD_FAILURE() << "accepted";
    } catch (const SpectrumFileError& error) {
      EXPECT_EQ(error.fault.kind, row.kind);
      EXPECT_EQ(error.fault.source, "m.csv");
      EXPECT_EQ(error.line(), row.line);
      EXPECT_LE(error.fault.text.size(), SpectrumFileFault::kKeptTextBytes);
      EXPECT_EQ(error.what(), SpectrumFileMessage("m.csv", row.line, row.problem));
    }
  }
}

// The fields of a fault found in a file: the file, the line and the field as read.
TEST(ForeignSpectrum, FaultsCarryTheirFields) {
  try {
    ParseSpectrumText("keV phi\n10 2\n9.5 3\n", "beam.txt");
    FAIL() << "accepted";
  } catch (const SpectrumFileError& error) {
    EXPECT_EQ(error.fault.kind, SpectrumFault::EnergyNotAbove);
    EXPECT_EQ(error.fault.line, 3);
    EXPECT_EQ(error.fault.text, "9.5");
    EXPECT_EQ(error.fault.previous_text, "10");
    EXPECT_FALSE(error.fault.text_cut);
  }
  TempFolder folder;
  try {
    ReadForeignSpectrum(folder.path / "none.dat");
    FAIL() << "accepted";
  } catch (const SpectrumFileError& error) {
    EXPECT_EQ(error.fault.kind, SpectrumFault::CannotOpen);
    EXPECT_EQ(error.fault.error_number, ENOENT);
    EXPECT_EQ(error.fault.source, (folder.path / "none.dat").string());
  }
}

// Problems are reported as "spectrum: problem", naming the point where there is one.
TEST(ForeignSpectrum, PointArraysResampleOrNameThePoint) {
  ExpectGrid(ResampleSpectrum({10, 11}, {2, 4}), kTenToEleven, 23);
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
      // The first channel begins at 155 keV, 5 keV below its point.
      {"NothingOnTheGrid", {160, 170}, {2, 4}, kNothingOnGrid},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ErrorOf([&] { ResampleSpectrum(row.energy, row.fluence); }),
              std::pair(0, "spectrum: " + row.problem))
        << row.name;
  }
}

// Points on the grid's own energies, consecutive or not, keep their values bin for bin: their
// channels are the bins themselves.
TEST(ForeignSpectrum, PointsOnTheGridKeepTheirValues) {
  std::vector<double> energy, fluence;
  for (int i = 7; i <= 300; i += 1) {
    energy.push_back(0.5 * i);
    fluence.push_back(1 + (i * 37 % 101) / 7.0);
  }
  const ForeignSpectrum s = ResampleSpectrum(energy, fluence);
  double largest = 0;
  for (const double f : fluence) largest = std::max(largest, f);
  for (int i = 1; i <= kLastBin; ++i) {
    EXPECT_EQ(s.spectrum[i], i < 7 ? 0 : fluence[i - 7] / largest) << "bin " << i;
  }
  EXPECT_EQ(s.bin_count, 300);
}

// A measured line 0.35 keV wide (FWHM), sampled every 0.01 keV, anywhere between 5 and 145 keV,
// keeps its photons: counted against a reference channel of 1000 photons that is bin 6 exactly.
TEST(ForeignSpectrum, NarrowLinesKeepTheirPhotonsWhereverTheyFall) {
  std::mt19937 random(20260517);
  std::uniform_real_distribution<double> centre_at(5, 145);
  const double sigma = 0.35 / (2 * std::sqrt(2 * std::log(2.0)));
  for (int run = 0; run < 50; ++run) {
    const double centre = centre_at(random);
    std::vector<double> energy = {2.5, 3.0, 3.5};
    std::vector<double> fluence = {0, 1000, 0};
    double line_photons = 0;
    for (int k = -100; k <= 100; ++k) {
      const double e = centre + 0.01 * k;
      energy.push_back(e);
      fluence.push_back(500 * std::exp(-0.5 * std::pow((e - centre) / sigma, 2)));
      line_photons += fluence.back();
    }
    const ForeignSpectrum s = ResampleSpectrum(energy, fluence);
    double kept = 0;
    for (int i = 7; i <= kLastBin; ++i) kept += s.spectrum[i];
    EXPECT_NEAR(kept / s.spectrum[6] * 1000 / line_photons, 1, 1e-12) << "line at " << centre;
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
  ExpectGrid(ReadForeignSpectrum(padded), kTenToEleven, 23);
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
