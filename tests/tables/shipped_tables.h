#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>
#include <utility>

#include <unistd.h>

#include "model/command_panel.h"
#include "model/state.h"

namespace xscatter::tables_test {

namespace fs = std::filesystem;

inline constexpr const char* kTableNames[] = {"Mus.dat", "Water.csv", "Water.xfs"};

// The smallest and largest momentum transfer the scatter models compute: 8 keV at 5 degrees and
// 150 keV at 175 degrees, with the program's Pi and wavelength constant.
inline double ModelX(double degrees, double kev) {
  return std::sin(0.5 * (degrees / 180 * 3.14159)) / (12.4 / kev);
}
inline const double kSmallestModelX = ModelX(5, 8);
inline const double kLargestModelX = ModelX(175, 150);

// An empty folder of the current test's own, apart from other runs of the suite, removed again
// when the test ends.
class ScratchFolder {
 public:
  ScratchFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    run_ = fs::path(::testing::TempDir()) / ("xscatter-tables-" + std::to_string(::getpid()));
    path_ = run_ / (std::string(info->test_suite_name()) + "." + info->name());
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
    fs::remove(run_, ignored);  // only once the last test's folder is gone
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const fs::path& Path() const { return path_; }

  // Makes the folder a working folder with the shipped tables in its Data/.
  const fs::path& WithShippedTables() const {
    fs::create_directories(path_ / "Data");
    for (const char* name : kTableNames) {
      fs::copy_file(fs::path(XSCATTER_DATA_DIR) / name, path_ / "Data" / name);
    }
    return path_;
  }

 private:
  fs::path run_;
  fs::path path_;
};

// Box texts for running the calculate command outside the windows.
class ConditionsPanel : public CommandPanel {
 public:
  std::string ConditionText(ConditionBox box) const override {
    const auto it = texts_.find(box);
    return it == texts_.end() ? std::string() : it->second;
  }
  void SetConditionText(ConditionBox box, const std::string& text) override { texts_[box] = text; }
  std::string AngleText() const override { return angle_; }
  void SetAngleText(std::string text) { angle_ = std::move(text); }
  void Warn(const std::string& text) override { ADD_FAILURE() << "warning: " << text; }
  void ReportError(const std::string& text) override { ADD_FAILURE() << "error: " << text; }
  void Yield() override {}

 private:
  std::map<ConditionBox, std::string> texts_;
  std::string angle_;
};

}  // namespace xscatter::tables_test
