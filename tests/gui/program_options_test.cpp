// SPDX-License-Identifier: MIT
#include "screens/program_options.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace xscatter {
namespace {

namespace fs = std::filesystem;

struct OptionsCase {
  const char* name;
  std::vector<std::string> args;
  const char* error;  // empty when the command line is accepted
  bool help = false;
  bool version = false;
  const char* working_folder = nullptr;
  bool in_documents = false;
  std::vector<std::string> others = {};
};

void PrintTo(const OptionsCase& c, std::ostream* out) { *out << c.name; }

class CommandLine : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(CommandLine, ReadsOptionsOrNamesTheMistake) {
  const OptionsCase& c = GetParam();
  std::string error;
  const auto options = ParseProgramOptions(c.args, error);
  EXPECT_EQ(error, c.error);
  ASSERT_EQ(options.has_value(), error.empty());
  if (!options) return;
  EXPECT_EQ(options->help, c.help);
  EXPECT_EQ(options->version, c.version);
  EXPECT_EQ(options->working_folder,
            c.working_folder ? std::optional<fs::path>(c.working_folder) : std::nullopt);
  EXPECT_EQ(options->in_documents, c.in_documents);
  EXPECT_EQ(options->others, c.others);
}

INSTANTIATE_TEST_SUITE_P(
    ProgramOptions, CommandLine,
    ::testing::Values(
        OptionsCase{"NoArgumentsKeepTheCurrentFolder", {}, ""},
        OptionsCase{"Help", {"--help"}, "", true}, OptionsCase{"ShortHelp", {"-h"}, "", true},
        OptionsCase{"Version", {"--version"}, "", false, true},
        OptionsCase{
            "FolderAsNextArgument", {"--working-folder", "a b/c"}, "", false, false, "a b/c"},
        OptionsCase{
            "FolderAfterEquals", {"--working-folder=/tmp/x=y"}, "", false, false, "/tmp/x=y"},
        OptionsCase{
            "FolderNamedLikeAnOption", {"--working-folder", "--help"}, "", false, false, "--help"},
        OptionsCase{"Documents", {"--in-documents"}, "", false, false, nullptr, true},
        OptionsCase{"ToolkitOptionsAreLeftOver",
                    {"-platform", "offscreen", "--in-documents"},
                    "",
                    false,
                    false,
                    nullptr,
                    true,
                    {"-platform", "offscreen"}},
        OptionsCase{
            "FolderWithoutValue", {"--working-folder"}, "option --working-folder needs a value"},
        OptionsCase{"EmptyFolder",
                    {"--working-folder="},
                    "option --working-folder needs a folder, not an empty text"},
        OptionsCase{"FolderTwice",
                    {"--working-folder", "a", "--working-folder=b"},
                    "option --working-folder given twice"},
        OptionsCase{"FolderAndDocuments",
                    {"--in-documents", "--working-folder", "a"},
                    "--working-folder and --in-documents exclude each other"}),
    [](const ::testing::TestParamInfo<OptionsCase>& info) { return info.param.name; });

// A fresh folder under the system's temporary folder, removed with everything in it.
struct TempFolder {
  TempFolder()
      : path(fs::temp_directory_path() /
             ("xscatter-options-" + std::to_string(std::random_device()()))) {
    fs::create_directories(path);
  }
  ~TempFolder() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
  fs::path path;
};

TEST(PrepareWorkingFolder, CreatesWhatIsMissingAndNamesWhatCannotBe) {
  const struct {
    const char* name;
    const char* folder;  // below the temporary folder
    const char* reason;  // empty when the folder is ready
  } rows[] = {
      {"new nested folder", "new/deeper", ""},
      {"existing folder", "existing", ""},
      {"a file of that name", "file", "Not a directory"},
      {"below a file", "file/below", "Not a directory"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    TempFolder temp;
    fs::create_directory(temp.path / "existing");
    std::ofstream(temp.path / "file") << "x";
    const std::string error = PrepareWorkingFolder(temp.path / row.folder);
    if (row.reason[0] == '\0') {
      EXPECT_EQ(error, "");
      EXPECT_TRUE(fs::is_directory(temp.path / row.folder));
    } else {
      EXPECT_EQ(error, "作業フォルダを用意できません: " + (temp.path / row.folder).string() + "（" +
                           row.reason + "）");
    }
  }
}

}  // namespace
}  // namespace xscatter
