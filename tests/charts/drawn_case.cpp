// SPDX-License-Identifier: MIT
#include "tests/charts/drawn_case.h"

#include <QCryptographicHash>
#include <cmath>

#include "output/charts.h"

namespace xscatter::testing {
namespace {

struct DrawnCase {
  GridArray primary{};
  ScatterCurves scatter;
};

DrawnCase MakeDrawnCase() {
  DrawnCase c;
  c.scatter.bin_count = 200;
  for (int i = 2; i <= 200; ++i) {
    const double t = i / 200.0;
    c.primary[i] = 3.2 * t * (1 - t) * (1 - t);
  }
  c.primary[116] = 1.0;
  c.primary[134] = 0.55;
  for (int i = 16; i <= 200; ++i) {
    const double kev = 0.5 * i;
    c.scatter.scattered_energy[i] = kev / (1 + kev / 511);
    c.scatter.incoherent[i] = 0.9 * c.primary[i];
    c.scatter.coherent[i] = std::exp(-std::pow((i - 60) / 30.0, 2));
  }
  return c;
}

}  // namespace

void DrawTwoRuns(ChartSurface& primary, ChartSurface& scatter) {
  DrawnCase c = MakeDrawnCase();
  DrawPrimaryCurve(c.primary, primary);
  DrawScatterCurves(c.scatter, scatter);
  for (int i = 16; i <= 200; ++i) c.scatter.scattered_energy[i] *= 0.9;
  DrawScatterCurves(c.scatter, scatter);
}

std::string PixelHash(const QImage& image) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  QCryptographicHash hash(QCryptographicHash::Sha256);
  for (int y = 0; y < rgb.height(); ++y) {
    hash.addData(QByteArrayView(reinterpret_cast<const char*>(rgb.constScanLine(y)),
                                4 * static_cast<qsizetype>(rgb.width())));
  }
  return hash.result().toHex().toStdString();
}

}  // namespace xscatter::testing
