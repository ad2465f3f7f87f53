// SPDX-License-Identifier: MIT
#include "web/svg_surface.h"

#include <cstdio>

namespace xscatter::web {
namespace {

// Chart units to pixels, two decimals: finer than any screen shows.
std::string Px(double units, double pixels_per_units) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", units * pixels_per_units);
  return text;
}
std::string X(float x) { return Px(x, SvgSurface::kWidth / 6000); }
std::string Y(float y) { return Px(y, SvgSurface::kHeight / 2500); }

std::string Colour(int number) {
  const Rgb rgb = PaletteColour(number);
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", rgb.red, rgb.green, rgb.blue);
  return text;
}

std::string Stroke(int colour, int width) {
  return " stroke=\"" + Colour(colour) + "\" stroke-width=\"" + std::to_string(width) + "\"";
}

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace

void SvgSurface::Clear() {
  polyline_.clear();
  body_ = "<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>";
  x_ = y_ = 0;
}

void SvgSurface::SetLineWidth(int pixels) {
  if (pixels != line_width_) EndPolyline();
  line_width_ = pixels;
}

void SvgSurface::Line(float x1, float y1, float x2, float y2, int colour) {
  EndPolyline();
  body_ += "<line x1=\"" + X(x1) + "\" y1=\"" + Y(y1) + "\" x2=\"" + X(x2) + "\" y2=\"" + Y(y2) +
           "\"" + Stroke(colour, line_width_) + "/>";
  x_ = x2;
  y_ = y2;
}

void SvgSurface::LineTo(float x, float y, int colour) {
  if (!polyline_.empty() && colour != polyline_colour_) EndPolyline();
  if (polyline_.empty()) {
    polyline_ = X(x_) + "," + Y(y_);
    polyline_colour_ = colour;
  }
  polyline_ += " " + X(x) + "," + Y(y);
  x_ = x;
  y_ = y;
}

void SvgSurface::Rectangle(float x1, float y1, float x2, float y2, int colour) {
  EndPolyline();
  const float left = x1 < x2 ? x1 : x2;
  const float top = y1 < y2 ? y1 : y2;
  body_ += "<rect x=\"" + X(left) + "\" y=\"" + Y(top) + "\" width=\"" +
           X(x1 < x2 ? x2 - x1 : x1 - x2) + "\" height=\"" + Y(y1 < y2 ? y2 - y1 : y1 - y2) +
           "\" fill=\"none\"" + Stroke(colour, line_width_) + "/>";
  x_ = x2;
  y_ = y2;
}

void SvgSurface::Point(float x, float y, int colour) {
  EndPolyline();
  const double half = line_width_ / 2.0;
  char rect[160];
  std::snprintf(rect, sizeof rect,
                "<rect x=\"%.2f\" y=\"%.2f\" width=\"%d\" height=\"%d\" fill=\"%s\"/>",
                x * kWidth / 6000 - half, y * kHeight / 2500 - half, line_width_, line_width_,
                Colour(colour).c_str());
  body_ += rect;
  x_ = x;
  y_ = y;
}

void SvgSurface::Text(float x, float y, const std::string& text) {
  EndPolyline();
  // Times New Roman 18 pt is 24 pixels; its ascent is about 0.89 of that.
  body_ += "<text x=\"" + X(x) + "\" y=\"" + Px(y * kHeight / 2500 + 21.4, 1) + "\">" +
           Escaped(text) + "</text>";
  x_ = x;
  y_ = y;
}

std::string SvgSurface::OpenPolyline() const {
  if (polyline_.empty()) return {};
  return "<polyline points=\"" + polyline_ + "\" fill=\"none\"" +
         Stroke(polyline_colour_, line_width_) + " stroke-linejoin=\"round\"/>";
}

void SvgSurface::EndPolyline() {
  body_ += OpenPolyline();
  polyline_.clear();
}

std::string SvgSurface::Svg() const {
  return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"607\" height=\"439\" "
         "viewBox=\"0 0 607 439\" font-family=\"'Times New Roman',Times,serif\" "
         "font-size=\"24\">" +
         body_ + OpenPolyline() + "</svg>";
}

}  // namespace xscatter::web
