// SPDX-License-Identifier: MIT
#include "web/session.h"

#include <cmath>
#include <cstdio>
#include <exception>
#include <span>
#include <utility>
#include <vector>

#include "app/file_set.h"
#include "model/beam_quality.h"
#include "model/commands.h"
#include "model/errors.h"
#include "model/field_reader.h"
#include "model/figures.h"
#include "model/scatter_models.h"
#include "model/table_messages.h"
#include "output/charts.h"
#include "web/json.h"

namespace xscatter::web {
namespace {

// The files of a set as an object of name and text, as the desktop writes them.
std::string FilesJson(const FileSet& files) {
  JsonObject json;
  for (const auto& [name, text] : files) json.Text(name, text);
  return json.Close();
}

constexpr std::pair<ConditionBox, const char*> kBoxNames[] = {
    {ConditionBox::TubeVoltage, "TubeVoltage"},
    {ConditionBox::TargetAngle, "TargetAngle"},
    {ConditionBox::InherentFiltration, "InherentFiltration"},
    {ConditionBox::AddedAluminium, "AddedAluminium"},
    {ConditionBox::AddedCopper, "AddedCopper"},
};

const char* BoxName(ConditionBox box) {
  for (const auto& [b, name] : kBoxNames) {
    if (b == box) return name;
  }
  return "";
}

const char* StatusName(CommandStatus status) {
  switch (status) {
    case CommandStatus::Completed:
      return "completed";
    case CommandStatus::Rejected:
      return "rejected";
    case CommandStatus::Failed:
      break;
  }
  return "failed";
}

// The figures as the page lists them: four significant digits on the page, ten in the CSV file, as
// the text report prints them.
template <typename Quality>
std::string FiguresJson(std::span<const Figure<Quality>> figures, const Quality& quality) {
  std::string json = "[";
  for (const Figure<Quality>& figure : figures) {
    const std::optional<double> value = figure.value(quality);
    if (!value || !std::isfinite(*value)) continue;
    char shown[48];
    char exact[48];
    std::snprintf(shown, sizeof shown, figure.whole_number ? "%.0f" : "%.4g", *value);
    std::snprintf(exact, sizeof exact, "%.10g", *value);
    if (json.size() > 1) json += ",";
    json += JsonObject()
                .Text("label", figure.label_ja)
                .Text("value", shown)
                .Text("exact", exact)
                .Text("unit", figure.unit)
                .Close();
  }
  return json + "]";
}

std::string ChartsJson(std::initializer_list<std::pair<const char*, const SvgSurface*>> charts) {
  JsonObject json;
  for (const auto& [name, chart] : charts) json.Text(name, chart->Svg());
  return json.Close();
}

}  // namespace

std::string Session::BoxesJson() const {
  JsonObject boxes;
  for (const auto& [box, name] : kBoxNames) boxes.Text(name, panel_.ConditionText(box));
  return boxes.Close();
}

std::string Session::Start(const std::string& data_folder) {
  m_.AttachPanel(&panel_);
  const std::filesystem::path previous = m_.DataFolder();
  m_.SetDataFolder(data_folder);
  panel_.StartCommand();
  // A folder whose tables cannot be used changes nothing: the tables read before stay in use.
  if (!RunLoadDataTables(m_)) {
    m_.SetDataFolder(previous);
    return JsonObject().Text("status", "failed").Text("message", panel_.message).Close();
  }
  air_.reset();
  air_error_.clear();
  try {
    air_ = LoadAirTable(data_folder);
  } catch (const TableError& error) {
    air_error_ = DescribeTableError(error);
  }
  materials_.clear();
  materials_error_.clear();
  try {
    materials_ = LoadMaterials(data_folder);
  } catch (const TableError& error) {
    materials_error_ = DescribeTableError(error);
  }
  m_.SetExtraFilters({});
  return JsonObject().Text("status", "completed").Close();
}

std::string Session::Materials() {
  if (!materials_error_.empty()) {
    return JsonObject().Text("status", "failed").Text("message", materials_error_).Close();
  }
  std::string names = "[";
  for (const Material& material : materials_) {
    names += (names.size() > 1 ? "," : "") + JsonString(material.name);
  }
  return JsonObject().Text("status", "completed").Raw("materials", names + "]").Close();
}

std::string Session::SetFilters(const std::string& lines) {
  std::vector<FilterLayer> layers;
  std::size_t start = 0;
  while (start < lines.size()) {
    std::size_t end = lines.find('\n', start);
    if (end == std::string::npos) end = lines.size();
    const std::string line = lines.substr(start, end - start);
    start = end + 1;
    if (line.empty()) continue;
    const std::size_t colon = line.rfind(':');
    const std::string name = line.substr(0, colon == std::string::npos ? line.size() : colon);
    const Material* material = FindMaterial(materials_, name);
    if (colon == std::string::npos || !material) {
      return JsonObject()
          .Text("status", "rejected")
          .Text("message",
                "\u3000フィルタの材質「" + name + "」は Materials.csv にありません\u3000")
          .Close();
    }
    const std::optional<double> mm = ParseTableNumber(line.substr(colon + 1));
    if (!mm || !(*mm >= 0)) {
      return JsonObject()
          .Text("status", "rejected")
          .Text("message", "\u3000フィルタ「" + name + "」の厚さを 0 以上の mm で再入力\u3000")
          .Close();
    }
    layers.push_back(MakeFilterLayer(*material, *mm));
  }
  m_.SetExtraFilters(std::move(layers));
  return JsonObject().Text("status", "completed").Close();
}

std::string Session::EnterConditions() {
  PreparePrimaryCharts(conditions_chart_, scatter_primary_chart_);
  PrepareScatterChart(scatter_chart_);
  const TextPanel defaults;
  panel_.boxes = defaults.boxes;
  return JsonObject()
      .Text("status", "completed")
      .Raw("boxes", BoxesJson())
      .Raw("charts", ChartsJson({{"conditions", &conditions_chart_},
                                 {"scatterPrimary", &scatter_primary_chart_},
                                 {"scatter", &scatter_chart_}}))
      .Close();
}

std::string Session::Calculate(const std::array<std::string, 5>& texts) {
  for (std::size_t i = 0; i < texts.size(); ++i) panel_.boxes[kBoxNames[i].first] = texts[i];
  panel_.StartCommand();
  const CommandStatus status = RunCalculateCommand(m_);
  JsonObject json;
  json.Text("status", StatusName(status)).Text("message", panel_.message);
  json.Raw("boxes", BoxesJson());
  std::string reset = "[";
  for (const ConditionBox box : panel_.resets) {
    reset += (reset.size() > 1 ? "," : "") + JsonString(BoxName(box));
  }
  json.Raw("reset", reset + "]");
  if (status != CommandStatus::Completed) return json.Close();

  if (air_) {
    try {
      const PrimaryQuality quality = PrimaryBeamQuality(
          m_.PrimarySpectrum, static_cast<int>(m_.BinCount), m_.MuAl, m_.MuCu, air_->mu_en_rho);
      json.Raw("figures", FiguresJson(PrimaryFigures(), quality));
    } catch (const BeamQualityError& error) {
      json.Text("figuresNote", error.what());
    }
  } else {
    json.Text("figuresNote", air_error_);
  }
  DrawPrimaryCurve(m_.PrimarySpectrum, conditions_chart_);
  return json.Raw("charts", ChartsJson({{"conditions", &conditions_chart_}})).Close();
}

std::string Session::Reset() {
  conditions_chart_.Clear();
  PreparePrimaryCharts(conditions_chart_, scatter_primary_chart_);
  return JsonObject()
      .Text("status", "completed")
      .Raw("charts", ChartsJson({{"conditions", &conditions_chart_},
                                 {"scatterPrimary", &scatter_primary_chart_}}))
      .Close();
}

std::string Session::ConfirmConditions() {
  DrawPrimaryCurve(m_.PrimarySpectrum, scatter_primary_chart_);
  return JsonObject()
      .Text("status", "completed")
      .Raw("files", FilesJson(PrimaryFileSet(m_.PrimarySpectrum)))
      .Raw("charts", ChartsJson({{"scatterPrimary", &scatter_primary_chart_}}))
      .Close();
}

std::string Session::Scatter(const std::string& angle_text) {
  panel_.angle = angle_text;
  panel_.StartCommand();
  const CommandStatus status = RunScatterCalculation(m_);
  JsonObject json;
  json.Text("status", StatusName(status)).Text("message", panel_.message);
  if (status != CommandStatus::Completed) return json.Close();

  json.Raw("files", FilesJson(ScatterFileSet(m_.IncoherentSpectrum[1], m_.IncoherentSpectrum[2],
                                             m_.CoherentSpectrum)));
  m_.ScatterSaved = 1;
  if (air_) {
    try {
      const ScatterResult scatter =
          ComputeScatter(m_.Tables(), m_.PrimarySpectrum, m_.ScatterAngle);
      json.Raw("figures", FiguresJson(ScatterFigures(),
                                      ScatterBeamQuality(scatter, m_.MuAl, air_->mu_en_rho)));
    } catch (const std::exception& error) {
      json.Text("figuresNote", error.what());
    }
  } else {
    json.Text("figuresNote", air_error_);
  }
  DrawScatterCurves({m_.IncoherentSpectrum[1], m_.IncoherentSpectrum[2], m_.CoherentSpectrum,
                     static_cast<int>(m_.BinCount)},
                    scatter_chart_);
  return json.Raw("charts", ChartsJson({{"scatter", &scatter_chart_}})).Close();
}

std::string Session::ClearScatterChart() {
  PrepareScatterChart(scatter_chart_);
  return JsonObject()
      .Text("status", "completed")
      .Raw("charts", ChartsJson({{"scatter", &scatter_chart_}}))
      .Close();
}

}  // namespace xscatter::web
