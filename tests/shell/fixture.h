// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

#include "model/state.h"
#include "model/text_panel.h"
#include "tests/support/files.h"

namespace xscatter::testing {

// Box texts with captured messages and counted yields in place of the screens.
struct FakePanel : TextPanel {
  FakePanel() { angle = "90"; }
  void Warn(const std::string& text) override { warnings.push_back(text); }
  void ReportError(const std::string& text) override { errors.push_back(text); }
  void Yield() override { ++yields; }

  std::vector<std::string> warnings, errors;
  int yields = 0;
};

// A store loaded from the synthetic tables in its own folder, with the default box texts.
struct LoadedStore {
  LoadedStore();
  TempFolder folder;
  FakePanel panel;
  Module1 m;
};

}  // namespace xscatter::testing
