// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

#include "model/text_panel.h"

namespace xscatter::web {

// The page's boxes as the commands see them. The page sends its box texts before each command;
// the warning or error and the boxes the command reset are kept for the page to show.
class WebPanel : public TextPanel {
 public:
  void SetConditionText(ConditionBox box, const std::string& text) override {
    TextPanel::SetConditionText(box, text);
    resets.push_back(box);
  }
  void Warn(const std::string& text) override { message = text; }
  void ReportError(const std::string& text) override { message = text; }

  // Forgets the last command's message and resets.
  void StartCommand() {
    message.clear();
    resets.clear();
  }

  std::string message;
  std::vector<ConditionBox> resets;
};

}  // namespace xscatter::web
