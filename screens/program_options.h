// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace xscatter {

// The xscatter command line. Arguments that are not ours are collected in `others`: before the
// toolkit has taken its own options (-platform, -style …) they may be the toolkit's, after that
// they are mistakes.
struct ProgramOptions {
  bool help = false;
  bool version = false;
  std::optional<std::filesystem::path> working_folder;  // --working-folder DIR
  bool in_documents = false;                            // --in-documents
  std::vector<std::string> others;
};

// Reads "--working-folder DIR" and "--working-folder=DIR"; on a malformed command line returns
// nothing and puts the reason into `error`.
std::optional<ProgramOptions> ParseProgramOptions(const std::vector<std::string>& args,
                                                  std::string& error);

// Before the toolkit starts: the mistake in `others` that no toolkit option explains ("unknown
// option --bogus", "unknown argument x"), empty when all of them may be the toolkit's. Caught this
// early, a mistake is reported without a display.
std::string NotToolkitOptions(const std::vector<std::string>& others);

// Creates the working folder with its parents where missing; the message naming the folder and
// the reason when it cannot be had, empty when it is ready.
std::string PrepareWorkingFolder(const std::filesystem::path& folder);

extern const char* const kProgramUsage;

}  // namespace xscatter
