// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

namespace xscatter {

// One curve drawn on a chart and what it shows: a title naming its exposure conditions (and its
// scattering angle), and its points exactly as its spectrum file writes them.
struct ChartCurve {
  QString title;
  QStringList energies;  // keV
  QStringList values;    // relative fluence
};

// "100 kV, 12°, 固有ろ過 2.5 mmAl, Al 0 mm, Cu 0 mm" from the five condition texts as typed
// (tube voltage, target angle, inherent filtration, added aluminium, added copper).
QString ConditionsTitle(const QStringList& typed);

// A curve with the points of a spectrum file's text (a header line, then lines of two numbers).
ChartCurve CurveFromFile(const QString& title, const std::string& file_text);

// The curves as tab-separated text for a spreadsheet: a header naming each curve, then one line per
// point with each curve's energy and value, LF line ends.
QString CurvesTable(const std::vector<ChartCurve>& curves);

// The caption of a saved or printed chart: one line per curve, its title.
QStringList CurvesCaption(const std::vector<ChartCurve>& curves);

}  // namespace xscatter
