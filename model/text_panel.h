// SPDX-License-Identifier: MIT
#pragma once

#include <map>
#include <string>

#include "model/command_panel.h"

namespace xscatter {

// A CommandPanel without windows: the box texts live here, starting as the screens' defaults with
// an empty angle box. Messages are dropped and yields do nothing unless a subclass says otherwise.
class TextPanel : public CommandPanel {
 public:
  TextPanel();

  std::string ConditionText(ConditionBox box) const override { return boxes.at(box); }
  void SetConditionText(ConditionBox box, const std::string& text) override { boxes[box] = text; }
  std::string AngleText() const override { return angle; }
  void Warn(const std::string&) override {}
  void ReportError(const std::string&) override {}
  void Yield() override {}

  ConditionTexts boxes;
  std::string angle;
};

}  // namespace xscatter
