#pragma once

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "output/chart_surface.h"

namespace xscatter::testing {

// One primitive call on a chart surface, with its arguments exactly as received.
struct DrawCall {
  enum class Kind { kClear, kLineWidth, kLine, kLineTo, kRectangle, kPoint, kText };

  Kind kind = Kind::kClear;
  float x1 = 0;
  float y1 = 0;
  float x2 = 0;
  float y2 = 0;
  int colour = -1;  // palette number; -1 where the primitive takes none
  int width = 0;    // kLineWidth only
  std::string text;

  friend bool operator==(const DrawCall&, const DrawCall&) = default;

  static DrawCall Clear() { return {}; }
  static DrawCall LineWidth(int pixels) {
    DrawCall call = Of(Kind::kLineWidth, 0, 0, 0, 0, -1);
    call.width = pixels;
    return call;
  }
  static DrawCall Line(float x1, float y1, float x2, float y2, int colour) {
    return Of(Kind::kLine, x1, y1, x2, y2, colour);
  }
  static DrawCall LineTo(float x, float y, int colour) {
    return Of(Kind::kLineTo, x, y, 0, 0, colour);
  }
  static DrawCall Rectangle(float x1, float y1, float x2, float y2, int colour) {
    return Of(Kind::kRectangle, x1, y1, x2, y2, colour);
  }
  static DrawCall Point(float x, float y, int colour) {
    return Of(Kind::kPoint, x, y, 0, 0, colour);
  }
  static DrawCall Text(float x, float y, std::string text) {
    DrawCall call = Of(Kind::kText, x, y, 0, 0, -1);
    call.text = std::move(text);
    return call;
  }

  friend std::ostream& operator<<(std::ostream& out, const DrawCall& call) {
    switch (call.kind) {
      case Kind::kClear:
        return out << "Clear()";
      case Kind::kLineWidth:
        return out << "LineWidth(" << call.width << ")";
      case Kind::kLine:
        return out << "Line(" << call.x1 << ", " << call.y1 << ", " << call.x2 << ", " << call.y2
                   << ", colour " << call.colour << ")";
      case Kind::kLineTo:
        return out << "LineTo(" << call.x1 << ", " << call.y1 << ", colour " << call.colour << ")";
      case Kind::kRectangle:
        return out << "Rectangle(" << call.x1 << ", " << call.y1 << ", " << call.x2 << ", "
                   << call.y2 << ", colour " << call.colour << ")";
      case Kind::kPoint:
        return out << "Point(" << call.x1 << ", " << call.y1 << ", colour " << call.colour << ")";
      case Kind::kText:
        return out << "Text(" << call.x1 << ", " << call.y1 << ", \"" << call.text << "\")";
    }
    return out;
  }

 private:
  static DrawCall Of(Kind kind, float x1, float y1, float x2, float y2, int colour) {
    DrawCall call;
    call.kind = kind;
    call.x1 = x1;
    call.y1 = y1;
    call.x2 = x2;
    call.y2 = y2;
    call.colour = colour;
    return call;
  }
};

// A chart surface that draws nothing and records every call in order.
class RecordingSurface : public ChartSurface {
 public:
  void Clear() override { calls.push_back(DrawCall::Clear()); }
  void SetLineWidth(int pixels) override { calls.push_back(DrawCall::LineWidth(pixels)); }
  void Line(float x1, float y1, float x2, float y2, int colour) override {
    calls.push_back(DrawCall::Line(x1, y1, x2, y2, colour));
  }
  void LineTo(float x, float y, int colour) override {
    calls.push_back(DrawCall::LineTo(x, y, colour));
  }
  void Rectangle(float x1, float y1, float x2, float y2, int colour) override {
    calls.push_back(DrawCall::Rectangle(x1, y1, x2, y2, colour));
  }
  void Point(float x, float y, int colour) override {
    calls.push_back(DrawCall::Point(x, y, colour));
  }
  void Text(float x, float y, const std::string& text) override {
    calls.push_back(DrawCall::Text(x, y, text));
  }

  std::vector<DrawCall> calls;
};

}  // namespace xscatter::testing
