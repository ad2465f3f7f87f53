// SPDX-License-Identifier: MIT
#include "modal_answer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>

namespace xscatter::testing {
namespace {

constexpr int kLimitMs = 20000;
constexpr int kPollMs = 10;

void CloseModalWindow() {
  QWidget* modal = QApplication::activeModalWidget();
  if (auto* dialog = qobject_cast<QDialog*>(modal)) {
    dialog->reject();
  } else if (modal != nullptr) {
    modal->close();
  }
}

}  // namespace

ModalAnswer::ModalAnswer(std::function<void(QMessageBox&)> answer)
    : answer_(std::move(answer)), deadline_(kLimitMs) {
  timer_.setInterval(kPollMs);
  QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
  timer_.start();
}

ModalAnswer::~ModalAnswer() { timer_.stop(); }

void ModalAnswer::Poll() {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (box != nullptr && !answered_) {
    answered_ = true;
    answer_(*box);
    return;
  }
  if (deadline_.hasExpired()) {
    timer_.stop();
    ADD_FAILURE() << (answered_ ? "the message box stayed up after its answer"
                                : "no message box came up");
    CloseModalWindow();
  } else if (answered_ && box == nullptr) {
    timer_.stop();
  }
}

}  // namespace xscatter::testing
