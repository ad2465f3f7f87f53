// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "model/beam_quality.h"

namespace xscatter {

// The figures of one scatter run: its angle as typed, and its figures or why there are none.
struct AngleFigures {
  QString angle;
  std::optional<ScatterQuality> quality;
  QString failure;
};

// A figure as the batch tool's text report prints it (ten significant digits), "-" for none.
QString FigureNumber(std::optional<double> value);

// The figures window's text: a heading line per spectrum, then one line per figure of the figure
// table, "label<TAB>number<TAB>unit", ready to paste into a spreadsheet. The scatter runs follow
// the primary spectrum in the order they were computed.
QString FiguresText(const QString& conditions, const std::optional<PrimaryQuality>& primary,
                    const QString& primary_failure, const std::vector<AngleFigures>& angles);

}  // namespace xscatter
