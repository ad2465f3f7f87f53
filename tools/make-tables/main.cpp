// SPDX-License-Identifier: MIT
// make-tables: writes the program's data tables from xraylib into one folder: Mus.dat, Water.csv
// and Water.xfs for the screens, Air.csv and Materials.csv for the batch tool's reports and
// filters, WaterCompton.csv for Doppler-broadened incoherent scatter.

#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "file_replace.h"
#include "physics_library.h"
#include "table_files.h"

namespace {

using xscatter::tables::WaterWeights;

constexpr std::string_view kUsage =
    "usage: make-tables [--weights constant|cross-sections] OUTPUT_FOLDER\n"
    "  writes Mus.dat, Water.csv, Water.xfs, Air.csv, Materials.csv and WaterCompton.csv into\n"
    "  OUTPUT_FOLDER (created if missing)\n"
    "  --weights constant        both water weights r_e^2/2 (default)\n"
    "  --weights cross-sections  coherent and incoherent mass cross-sections of H2O\n";

}  // namespace

int main(int argc, char** argv) {
  WaterWeights weights = WaterWeights::Constant;
  std::filesystem::path folder;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--weights" && i + 1 < argc) {
      const std::string_view kind = argv[++i];
      if (kind == "constant") {
        weights = WaterWeights::Constant;
      } else if (kind == "cross-sections") {
        weights = WaterWeights::CrossSections;
      } else {
        std::cerr << "make-tables: unknown weights '" << kind << "'\n" << kUsage;
        return 2;
      }
    } else if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    } else if (folder.empty() && !arg.starts_with("-")) {
      folder = arg;
    } else {
      std::cerr << "make-tables: unexpected argument '" << arg << "'\n" << kUsage;
      return 2;
    }
  }
  if (folder.empty()) {
    std::cerr << kUsage;
    return 2;
  }

  try {
    // Every table is made before the first is written, so a library error changes no file.
    const std::vector<std::pair<const char*, std::string>> files = {
        {"Mus.dat", xscatter::tables::AttenuationTable()},
        {"Water.csv", xscatter::tables::WaterWeightTable(weights)},
        {"Water.xfs", xscatter::tables::ScatterFunctionTable()},
        {"Air.csv", xscatter::tables::AirTable()},
        {"Materials.csv", xscatter::tables::MaterialsTable()},
        {"WaterCompton.csv", xscatter::tables::WaterComptonTable()},
    };
    std::filesystem::create_directories(folder);
    for (const auto& [name, text] : files) xscatter::tables::ReplaceFile(folder / name, text);
  } catch (const std::exception& error) {
    std::cerr << "make-tables: " << error.what() << '\n';
    return 1;
  }
  std::cout << "make-tables: wrote Mus.dat, Water.csv, Water.xfs, Air.csv, Materials.csv and "
               "WaterCompton.csv (xraylib "
            << xscatter::tables::LibraryVersion() << ") to " << folder.string() << '\n';
  return 0;
}
