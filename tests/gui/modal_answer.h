// SPDX-License-Identifier: MIT
#pragma once

#include <QDeadlineTimer>
#include <QMessageBox>
#include <QTimer>
#include <functional>

namespace xscatter::testing {

// Answers the next message box from inside its modal loop: `answer` inspects it and presses a
// button. Should none come up, or the answer not close it, the test fails after a generous limit
// and whatever modal window is up is closed, so a broken box cannot hang the suite.
class ModalAnswer {
 public:
  explicit ModalAnswer(std::function<void(QMessageBox&)> answer);
  ~ModalAnswer();
  ModalAnswer(const ModalAnswer&) = delete;
  ModalAnswer& operator=(const ModalAnswer&) = delete;

  bool Answered() const { return answered_; }

 private:
  void Poll();

  std::function<void(QMessageBox&)> answer_;
  QDeadlineTimer deadline_;
  QTimer timer_;
  bool answered_ = false;
};

}  // namespace xscatter::testing
