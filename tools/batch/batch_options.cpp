// SPDX-License-Identifier: MIT
#include "tools/batch/batch_options.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string_view>
#include <utility>

#include "model/field_reader.h"
#include "output/picture_formats.h"

namespace xscatter::batch {
namespace {

constexpr std::string_view kValueOptions[] = {
    "--kv",    "--target-angle", "--inherent", "--al",   "--cu",          "--angle",     "--report",
    "--sweep", "--filter",       "--primary",  "--plot", "--spectra-dir", "--match-hvl",
};

// Options without a value: each sets one flag.
constexpr std::pair<std::string_view, bool BatchOptions::*> kFlags[] = {
    {"--help", &BatchOptions::help},           {"-h", &BatchOptions::help},
    {"--version", &BatchOptions::version},     {"--list-materials", &BatchOptions::list_materials},
    {"--quiet", &BatchOptions::quiet},         {"--no-files", &BatchOptions::no_files},
    {"--overwrite", &BatchOptions::overwrite}, {"--doppler", &BatchOptions::doppler},
};

bool TakesValue(std::string_view name) {
  return std::ranges::find(kValueOptions, name) != std::end(kValueOptions);
}

std::optional<FilterOption> ParseFilter(const std::string& text, std::string& error) {
  const std::size_t colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0) {
    error = "a filter is MATERIAL:MM, not '" + text + "'";
    return std::nullopt;
  }
  const std::string thickness = text.substr(colon + 1);
  const std::optional<double> mm = thickness.empty() ? std::nullopt : ParseTableNumber(thickness);
  if (!mm || *mm < 0) {
    error = "the thickness of filter '" + text + "' is not a number of millimetres >= 0";
    return std::nullopt;
  }
  return FilterOption{text.substr(0, colon), *mm};
}

std::optional<MatchHvlOption> ParseMatchHvl(const std::string& text, std::string& error) {
  const std::size_t colon = text.find(':');
  const std::string material = text.substr(0, colon);
  if (colon == std::string::npos || (material != "Al" && material != "Cu")) {
    error = "--match-hvl is Al:MM or Cu:MM (the first HVL in millimetres), not '" + text + "'";
    return std::nullopt;
  }
  const std::string thickness = text.substr(colon + 1);
  const std::optional<double> mm = thickness.empty() ? std::nullopt : ParseTableNumber(thickness);
  if (!mm || !(*mm > 0)) {
    error = "the first HVL of --match-hvl '" + text + "' is not a number of millimetres > 0";
    return std::nullopt;
  }
  return MatchHvlOption{
      material, material == "Al" ? ConditionBox::AddedAluminium : ConditionBox::AddedCopper, *mm};
}

// Rules that concern several options together.
bool Consistent(const BatchOptions& options, std::string& error) {
  for (const Sweep& sweep : options.sweeps) {
    const bool given_too =
        sweep.box ? options.boxes.contains(*sweep.box) : options.angle.has_value();
    const auto same = std::ranges::count_if(
        options.sweeps, [&](const Sweep& other) { return other.name == sweep.name; });
    if (given_too || same > 1) {
      error = sweep.name + " is given more than once";
      return false;
    }
  }
  if (options.match_hvl) {
    const ConditionBox box = options.match_hvl->box;
    const bool given_too =
        options.boxes.contains(box) ||
        std::ranges::any_of(options.sweeps, [box](const Sweep& s) { return s.box == box; });
    if (given_too) {
      error = std::string("--match-hvl ") + options.match_hvl->material + " finds the added " +
              (box == ConditionBox::AddedAluminium ? "aluminium (--al)" : "copper (--cu)") +
              " itself: do not give it too";
      return false;
    }
  }
  if (options.primary_file) {
    const bool conditions =
        !options.boxes.empty() ||
        std::ranges::any_of(options.sweeps, [](const Sweep& s) { return s.box.has_value(); });
    if (conditions || !options.filters.empty() || options.match_hvl) {
      error =
          "--primary takes the primary spectrum from a file: the exposure conditions "
          "(--kv, --target-angle, --inherent, --al, --cu, their sweeps), --filter and "
          "--match-hvl are not allowed with it";
      return false;
    }
  }
  std::size_t runs = 1;
  for (const Sweep& sweep : options.sweeps) {
    runs *= sweep.values.size();
    if (runs > kMaxRuns) {
      error = "the sweeps ask for more than " + std::to_string(kMaxRuns) + " runs";
      return false;
    }
  }
  return true;
}

}  // namespace

const char* const kBatchUsage =
    "usage: xscatter-batch [--kv TEXT] [--target-angle TEXT] [--inherent TEXT] [--al TEXT]\n"
    "                      [--cu TEXT] [--angle TEXT] [--filter MATERIAL:MM]...\n"
    "                      [--primary FILE] [--sweep NAME=VALUES]... [--spectra-dir DIR]\n"
    "                      [--match-hvl Al:MM|Cu:MM] [--doppler] [--overwrite] [--no-files]\n"
    "                      [--report json|jsonl|text|csv] [--plot FILE.png|FILE.svg]\n"
    "                      [--quiet] [--list-materials] [--help] [--version]\n"
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
    "  --filter MATERIAL:MM   a further filter behind the others (see --list-materials)\n"
    "  --primary FILE         scatter the spectrum in FILE (energy in keV, fluence) instead of\n"
    "                         computing one; no exposure conditions or filters then\n"
    "  --sweep NAME=VALUES    one run per value; NAME kv, target-angle, inherent, al, cu or\n"
    "                         angle; VALUES a,b,c or START:STOP:STEP (STOP included)\n"
    "  --match-hvl METAL:MM   find the added Al or Cu (replacing --al or --cu) that gives\n"
    "                         the first half-value layer MM in that metal\n"
    "  --doppler              broaden the incoherent scatter by the electrons' motion (Compton\n"
    "                         profiles of Data/WaterCompton.csv); each primary bin keeps its\n"
    "                         photons\n"
    "  --spectra-dir DIR      write the files of run N into DIR/N, zero-padded to one width\n"
    "                         (at least 4 digits), and DIR/index.csv; a sweep writes no\n"
    "                         spectrum files without it\n"
    "  --overwrite            let --spectra-dir remove the run folders of an earlier sweep\n"
    "  --no-files             write no spectrum file, only the report\n"
    "  --report FORMAT        beam-quality figures on standard output: json, jsonl (one\n"
    "                         object a line), text or csv, written as each run finishes\n"
    "  --quiet                no progress line on a terminal's standard error\n"
    "  --plot FILE            the charts of the scatter screen as a PNG or SVG picture\n"
    "\n"
    "Exit status: 0 done, 1 table or file error, 2 entry rejected or bad command line,\n"
    "130 or 143 interrupted (SIGINT, SIGTERM) after the runs reported.\n";

bool BatchOptions::Scatters() const {
  return angle.has_value() ||
         std::ranges::any_of(sweeps, [](const Sweep& s) { return !s.box.has_value(); });
}

std::optional<BatchOptions> ParseBatchOptions(const std::vector<std::string>& args,
                                              std::string& error) {
  BatchOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const auto* flag = std::ranges::find(kFlags, arg, [](const auto& f) { return f.first; });
    if (flag != std::end(kFlags)) {
      options.*(flag->second) = true;
      continue;
    }
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    if (!TakesValue(name)) {
      error = arg.starts_with("-") ? "unknown option " + name : "unexpected argument '" + arg + "'";
      return std::nullopt;
    }
    std::string value;
    if (equals != std::string::npos) {
      value = arg.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      error = "option " + name + " needs a value";
      return std::nullopt;
    }

    // A box may be empty; a file or folder name may not.
    const bool names_a_file = name == "--primary" || name == "--plot" || name == "--spectra-dir";
    if (names_a_file && value.empty()) {
      error = "option " + name + " needs a file or folder name";
      return std::nullopt;
    }
    if (name == "--angle") {
      options.angle = value;
    } else if (name == "--report") {
      const std::pair<std::string_view, ReportFormat> formats[] = {{"json", ReportFormat::Json},
                                                                   {"jsonl", ReportFormat::Jsonl},
                                                                   {"text", ReportFormat::Text},
                                                                   {"csv", ReportFormat::Csv}};
      const auto* format = std::ranges::find(formats, value, [](const auto& f) { return f.first; });
      if (format == std::end(formats)) {
        error = "--report is json, text or csv, or jsonl for JSON lines, not '" + value + "'";
        return std::nullopt;
      }
      options.report = format->second;
    } else if (name == "--sweep") {
      // A repeated sweep is refused before its values are made.
      const std::string_view swept = std::string_view(value).substr(0, value.find('='));
      if (std::ranges::any_of(options.sweeps, [&](const Sweep& s) { return s.name == swept; })) {
        error = std::string(swept) + " is given more than once";
        return std::nullopt;
      }
      std::optional<Sweep> sweep = ParseSweep(value, kMaxRuns, error);
      if (!sweep) {
        error = "--sweep " + value + ": " + error;
        return std::nullopt;
      }
      options.sweeps.push_back(std::move(*sweep));
    } else if (name == "--filter") {
      std::optional<FilterOption> filter = ParseFilter(value, error);
      if (!filter) return std::nullopt;
      options.filters.push_back(std::move(*filter));
    } else if (name == "--primary") {
      options.primary_file = value;
    } else if (name == "--plot") {
      if (!PictureFormatOf(value)) {
        error = "--plot needs a file name ending in .png or .svg, not '" + value + "'";
        return std::nullopt;
      }
      options.plot_file = value;
    } else if (name == "--match-hvl") {
      options.match_hvl = ParseMatchHvl(value, error);
      if (!options.match_hvl) return std::nullopt;
    } else if (name == "--spectra-dir") {
      options.spectra_dir = value;
    } else {
      std::optional<ConditionBox> box;
      SweepTarget(std::string_view(name).substr(2), box);
      options.boxes[*box] = value;
    }
  }
  if (!Consistent(options, error)) return std::nullopt;
  return options;
}

}  // namespace xscatter::batch
