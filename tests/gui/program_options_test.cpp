// SPDX-License-Identifier: MIT
#include "screens/program_options.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace xscatter {
namespace {

namespace fs = std::filesystem;

// What the command line was read as, one word per option, or the mistake named.
std::string Outcome(const std::vector<std::string>& args) {
  std::string error;
  const auto options = ParseProgramOptions(args, error);
  if (!options) return "error: " + error;
  std::string outcome = error;  // empty as the command line was accepted
  if (options->help) outcome += " help";
  if (options->version) outcome += " version";
  if (options->working_folder) outcome += " folder=" + options->working_folder->string();
  if (options->in_documents) outcome += " documents";
  for (const std::string& other : options->others) outcome += " other=" + other;
  return outcome;
}

TEST(ProgramOptions, ReadsTheCommandLineOrNamesTheMistake) {
  const struct {
    const char* name;
    std::vector<std::string> args;
    const char* outcome;
  } rows[] = {{"no arguments keep the current folder", {}, ""},
              {"help", {"--help"}, " help"},
              {"short help", {"-h"}, " help"},
              {"version", {"--version"}, " version"},
              {"folder as next argument", {"--working-folder", "a b/c"}, " folder=a b/c"},
              {"folder after equals", {"--working-folder=/tmp/x=y"}, " folder=/tmp/x=y"},
              {"folder named like an option", {"--working-folder", "--help"}, " folder=--help"},
              {"documents", {"--in-documents"}, " documents"},
              {"toolkit options are left over",
               {"-platform", "offscreen", "--in-documents"},
               " documents other=-platform other=offscreen"},
              {"folder without value",
               {"--working-folder"},
               "error: option --working-folder needs a value"},
              {"empty folder",
               {"--working-folder="},
               "error: option --working-folder needs a folder, not an empty text"},
              {"folder twice",
               {"--working-folder", "a", "--working-folder=b"},
               "error: option --working-folder given twice"},
              {"folder and documents",
               {"--in-documents", "--working-folder", "a"},
               "error: --working-folder and --in-documents exclude each other"}};
  for (const auto& row : rows) EXPECT_EQ(Outcome(row.args), row.outcome) << row.name;
}

TEST(NotToolkitOptions, LeavesTheToolkitsOptionsAndNamesTheFirstMistake) {
  const std::pair<std::vector<std::string>, const char*> rows[] = {
      {{}, ""},
      {{"-platform", "offscreen", "-reverse"}, ""},
      {{"--platform", "xcb", "-style=Fusion", "--qwindowtitle", "a b"}, ""},
      {{"--bogus"}, "unknown option --bogus"},
      {{"-platform", "xcb", "-bogus"}, "unknown option -bogus"},
      {{"stray"}, "unknown argument stray"},
      {{"-reverse", "stray"}, "unknown argument stray"},
      {{"-reverse=x"}, ""},
      {{"-bogus=-platform"}, "unknown option -bogus=-platform"},
      // A value-taking option last: the toolkit names the missing value itself.
      {{"-style"}, ""}};
  for (const auto& [args, mistake] : rows) {
    std::string joined;
    for (const std::string& arg : args) joined += arg + " ";
    EXPECT_EQ(NotToolkitOptions(args), mistake) << joined;
  }
}

TEST(PrepareWorkingFolder, CreatesWhatIsMissingAndNamesWhatCannotBe) {
  QTemporaryDir temp;
  const fs::path root = temp.path().toStdString();
  fs::create_directory(root / "existing");
  std::ofstream(root / "file") << "x";
  // Folder below the temporary folder; the reason it cannot be had, empty when it is ready.
  const std::pair<const char*, std::string> rows[] = {{"new/deeper", ""},
                                                      {"existing", ""},
                                                      {"file", "Not a directory"},
                                                      {"file/below", "Not a directory"}};
  for (const auto& [folder, reason] : rows) {
    SCOPED_TRACE(folder);
    const std::string error = PrepareWorkingFolder(root / folder);
    EXPECT_EQ(error, reason.empty() ? ""
                                    : "作業フォルダを用意できません: " + (root / folder).string() +
                                          "（" + reason + "）");
    EXPECT_EQ(fs::is_directory(root / folder), reason.empty());
  }
}

}  // namespace
}  // namespace xscatter
