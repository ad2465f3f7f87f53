#pragma once

#include <map>
#include <stdexcept>
#include <string>

#include "model/command_panel.h"

namespace xscatter::tables {

// Exposure conditions given as box texts, for running the program's own model outside its
// windows. A warning or an error means the conditions were not usable, so both throw.
class FixedPanel : public CommandPanel {
 public:
  std::string ConditionText(ConditionBox box) const override {
    const auto it = texts_.find(box);
    return it == texts_.end() ? std::string() : it->second;
  }
  void SetConditionText(ConditionBox box, const std::string& text) override { texts_[box] = text; }
  std::string AngleText() const override { return {}; }
  void Warn(const std::string& text) override { throw std::runtime_error(text); }
  void ReportError(const std::string& text) override { throw std::runtime_error(text); }
  void Yield() override {}

 private:
  std::map<ConditionBox, std::string> texts_;
};

}  // namespace xscatter::tables
