// SPDX-License-Identifier: MIT
#include "tools/batch/report.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <string_view>

#include "model/figures.h"

#include "output/number_format.h"

namespace xscatter::batch {
namespace {

// A figure that may be missing: not computed, or not a finite number.
using Value = std::optional<double>;

struct Column {
  std::string key;
  std::string_view label;
  std::string_view unit;
  std::function<Value(const RunRecord&)> value;
};

template <typename Member>
Column ConditionColumn(const char* key, const char* label, const char* unit, Member member) {
  return {key, label, unit, [member](const RunRecord& r) -> Value {
            return r.conditions ? Value((*r.conditions).*member) : std::nullopt;
          }};
}

const std::vector<Column>& ConditionColumns() {
  static const std::vector<Column> columns = {
      ConditionColumn("kv", "tube voltage", "kV", &ExposureConditions::kv),
      ConditionColumn("target_angle_deg", "target angle", "degrees",
                      &ExposureConditions::target_angle_deg),
      ConditionColumn("inherent_mm_al", "inherent filtration", "mm Al",
                      &ExposureConditions::inherent_mm_al),
      ConditionColumn("al_mm", "added aluminium", "mm", &ExposureConditions::al_mm),
      ConditionColumn("cu_mm", "added copper", "mm", &ExposureConditions::cu_mm),
  };
  return columns;
}

const Column& AngleColumn() {
  static const Column column = {"angle_deg", "scattering angle", "degrees",
                                [](const RunRecord& r) { return r.angle_deg; }};
  return column;
}

// The columns of a figure table, reading the quality `part` of a record.
template <typename Quality>
std::vector<Column> FigureColumns(std::span<const Figure<Quality>> figures,
                                  std::optional<Quality> RunRecord::*part) {
  std::vector<Column> columns;
  for (const Figure<Quality>& figure : figures) {
    columns.push_back({std::string(figure.key), figure.label_en, figure.unit,
                       [part, get = figure.value](const RunRecord& r) -> Value {
                         return r.*part ? get(*(r.*part)) : std::nullopt;
                       }});
  }
  return columns;
}

const std::vector<Column>& PrimaryColumns() {
  static const std::vector<Column> columns = FigureColumns(PrimaryFigures(), &RunRecord::primary);
  return columns;
}

// The scattering angle first, then the figures.
const std::vector<Column>& ScatterColumns() {
  static const std::vector<Column> columns = [] {
    std::vector<Column> all = {AngleColumn()};
    for (Column& column : FigureColumns(ScatterFigures(), &RunRecord::scatter)) {
      all.push_back(std::move(column));
    }
    return all;
  }();
  return columns;
}

// The CSV columns: the angle stands with the conditions, and a scatter figure whose key a primary
// figure has already is told apart by "scatter_".
const std::vector<Column>& CsvColumns() {
  static const std::vector<Column> columns = [] {
    std::vector<Column> all = ConditionColumns();
    all.push_back(AngleColumn());
    all.insert(all.end(), PrimaryColumns().begin(), PrimaryColumns().end());
    for (auto column = ScatterColumns().begin() + 1; column != ScatterColumns().end(); ++column) {
      all.push_back(*column);
      for (const Column& primary : PrimaryColumns()) {
        if (primary.key == column->key) all.back().key = "scatter_" + column->key;
      }
    }
    return all;
  }();
  return columns;
}

std::string JsonFigure(Value value) {
  return value && std::isfinite(*value) ? ExactNumber(*value) : "null";
}

void WriteJsonGroup(std::ostream& out, const char* name, const std::vector<Column>& columns,
                    const RunRecord& record, bool present) {
  out << '"' << name << "\": ";
  if (!present) {
    out << "null";
    return;
  }
  out << "{";
  for (std::size_t c = 0; c < columns.size(); ++c) {
    out << (c ? ", " : "") << '"' << columns[c].key
        << "\": " << JsonFigure(columns[c].value(record));
  }
  out << "}";
}

std::string ProvenanceJson(const Provenance& p) {
  std::string json = "{\"version\": " + JsonString(p.version) +
                     ", \"tables\": " + JsonString(p.tables) + ", \"filters\": [";
  for (std::size_t f = 0; f < p.filters.size(); ++f) {
    json += (f ? ", " : "");
    json += "{\"material\": " + JsonString(p.filters[f].first) +
            ", \"mm\": " + JsonFigure(p.filters[f].second) + "}";
  }
  json += "]";
  if (p.primary_file) {
    json += ", \"primary_file\": " + JsonString(*p.primary_file) +
            ", \"primary_sha256\": " + JsonString(p.primary_sha256);
  }
  if (p.match_hvl) {
    json += ", \"match_hvl\": {\"material\": " + JsonString(p.match_hvl->first) +
            ", \"hvl1_mm\": " + JsonFigure(p.match_hvl->second) + "}";
  }
  if (p.doppler) json += ", \"doppler\": true";
  return json + "}";
}

// `indent` starts each line of a multi-line object; a one-line object has `indent` null.
void WriteJsonObject(std::ostream& out, const RunRecord& record, bool with_run, bool scatters,
                     const Provenance* provenance, const char* indent) {
  const std::string inner = indent ? std::string(indent) + "  " : "";
  const std::string next = indent ? ",\n" + inner : ", ";
  out << (indent ? std::string(indent) + "{\n" + inner : "{");
  if (with_run) {
    out << "\"run\": " << record.run << next;
    out << "\"status\": " << JsonString(record.status) << next;
  }
  WriteJsonGroup(out, "conditions", ConditionColumns(), record, record.conditions.has_value());
  out << next;
  WriteJsonGroup(out, "primary", PrimaryColumns(), record, record.primary.has_value());
  if (scatters) {
    out << next;
    WriteJsonGroup(out, "scatter", ScatterColumns(), record, record.scatter.has_value());
  }
  if (provenance) out << next << "\"provenance\": " << ProvenanceJson(*provenance);
  out << (indent ? "\n" + std::string(indent) + "}" : "}");
}

std::string TextFigure(Value value) {
  if (!value || !std::isfinite(*value)) return "-";
  return FormatGeneral(*value, 10);
}

void WriteTextLine(std::ostream& out, std::string_view label, const std::string& value,
                   std::string_view unit) {
  char line[160];
  std::snprintf(line, sizeof line, "  %-30.*s %16s  %.*s", static_cast<int>(label.size()),
                label.data(), value.c_str(), static_cast<int>(unit.size()), unit.data());
  std::string text = line;
  while (!text.empty() && text.back() == ' ') text.pop_back();
  out << text << '\n';
}

void WriteTextGroup(std::ostream& out, const char* title, const std::vector<Column>& columns,
                    const RunRecord& record) {
  out << title << '\n';
  for (const Column& column : columns) {
    WriteTextLine(out, column.label, TextFigure(column.value(record)), column.unit);
  }
}

void WriteTextProvenance(std::ostream& out, const Provenance& p) {
  out << "Provenance\n";
  out << "  program version: " << p.version << '\n';
  out << "  tables: " << p.tables << '\n';
  for (const auto& [material, mm] : p.filters) {
    out << "  further filter: " << material << ' ' << ExactNumber(mm) << " mm\n";
  }
  if (p.primary_file) {
    out << "  primary file: " << *p.primary_file << '\n';
    out << "  primary file SHA-256: " << p.primary_sha256 << '\n';
  }
  if (p.match_hvl) {
    out << "  added " << (p.match_hvl->first == "Al" ? "aluminium" : "copper")
        << " matched to a first HVL of " << ExactNumber(p.match_hvl->second) << " mm "
        << p.match_hvl->first << '\n';
  }
  if (p.doppler) out << "  incoherent scatter Doppler-broadened\n";
  out << '\n';
}

std::string FiltersField(const Provenance& p) {
  std::string text;
  for (const auto& [material, mm] : p.filters) {
    text += (text.empty() ? "" : " ") + material + ":" + ExactNumber(mm);
  }
  return text;
}

}  // namespace

std::string ExactNumber(double value) {
  if (!std::isfinite(value)) return "";
  if (value == 0) value = 0;  // no "-0"
  return ShortestText(value);
}

std::string CsvField(const std::string& text) {
  const bool quote = text.find_first_of(",\"\r\n") != std::string::npos ||
                     (!text.empty() && (text.front() == ' ' || text.back() == ' '));
  if (!quote) return text;
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

std::string JsonString(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned char>(c));
      quoted += escape;
    } else {
      quoted += c;
    }
  }
  return quoted + '"';
}

ReportWriter::ReportWriter(std::ostream& out, ReportFormat format, bool sweep, bool scatters,
                           const Provenance* provenance)
    : out_(out), format_(format), sweep_(sweep), scatters_(scatters), provenance_(provenance) {}

void ReportWriter::Begin() {
  switch (format_) {
    case ReportFormat::Json:
      if (sweep_) out_ << "[";
      break;
    case ReportFormat::Csv:
      out_ << "run,status";
      for (const Column& column : CsvColumns()) out_ << ',' << column.key;
      if (provenance_) {
        out_ << ",version,tables,filters,primary_file,primary_sha256,match_hvl,doppler";
      }
      out_ << "\r\n";
      break;
    case ReportFormat::Text:
      if (provenance_) WriteTextProvenance(out_, *provenance_);
      break;
    case ReportFormat::None:
    case ReportFormat::Jsonl:
      break;
  }
}

void ReportWriter::Add(const RunRecord& record) {
  switch (format_) {
    case ReportFormat::None:
      break;
    case ReportFormat::Json:
      if (sweep_) {
        out_ << (written_ ? ",\n" : "\n");
        WriteJsonObject(out_, record, true, scatters_, provenance_, "  ");
      } else {
        WriteJsonObject(out_, record, false, scatters_, provenance_, "");
        out_ << '\n';
      }
      break;
    case ReportFormat::Jsonl:
      WriteJsonObject(out_, record, true, scatters_, provenance_, nullptr);
      out_ << '\n';
      break;
    case ReportFormat::Csv:
      out_ << record.run << ',' << CsvField(record.status);
      for (const Column& column : CsvColumns()) {
        const Value value = column.value(record);
        out_ << ',' << (value ? ExactNumber(*value) : "");
      }
      if (provenance_) {
        const Provenance& p = *provenance_;
        out_ << ',' << CsvField(p.version) << ',' << CsvField(p.tables) << ','
             << CsvField(FiltersField(p)) << ',' << CsvField(p.primary_file.value_or("")) << ','
             << p.primary_sha256 << ','
             << (p.match_hvl ? p.match_hvl->first + ":" + ExactNumber(p.match_hvl->second) : "")
             << ',' << (p.doppler ? "true" : "false");
      }
      out_ << "\r\n";
      break;
    case ReportFormat::Text:
      if (written_) out_ << '\n';
      if (sweep_) out_ << "Run " << record.run << ": " << record.status << '\n';
      if (record.conditions) {
        WriteTextGroup(out_, "Exposure conditions", ConditionColumns(), record);
      }
      WriteTextGroup(out_, "Primary beam", PrimaryColumns(), record);
      if (scatters_) WriteTextGroup(out_, "Scattered photons", ScatterColumns(), record);
      break;
  }
  ++written_;
  out_.flush();
}

void ReportWriter::End() {
  if (format_ == ReportFormat::Json && sweep_) out_ << "\n]\n";
  out_.flush();
}

void WriteText(std::ostream& out, const std::vector<RunRecord>& runs, bool sweep, bool scatters) {
  ReportWriter writer(out, ReportFormat::Text, sweep, scatters);
  writer.Begin();
  for (const RunRecord& record : runs) writer.Add(record);
  writer.End();
}

}  // namespace xscatter::batch
