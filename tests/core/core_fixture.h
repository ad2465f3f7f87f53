#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "model/command_panel.h"
#include "model/state.h"

namespace xscatter::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Smooth synthetic tables, written with seven significant digits (the same text that
// tests/core/reference/independent_model.py builds its reference files from).
std::string TestMusText();
std::string TestWaterText();
std::string TestXfsText();
void WriteFile(const std::filesystem::path& path, const std::string& text);
void WriteTestTables(const std::filesystem::path& folder);
std::string ReadFile(const std::filesystem::path& path);

// Box texts, captured messages and counted yields in place of the screens.
class FakePanel : public CommandPanel {
 public:
  FakePanel();
  std::string ConditionText(ConditionBox box) const override { return boxes.at(box); }
  void SetConditionText(ConditionBox box, const std::string& text) override { boxes[box] = text; }
  std::string AngleText() const override { return angle; }
  void Warn(const std::string& text) override { warnings.push_back(text); }
  void ReportError(const std::string& text) override { errors.push_back(text); }
  void Yield() override { ++yields; }

  std::map<ConditionBox, std::string> boxes;
  std::string angle = "90";
  std::vector<std::string> warnings;
  std::vector<std::string> errors;
  int yields = 0;
};

// A store loaded from the synthetic tables in its own folder, with a panel holding the defaults.
struct LoadedStore {
  LoadedStore();
  TempFolder folder;
  FakePanel panel;
  Module1 m;
};

}  // namespace xscatter::testing
