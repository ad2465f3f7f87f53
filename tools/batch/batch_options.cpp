#include "tools/batch/batch_options.h"

#include <string_view>
#include <utility>

namespace xscatter::batch {

const char* const kBatchUsage =
    "usage: xscatter-batch [--kv TEXT] [--target-angle TEXT] [--inherent TEXT] [--al TEXT]\n"
    "                      [--cu TEXT] [--angle TEXT] [--help] [--version]\n"
    "\n"
    "Computes the primary spectrum for the exposure conditions and writes P_Spectrum.dat; with\n"
    "--angle also the scatter spectra, written to Inc_Spectrum.dat and Coh_Spectrum.dat.\n"
    "Each TEXT is read exactly as the program's box would read it (\"100kV\" is 100, an empty\n"
    "text is 0).\n"
    "Absent boxes keep their default texts: --kv 100 --target-angle 12 --inherent 2.5 --al 0\n"
    "--cu 0. The tables are read from Data/ in the current directory or, where there is\n"
    "nothing of that name, from the tables installed with the tool; the files are written in\n"
    "the current directory.\n"
    "\n"
    "Exit status: 0 done, 1 table or file error, 2 entry rejected or bad command line.\n";

std::optional<BatchOptions> ParseBatchOptions(const std::vector<std::string>& args,
                                              std::string& error) {
  BatchOptions options;
  const std::pair<std::string_view, ConditionBox> boxes[] = {
      {"--kv", ConditionBox::TubeVoltage},
      {"--target-angle", ConditionBox::TargetAngle},
      {"--inherent", ConditionBox::InherentFiltration},
      {"--al", ConditionBox::AddedAluminium},
      {"--cu", ConditionBox::AddedCopper},
  };

  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      continue;
    }
    if (arg == "--version") {
      options.version = true;
      continue;
    }
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    std::string value;
    if (equals != std::string::npos) {
      value = arg.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      error = "option " + name + " needs a value";
      return std::nullopt;
    }

    bool known = false;
    for (const auto& [box_name, box] : boxes) {
      if (name == box_name) {
        options.boxes[box] = value;
        known = true;
      }
    }
    if (name == "--angle") {
      options.angle = value;
      known = true;
    }
    if (!known) {
      error = "unknown option " + name;
      return std::nullopt;
    }
  }
  return options;
}

}  // namespace xscatter::batch
