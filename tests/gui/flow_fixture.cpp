#include "flow_fixture.h"

#include <QCoreApplication>
#include <QEvent>

namespace xscatter::testing {

FlowTest::FlowTest() : flow_(std::make_unique<ScreenFlow>()) {
  flow_->Calculation().SetWorkingFolder(folder_.Path());
  flow_->SetMessageFunction([this](MessageKind kind, const QString& text) {
    messages_.push_back({kind, text.toStdString()});
  });
  end_requested_ = std::make_unique<QSignalSpy>(flow_.get(), &ScreenFlow::EndRequested);
  EXPECT_TRUE(flow_->Start());
}

FlowTest::~FlowTest() {
  flow_.reset();
  DeleteClosedWindows();
}

std::vector<std::string> FlowTest::ShownWindows() const {
  std::vector<std::string> shown;
  const std::pair<const char*, QWidget*> windows[] = {{"Form1", flow_->Form1IfCreated()},
                                                      {"Form5", flow_->Form5IfCreated()},
                                                      {"Form8", flow_->Form8IfCreated()},
                                                      {"Form2", flow_->Form2IfCreated()}};
  for (const auto& [name, window] : windows) {
    if (window != nullptr && window->isVisible()) shown.emplace_back(name);
  }
  return shown;
}

void FlowTest::EnterConditionsAndCalculate(const char* tube_voltage) {
  flow_->Form1Window().Command2->click();
  flow_->Form5Window().Text1->setText(QString::fromUtf8(tube_voltage));
  flow_->Form5Window().Command1->click();
}

void FlowTest::ReachScatterScreen(const char* tube_voltage) {
  EnterConditionsAndCalculate(tube_voltage);
  flow_->Form5Window().Command4->click();
}

void FlowTest::DeleteClosedWindows() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

int CountPixels(const QImage& image, QRgb colour) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) == colour) ++count;
    }
  }
  return count;
}

}  // namespace xscatter::testing
