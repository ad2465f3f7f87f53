// SPDX-License-Identifier: MIT
#include "output/qt/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace xscatter {
namespace {

constexpr double kTwipsPerInch = 1440;

int Convert(int twips, double dpi) {
  return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

double DpiX(const QWidget* widget) {
  if (widget != nullptr) return widget->logicalDpiX();
  return QGuiApplication::primaryScreen()->logicalDotsPerInchX();
}

double DpiY(const QWidget* widget) {
  if (widget != nullptr) return widget->logicalDpiY();
  return QGuiApplication::primaryScreen()->logicalDotsPerInchY();
}

}  // namespace

int TwipsToPixels(int twips, const QWidget* widget) { return Convert(twips, DpiX(widget)); }

int TwipsToPixelsY(int twips, const QWidget* widget) { return Convert(twips, DpiY(widget)); }

QRect TwipsRect(int left, int top, int width, int height, const QWidget* widget) {
  return QRect(TwipsToPixels(left, widget), TwipsToPixelsY(top, widget),
               TwipsToPixels(width, widget), TwipsToPixelsY(height, widget));
}

}  // namespace xscatter
