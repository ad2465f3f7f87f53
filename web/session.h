// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "model/air_table.h"
#include "model/materials.h"
#include "model/state.h"
#include "web/svg_surface.h"
#include "web/web_panel.h"

namespace xscatter::web {

// The page's screens over one calculation store: the three charts, the boxes and the commands in
// the desktop's order. Every operation answers with a JSON object for the page:
//   status   "completed", "rejected" or "failed"; message: the warning or error text
//   boxes    the five condition texts after the command (a rejected entry may reset one)
//   reset    names of the boxes the command reset
//   charts   SVG of each chart the command drew on: conditions, scatterPrimary, scatter
//   files    name -> complete text of each spectrum file the command produced
//   figures  [{label, value, unit}] beam-quality figures; figuresNote when there are none
class Session {
 public:
  // Reads the tables from `data_folder` (the ones built into the page, or the user's own); when
  // they cannot be used the message says why and the tables read before stay in use.
  std::string Start(const std::string& data_folder);
  // The materials of the tables' Materials.csv: {status, materials: [name]} or a failure.
  std::string Materials();
  // Further filter layers behind the three of the conditions, one "MATERIAL:MM" a line, for the
  // calculations that follow; an empty text removes them. A refused list changes nothing.
  std::string SetFilters(const std::string& lines);
  // Main screen, OK: charts prepared, default conditions.
  std::string EnterConditions();
  // Exposure-conditions screen, calculate, with the boxes' texts in the order tube voltage,
  // target angle, inherent filtration, added aluminium, added copper.
  std::string Calculate(const std::array<std::string, 5>& texts);
  // Exposure-conditions screen, Reset.
  std::string Reset();
  // Exposure-conditions screen, OK: P_Spectrum.dat and the scatter screen's primary chart.
  std::string ConfirmConditions();
  // Scatter screen, OK, with the angle box's text.
  std::string Scatter(const std::string& angle_text);
  // Scatter screen, Clear.
  std::string ClearScatterChart();

 private:
  std::string BoxesJson() const;

  Module1 m_;
  WebPanel panel_;
  std::optional<AirTable> air_;
  std::string air_error_;
  std::vector<Material> materials_;
  std::string materials_error_;
  SvgSurface conditions_chart_;
  SvgSurface scatter_primary_chart_;
  SvgSurface scatter_chart_;
};

}  // namespace xscatter::web
