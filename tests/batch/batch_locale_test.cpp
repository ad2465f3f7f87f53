// SPDX-License-Identifier: MIT
// The tool run as a program under a locale with a decimal comma: with --plot, Qt sets the C
// library's locale from the environment, yet every number printed or drawn keeps its period.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/files.h"

namespace xscatter::batch {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;

struct Output {
  std::string out, err, picture, primary;
};

// Runs the tool in a fresh working folder with LANG and LC_ALL set to `locale`.
Output RunUnder(const std::string& locale, const std::vector<std::string>& args,
                const char* picture) {
  const testing::TempFolder folder;
  fs::copy(XSCATTER_DATA_DIR, folder.path / "Data");
  std::string command = "cd '" + folder.path.string() + "' && LANG=" + locale +
                        " LC_ALL=" + locale + " '" XSCATTER_BATCH "'";
  for (const std::string& arg : args) command += " '" + arg + "'";
  command += " > out.txt 2> err.txt";
  const int status = std::system(command.c_str());
  EXPECT_EQ(WEXITSTATUS(status), 0) << locale << ": " << ReadFile(folder.path / "err.txt");
  Output output{ReadFile(folder.path / "out.txt"), ReadFile(folder.path / "err.txt"), "", ""};
  if (picture) output.picture = ReadFile(folder.path / picture);
  if (fs::exists(folder.path / "P_Spectrum.dat")) {
    output.primary = ReadFile(folder.path / "P_Spectrum.dat");
  }
  return output;
}

struct Row {
  const char* name;
  std::vector<std::string> args;
  const char* picture;
  const char* shown;  // a number the output must show with its period
};

const Row kRows[] = {
    {"plot_and_text_report",
     {"--kv", "80.5", "--angle", "90", "--plot", "p.svg", "--report", "text"},
     "p.svg",
     "2.5  mm Al"},
    {"plot_and_json_report",
     {"--kv", "80.5", "--angle", "90", "--plot", "p.svg", "--report", "json"},
     "p.svg",
     "\"kv\": 80.5"},
    {"plot_and_csv_report",
     {"--kv", "80.5", "--angle", "90", "--plot", "p.png", "--report", "csv"},
     "p.png",
     ",80.5,"},
    {"sweep_plot_and_text_report",
     {"--sweep", "angle=30.5,90", "--plot", "s.svg", "--report", "text"},
     "s.svg",
     "30.5  degrees"},
    {"materials", {"--list-materials"}, nullptr, "2.699"},
};

TEST(BatchLocale, PeriodsUnderADecimalCommaLocale) {
  if (!testing::GermanLocaleLoadable()) {
    GTEST_SKIP() << "no de_DE.UTF-8 locale, and localedef could not make one";
  }
  const std::regex decimal_comma("[0-9],[0-9]");
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.name);
    const Output plain = RunUnder("C", row.args, row.picture);
    const Output german = RunUnder("de_DE.UTF-8", row.args, row.picture);
    EXPECT_NE(german.out.find(row.shown), std::string::npos) << german.out;
    EXPECT_EQ(german.out, plain.out);
    EXPECT_EQ(german.err, plain.err);
    EXPECT_EQ(german.picture, plain.picture);
    EXPECT_EQ(german.primary, plain.primary);
    if (std::string(row.shown).front() != ',') {
      EXPECT_FALSE(std::regex_search(german.out, decimal_comma)) << german.out;
    }
  }
}

}  // namespace
}  // namespace xscatter::batch
