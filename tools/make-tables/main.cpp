// make-tables: writes the program's three data tables, Mus.dat, Water.csv and Water.xfs, from
// xraylib into one folder.

#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "physics_library.h"
#include "table_files.h"

namespace {

using xscatter::tables::WaterWeights;

constexpr std::string_view kUsage =
    "usage: make-tables [--weights constant|cross-sections] OUTPUT_FOLDER\n"
    "  writes Mus.dat, Water.csv and Water.xfs into OUTPUT_FOLDER (created if missing)\n"
    "  --weights constant        both water weights r_e^2/2 (default)\n"
    "  --weights cross-sections  coherent and incoherent mass cross-sections of H2O\n";

void WriteFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) {
    throw std::runtime_error("cannot write " + path.string());
  }
}

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
    std::filesystem::create_directories(folder);
    WriteFile(folder / "Mus.dat", xscatter::tables::AttenuationTable());
    WriteFile(folder / "Water.csv", xscatter::tables::WaterWeightTable(weights));
    WriteFile(folder / "Water.xfs", xscatter::tables::ScatterFunctionTable());
  } catch (const std::exception& error) {
    std::cerr << "make-tables: " << error.what() << '\n';
    return 1;
  }
  std::cout << "make-tables: wrote Mus.dat, Water.csv and Water.xfs (xraylib "
            << xscatter::tables::LibraryVersion() << ") to " << folder.string() << '\n';
  return 0;
}
