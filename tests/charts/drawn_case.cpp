// SPDX-License-Identifier: MIT
#include "tests/charts/drawn_case.h"

#include <QCryptographicHash>
#include <cmath>

#include "output/charts.h"

namespace xscatter::testing {
namespace {

Module1 DrawnCase() {
  Module1 m;
  m.BinCount = 200;
  for (int i = 2; i <= 200; ++i) {
    const double t = i / 200.0;
    m.PrimarySpectrum[i] = 3.2 * t * (1 - t) * (1 - t);
  }
  m.PrimarySpectrum[116] = 1.0;
  m.PrimarySpectrum[134] = 0.55;
  for (int i = 16; i <= 200; ++i) {
    const double kev = 0.5 * i;
    m.IncoherentSpectrum[1][i] = kev / (1 + kev / 511);
    m.IncoherentSpectrum[2][i] = 0.9 * m.PrimarySpectrum[i];
    m.CoherentSpectrum[i] = std::exp(-std::pow((i - 60) / 30.0, 2));
  }
  return m;
}

}  // namespace

void DrawTwoRuns(ChartSurface& primary, ChartSurface& scatter) {
  Module1 m = DrawnCase();
  DrawPrimaryCurve(m, primary);
  DrawScatterCurves(m, scatter);
  for (int i = 16; i <= 200; ++i) m.IncoherentSpectrum[1][i] *= 0.9;
  DrawScatterCurves(m, scatter);
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
