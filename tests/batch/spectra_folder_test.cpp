// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/files.h"
#include "tools/batch/spectra_folder.h"

namespace xscatter::batch {
namespace {

namespace fs = std::filesystem;

// One width for the whole sweep, wide enough for its last run, so the names sort in run order
// (before, runs 9999 and 10000 of one sweep were "9999" and "10000").
TEST(RunFolderNames, OneWidthPerSweep) {
  const struct {
    const char* name;
    std::size_t runs;
    int run;
    const char* folder;
  } cases[] = {
      {"OneRun", 1, 1, "0001"},
      {"FourDigits", 9999, 9999, "9999"},
      {"FirstOfTenThousand", 10000, 1, "00001"},
      {"LastOfTenThousand", 10000, 10000, "10000"},
      {"MostRuns", 100000, 7, "000007"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempFolder temp;
    const SpectraFolder folder(temp.path / "runs", c.runs, false, {});
    EXPECT_EQ(folder.RunName(c.run), c.folder);
  }
}

// A run folder is written only when mkdir made it; whatever else is there under its name (a file,
// a symlink to someone else's folder) fails that run, is left alone, and nothing is written
// through it.
TEST(RunFolders, NeverWriteThroughWhatIsAlreadyThere) {
  testing::TempFolder temp;
  const fs::path runs = temp.path / "runs", victim = temp.path / "victim";
  fs::create_directories(runs);
  fs::create_directories(victim);
  fs::create_directory_symlink(victim, runs / "0001");
  testing::WriteFile(runs / "0002", "a file");
  SpectraFolder folder(runs, 3, false, {});
  const FileSet files = {{"P_Spectrum.dat", "p"}};
  for (const int run : {1, 2}) {
    SCOPED_TRACE(run);
    try {
      folder.WriteRun(run, files);
      ADD_FAILURE() << "written";
    } catch (const SpectraFolderError& error) {
      EXPECT_EQ(std::string(error.what()), "cannot create the folder " +
                                               (runs / folder.RunName(run)).string() + " for run " +
                                               std::to_string(run) + " (File exists)");
    }
  }
  EXPECT_TRUE(fs::is_empty(victim));
  EXPECT_EQ(testing::ReadFile(runs / "0002"), "a file");
  folder.WriteRun(3, files);
  folder.MakeDurable();
  EXPECT_EQ(testing::ReadFile(runs / "0003" / "P_Spectrum.dat"), "p");
}

}  // namespace
}  // namespace xscatter::batch
