// SPDX-License-Identifier: MIT
#include "screens/program_options.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <system_error>

namespace xscatter {

namespace fs = std::filesystem;

const char* const kProgramUsage =
    "usage: xscatter [--working-folder DIR | --in-documents] [--help] [--version]\n"
    "\n"
    "Computes the spectrum of an X-ray tube and the scatter spectra of water, on Japanese\n"
    "screens. The spectrum files are written to the working folder and the tables read from its\n"
    "Data folder, or, where it has none, from the tables installed with the program.\n"
    "\n"
    "  --working-folder DIR  work in DIR (created when missing) instead of the current folder\n"
    "  --in-documents        work in the folder xscatter of the documents folder\n"
    "  --help                print this text and exit\n"
    "  --version             print the version and exit\n"
    "\n"
    "Exit status: 0 ended by the user, 1 tables or working folder unusable, 2 bad command line.\n";

std::optional<ProgramOptions> ParseProgramOptions(const std::vector<std::string>& args,
                                                  std::string& error) {
  ProgramOptions options;
  const std::string folder_option = "--working-folder";
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--in-documents") {
      options.in_documents = true;
    } else if (arg == folder_option || arg.starts_with(folder_option + "=")) {
      std::string value;
      if (arg != folder_option) {
        value = arg.substr(folder_option.size() + 1);
      } else if (i + 1 < args.size()) {
        value = args[++i];
      } else {
        error = "option --working-folder needs a value";
        return std::nullopt;
      }
      if (value.empty()) {
        error = "option --working-folder needs a folder, not an empty text";
        return std::nullopt;
      }
      if (options.working_folder) {
        error = "option --working-folder given twice";
        return std::nullopt;
      }
      options.working_folder = value;
    } else {
      options.others.push_back(arg);
    }
  }
  if (options.working_folder && options.in_documents) {
    error = "--working-folder and --in-documents exclude each other";
    return std::nullopt;
  }
  return options;
}

namespace {

// The toolkit's own options (with one or two dashes), those that take the next argument as value
// and those that stand alone.
constexpr std::array<std::string_view, 27> kToolkitOptionsWithValue = {"platform",
                                                                       "platformpluginpath",
                                                                       "platformtheme",
                                                                       "plugin",
                                                                       "qwindowgeometry",
                                                                       "geometry",
                                                                       "qwindowtitle",
                                                                       "title",
                                                                       "qwindowicon",
                                                                       "icon",
                                                                       "session",
                                                                       "style",
                                                                       "stylesheet",
                                                                       "display",
                                                                       "name",
                                                                       "visual",
                                                                       "ncols",
                                                                       "fn",
                                                                       "font",
                                                                       "bg",
                                                                       "background",
                                                                       "fg",
                                                                       "foreground",
                                                                       "btn",
                                                                       "button",
                                                                       "im",
                                                                       "inputstyle"};
constexpr std::array<std::string_view, 8> kToolkitFlags = {
    "reverse", "widgetcount", "sync", "nograb", "dograb", "testability", "cmap", "qmljsdebugger"};

template <std::size_t N>
bool Holds(const std::array<std::string_view, N>& names, std::string_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

std::string NotToolkitOptions(const std::vector<std::string>& others) {
  for (std::size_t i = 0; i < others.size(); ++i) {
    std::string_view name = others[i];
    if (!name.starts_with('-')) return "unknown argument " + others[i];
    name.remove_prefix(name.starts_with("--") ? 2 : 1);
    const bool inline_value = name.find('=') != std::string_view::npos;
    name = name.substr(0, name.find('='));
    if (Holds(kToolkitFlags, name) || (inline_value && Holds(kToolkitOptionsWithValue, name))) {
      continue;
    }
    if (!Holds(kToolkitOptionsWithValue, name)) return "unknown option " + others[i];
    ++i;  // its value
  }
  return "";
}

std::string PrepareWorkingFolder(const fs::path& folder) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (!ec && !fs::is_directory(folder, ec) && !ec)
    ec = std::make_error_code(std::errc::not_a_directory);
  if (!ec) return "";
  std::error_code absolute_ec;
  const fs::path shown = fs::absolute(folder, absolute_ec);
  return "作業フォルダを用意できません: " +
         (absolute_ec ? folder : shown.lexically_normal()).string() + "（" + ec.message() + "）";
}

}  // namespace xscatter
