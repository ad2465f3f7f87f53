// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "app/entries.h"

namespace xscatter {

// What the calculation needs from the screens: the box texts, the warning and error boxes, and a
// yield to the event loop. The windows implement it; the batch tool and the tests do too.
class CommandPanel {
 public:
  virtual ~CommandPanel() = default;
  virtual std::string ConditionText(ConditionBox box) const = 0;
  virtual void SetConditionText(ConditionBox box, const std::string& text) = 0;
  virtual std::string AngleText() const = 0;
  // Modal warning for a rejected entry; returns once it has been acknowledged.
  virtual void Warn(const std::string& text) = 0;
  // A table, model or file failure that the user must be told about; the program carries on.
  virtual void ReportError(const std::string& text) = 0;
  // Let pending window events run, then return.
  virtual void Yield() = 0;
};

}  // namespace xscatter
