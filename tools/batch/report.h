// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "model/beam_quality.h"
#include "model/primary_model.h"

namespace xscatter::batch {

enum class ReportFormat { None, Json, Text, Csv, Jsonl };

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

// Everything besides the conditions that made a report's results, so a reader can make them again.
struct Provenance {
  std::string version;
  std::string tables;                                       // the tables' folder, absolute
  std::vector<std::pair<std::string, double>> filters;      // further layers: material, mm
  std::optional<std::string> primary_file;                  // --primary as given
  std::string primary_sha256;                               // of that file's bytes
  std::optional<std::pair<std::string, double>> match_hvl;  // metal and first HVL, mm
  bool doppler = false;                                     // Doppler-broadened incoherent scatter
};

// Writes a report run by run, as the runs finish, so a long sweep can be followed and interrupted.
// JSON: one object for a single run ("scatter" only when `scatters`), an array of objects with
// "run" and "status" for a sweep; JSON lines: one such object a line, for single runs too; CSV: a
// header line and one RFC 4180 row per run; text: an aligned, labelled table per run. Numbers
// carry all the digits that tell the double. With a provenance every run carries it (the text
// report once, at the top).
class ReportWriter {
 public:
  ReportWriter(std::ostream& out, ReportFormat format, bool sweep, bool scatters,
               const Provenance* provenance = nullptr);
  void Begin();
  void Add(const RunRecord& record);
  void End();

 private:
  std::ostream& out_;
  ReportFormat format_;
  bool sweep_;
  bool scatters_;
  const Provenance* provenance_;
  int written_ = 0;
};

// The text report of finished runs.
void WriteText(std::ostream& out, const std::vector<RunRecord>& runs, bool sweep, bool scatters);

// The shortest decimal that reads back as the same double; empty for a non-finite value.
std::string ExactNumber(double value);

// A CSV field, quoted when it holds a comma, a quote, a line break or blanks at either end.
std::string CsvField(const std::string& text);

// A JSON string literal; control characters as \u00XX.
std::string JsonString(const std::string& text);

}  // namespace xscatter::batch
