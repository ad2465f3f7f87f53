// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "model/beam_quality.h"
#include "model/primary_model.h"

namespace xscatter::batch {

// What one run of the batch tool computed, for the reports.
struct RunRecord {
  int run = 1;
  std::string status = "ok";  // or the text of the warning or error that stopped the run
  std::optional<ExposureConditions>
      conditions;  // the numbers read from the boxes; none with --primary
  std::optional<PrimaryQuality> primary;
  std::optional<double> angle_deg;
  std::optional<ScatterQuality> scatter;
};

// One JSON object for a single run ("scatter" only when `scatters`), or an array of objects with
// "run" and "status" for a sweep. Numbers are written with all the digits that tell the double.
void WriteJson(std::ostream& out, const std::vector<RunRecord>& runs, bool sweep, bool scatters);

// A header line and one RFC 4180 row per run.
void WriteCsv(std::ostream& out, const std::vector<RunRecord>& runs);

// The figures as an aligned, labelled table with units, one block per run.
void WriteText(std::ostream& out, const std::vector<RunRecord>& runs, bool sweep, bool scatters);

// The shortest decimal that reads back as the same double; empty for a non-finite value.
std::string ExactNumber(double value);

// A CSV field, quoted when it holds a comma, a quote, a line break or blanks at either end.
std::string CsvField(const std::string& text);

}  // namespace xscatter::batch
