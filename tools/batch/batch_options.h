// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/entries.h"
#include "tools/batch/report.h"
#include "tools/batch/sweep.h"

namespace xscatter::batch {

// One --filter MATERIAL:MM.
struct FilterOption {
  std::string material;
  double mm = 0;
};

// One --match-hvl MATERIAL:MM: the added metal whose thickness gives the first HVL `mm` in it.
struct MatchHvlOption {
  std::string material;  // "Al" or "Cu"
  ConditionBox box;      // the entry it replaces
  double mm = 0;
};

// The command line. Box texts not given keep the screens' default texts.
struct BatchOptions {
  std::map<ConditionBox, std::string> boxes;
  std::optional<std::string> angle;  // without it (and without an angle sweep) no scatter run
  std::vector<Sweep> sweeps;
  std::vector<FilterOption> filters;
  ReportFormat report = ReportFormat::None;
  std::optional<std::filesystem::path> spectra_dir;
  std::optional<std::filesystem::path> primary_file;
  std::optional<std::filesystem::path> plot_file;
  std::optional<MatchHvlOption> match_hvl;
  bool help = false;
  bool version = false;
  bool list_materials = false;
  bool quiet = false;      // no progress line
  bool no_files = false;   // compute and report, write no spectrum file
  bool doppler = false;    // Doppler-broadened incoherent scatter
  bool overwrite = false;  // --spectra-dir may hold the run folders of an earlier sweep

  // True when any run computes the scatter spectra.
  bool Scatters() const;
};

// Most runs one command line may ask for.
inline constexpr std::size_t kMaxRuns = 100000;

// Parses "--name value" and "--name=value"; on a malformed command line returns nothing and puts
// the reason into `error`.
std::optional<BatchOptions> ParseBatchOptions(const std::vector<std::string>& args,
                                              std::string& error);

extern const char* const kBatchUsage;

}  // namespace xscatter::batch
