// SPDX-License-Identifier: MIT
#include "tools/batch/report.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <utility>

#include "output/number_format.h"

namespace xscatter::batch {
namespace {

// A figure that may be missing: not computed, or not a finite number.
using Figure = std::optional<double>;

struct Column {
  const char* key;
  const char* label;
  const char* unit;
  std::function<Figure(const RunRecord&)> value;
};

template <typename Part, typename Member>
std::function<Figure(const RunRecord&)> From(std::optional<Part> RunRecord::*part, Member member) {
  return [part, member](const RunRecord& r) -> Figure {
    if (!(r.*part)) return std::nullopt;
    if constexpr (std::is_same_v<std::remove_cvref_t<decltype((*(r.*part)).*member)>,
                                 std::optional<double>>) {
      return (*(r.*part)).*member;
    } else {
      return static_cast<double>((*(r.*part)).*member);
    }
  };
}

const std::vector<Column>& ConditionColumns() {
  static const std::vector<Column> columns = {
      {"kv", "tube voltage", "kV", From(&RunRecord::conditions, &ExposureConditions::kv)},
      {"target_angle_deg", "target angle", "degrees",
       From(&RunRecord::conditions, &ExposureConditions::target_angle_deg)},
      {"inherent_mm_al", "inherent filtration", "mm Al",
       From(&RunRecord::conditions, &ExposureConditions::inherent_mm_al)},
      {"al_mm", "added aluminium", "mm", From(&RunRecord::conditions, &ExposureConditions::al_mm)},
      {"cu_mm", "added copper", "mm", From(&RunRecord::conditions, &ExposureConditions::cu_mm)},
  };
  return columns;
}

const std::vector<Column>& PrimaryColumns() {
  static const std::vector<Column> columns = {
      {"bin_count", "last energy bin", "", From(&RunRecord::primary, &PrimaryQuality::bin_count)},
      {"mean_energy_kev", "mean energy (fluence)", "keV",
       From(&RunRecord::primary, &PrimaryQuality::mean_energy_kev)},
      {"kerma_mean_energy_kev", "mean energy (air kerma)", "keV",
       From(&RunRecord::primary, &PrimaryQuality::kerma_mean_energy_kev)},
      {"hvl1_mm_al", "first half-value layer", "mm Al",
       From(&RunRecord::primary, &PrimaryQuality::hvl1_mm_al)},
      {"hvl2_mm_al", "second half-value layer", "mm Al",
       From(&RunRecord::primary, &PrimaryQuality::hvl2_mm_al)},
      {"homogeneity_al", "homogeneity coefficient (Al)", "",
       From(&RunRecord::primary, &PrimaryQuality::homogeneity_al)},
      {"hvl1_mm_cu", "first half-value layer", "mm Cu",
       From(&RunRecord::primary, &PrimaryQuality::hvl1_mm_cu)},
      {"hvl2_mm_cu", "second half-value layer", "mm Cu",
       From(&RunRecord::primary, &PrimaryQuality::hvl2_mm_cu)},
      {"homogeneity_cu", "homogeneity coefficient (Cu)", "",
       From(&RunRecord::primary, &PrimaryQuality::homogeneity_cu)},
      {"effective_energy_kev_al", "effective energy (Al)", "keV",
       From(&RunRecord::primary, &PrimaryQuality::effective_energy_kev_al)},
  };
  return columns;
}

const std::vector<Column>& ScatterColumns() {
  static const std::vector<Column> columns = {
      {"angle_deg", "scattering angle", "degrees",
       [](const RunRecord& r) -> Figure { return r.angle_deg; }},
      {"incoherent_mean_energy_kev", "mean energy, incoherent", "keV",
       From(&RunRecord::scatter, &ScatterQuality::incoherent_mean_energy_kev)},
      {"coherent_mean_energy_kev", "mean energy, coherent", "keV",
       From(&RunRecord::scatter, &ScatterQuality::coherent_mean_energy_kev)},
      {"coherent_share", "coherent share of photons", "",
       From(&RunRecord::scatter, &ScatterQuality::coherent_share)},
      {"hvl1_mm_al", "first half-value layer", "mm Al",
       From(&RunRecord::scatter, &ScatterQuality::hvl1_mm_al)},
  };
  return columns;
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

std::string JsonFigure(Figure value) {
  return value && std::isfinite(*value) ? ExactNumber(*value) : "null";
}

void WriteJsonGroup(std::ostream& out, const char* name, const std::vector<Column>& columns,
                    const RunRecord& record, bool present, const char* indent) {
  out << indent << '"' << name << "\": ";
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

void WriteJsonObject(std::ostream& out, const RunRecord& record, bool sweep, bool scatters,
                     const char* indent) {
  const std::string inner = std::string(indent) + "  ";
  out << indent << "{\n";
  if (sweep) {
    out << inner << "\"run\": " << record.run << ",\n";
    out << inner << "\"status\": " << JsonString(record.status) << ",\n";
  }
  WriteJsonGroup(out, "conditions", ConditionColumns(), record, record.conditions.has_value(),
                 inner.c_str());
  out << ",\n";
  WriteJsonGroup(out, "primary", PrimaryColumns(), record, record.primary.has_value(),
                 inner.c_str());
  if (scatters) {
    out << ",\n";
    WriteJsonGroup(out, "scatter", ScatterColumns(), record, record.scatter.has_value(),
                   inner.c_str());
  }
  out << "\n" << indent << "}";
}

std::string TextFigure(Figure value) {
  if (!value || !std::isfinite(*value)) return "-";
  return FormatGeneral(*value, 10);
}

void WriteTextGroup(std::ostream& out, const char* title, const std::vector<Column>& columns,
                    const RunRecord& record) {
  out << title << '\n';
  for (const Column& column : columns) {
    char line[128];
    std::snprintf(line, sizeof line, "  %-30s %16s  %s", column.label,
                  TextFigure(column.value(record)).c_str(), column.unit);
    std::string text = line;
    while (!text.empty() && text.back() == ' ') text.pop_back();
    out << text << '\n';
  }
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

void WriteJson(std::ostream& out, const std::vector<RunRecord>& runs, bool sweep, bool scatters) {
  if (!sweep) {
    if (!runs.empty()) WriteJsonObject(out, runs.front(), false, scatters, "");
    out << '\n';
    return;
  }
  out << "[";
  for (std::size_t r = 0; r < runs.size(); ++r) {
    out << (r ? ",\n" : "\n");
    WriteJsonObject(out, runs[r], true, scatters, "  ");
  }
  out << "\n]\n";
}

void WriteCsv(std::ostream& out, const std::vector<RunRecord>& runs) {
  // The angle stands with the conditions; the scatter HVL is told apart from the primary one.
  std::vector<Column> columns = ConditionColumns();
  columns.push_back(ScatterColumns().front());
  columns.insert(columns.end(), PrimaryColumns().begin(), PrimaryColumns().end());
  columns.insert(columns.end(), ScatterColumns().begin() + 1, ScatterColumns().end());
  columns.back().key = "scatter_hvl1_mm_al";

  out << "run,status";
  for (const Column& column : columns) out << ',' << column.key;
  out << "\r\n";
  for (const RunRecord& record : runs) {
    out << record.run << ',' << CsvField(record.status);
    for (const Column& column : columns) {
      const Figure value = column.value(record);
      out << ',' << (value ? ExactNumber(*value) : "");
    }
    out << "\r\n";
  }
}

void WriteText(std::ostream& out, const std::vector<RunRecord>& runs, bool sweep, bool scatters) {
  for (std::size_t r = 0; r < runs.size(); ++r) {
    const RunRecord& record = runs[r];
    if (r) out << '\n';
    if (sweep) out << "Run " << record.run << ": " << record.status << '\n';
    if (record.conditions) WriteTextGroup(out, "Exposure conditions", ConditionColumns(), record);
    WriteTextGroup(out, "Primary beam", PrimaryColumns(), record);
    if (scatters) WriteTextGroup(out, "Scattered photons", ScatterColumns(), record);
  }
}

}  // namespace xscatter::batch
