// SPDX-License-Identifier: MIT
#include "screens/figures_text.h"

#include <cmath>
#include <cstdio>
#include <span>

#include "model/figures.h"

namespace xscatter {
namespace {

template <typename Quality>
QString FigureLines(std::span<const Figure<Quality>> figures, const Quality& quality) {
  QString lines;
  for (const Figure<Quality>& figure : figures) {
    lines +=
        QStringLiteral("  %1\t%2\t%3\n")
            .arg(QString::fromUtf8(figure.label_ja.data(),
                                   static_cast<qsizetype>(figure.label_ja.size())),
                 FigureNumber(figure.value(quality)),
                 QString::fromUtf8(figure.unit.data(), static_cast<qsizetype>(figure.unit.size())));
  }
  return lines;
}

}  // namespace

QString FigureNumber(std::optional<double> value) {
  if (!value || !std::isfinite(*value)) return QStringLiteral("-");
  char text[32];
  std::snprintf(text, sizeof text, "%.10g", *value);
  return QString::fromLatin1(text);
}

QString FiguresText(const QString& conditions, const std::optional<PrimaryQuality>& primary,
                    const QString& primary_failure, const std::vector<AngleFigures>& angles) {
  QString text = QStringLiteral("一次線スペクトル（%1）\n").arg(conditions);
  text += primary ? FigureLines(PrimaryFigures(), *primary)
                  : QStringLiteral("  %1\n").arg(primary_failure);
  for (const AngleFigures& angle : angles) {
    text += QStringLiteral("散乱線スペクトル（θ = %1°）\n").arg(angle.angle);
    text += angle.quality ? FigureLines(ScatterFigures(), *angle.quality)
                          : QStringLiteral("  %1\n").arg(angle.failure);
  }
  return text;
}

}  // namespace xscatter
