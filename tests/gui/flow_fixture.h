#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QSignalSpy>
#include <memory>
#include <string>
#include <vector>

#include "screens/screen_flow.h"
#include "working_folder.h"

namespace xscatter::testing {

struct Message {
  MessageKind kind;
  std::string text;
  friend bool operator==(const Message&, const Message&) = default;
};

// A started program: tables loaded from a temporary working folder, the main screen shown, and
// message boxes captured instead of shown.
class FlowTest : public ::testing::Test {
 protected:
  FlowTest();
  ~FlowTest() override;

  // The windows shown, by name ("Form1" ...), in the order Form1, Form5, Form8, Form2.
  std::vector<std::string> ShownWindows() const;

  // Main screen OK, then calculate with the given tube voltage.
  void EnterConditionsAndCalculate(const char* tube_voltage = "100");
  // All of the above, then OK on the exposure-conditions screen.
  void ReachScatterScreen(const char* tube_voltage = "100");

  // Lets the windows destroyed by their close box go.
  static void DeleteClosedWindows();

  WorkingFolder folder_;
  std::unique_ptr<ScreenFlow> flow_;
  std::vector<Message> messages_;
  std::unique_ptr<QSignalSpy> end_requested_;
};

// Pixels of exactly this colour in a chart's drawing.
int CountPixels(const QImage& image, QRgb colour);

inline constexpr QRgb kChartRed = 0xffff0000;
inline constexpr QRgb kChartBlue = 0xff0000ff;

}  // namespace xscatter::testing
