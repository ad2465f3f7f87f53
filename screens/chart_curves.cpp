// SPDX-License-Identifier: MIT
#include "screens/chart_curves.h"

#include <QRegularExpression>
#include <algorithm>

namespace xscatter {

QString ConditionsTitle(const QStringList& typed) {
  const auto at = [&](int i) { return i < typed.size() ? typed[i].trimmed() : QString(); };
  return QStringLiteral("%1 kV, %2°, 固有ろ過 %3 mmAl, Al %4 mm, Cu %5 mm")
      .arg(at(0), at(1), at(2), at(3), at(4));
}

ChartCurve CurveFromFile(const QString& title, const std::string& file_text) {
  ChartCurve curve{title, {}, {}};
  const QStringList lines = QString::fromStdString(file_text).split(QStringLiteral("\r\n"));
  static const QRegularExpression blanks(QStringLiteral("\\s+"));
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const QStringList fields = lines[i].split(blanks, Qt::SkipEmptyParts);
    if (fields.size() < 2) continue;
    curve.energies << fields[0];
    curve.values << fields[1];
  }
  return curve;
}

QString CurvesTable(const std::vector<ChartCurve>& curves) {
  QStringList header;
  qsizetype rows = 0;
  for (const ChartCurve& curve : curves) {
    header << curve.title + QStringLiteral(" エネルギー (keV)")
           << curve.title + QStringLiteral(" 相対フルエンス");
    rows = std::max(rows, curve.energies.size());
  }
  QString table = header.join(QLatin1Char('\t')) + QLatin1Char('\n');
  for (qsizetype row = 0; row < rows; ++row) {
    QStringList fields;
    for (const ChartCurve& curve : curves) {
      fields << curve.energies.value(row) << curve.values.value(row);
    }
    table += fields.join(QLatin1Char('\t')) + QLatin1Char('\n');
  }
  return table;
}

QStringList CurvesCaption(const std::vector<ChartCurve>& curves) {
  QStringList caption;
  for (const ChartCurve& curve : curves) caption << curve.title;
  return caption;
}

}  // namespace xscatter
