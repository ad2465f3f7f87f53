// SPDX-License-Identifier: MIT
#include "screens/window_frame.h"

#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace xscatter {
namespace {

int CentredStart(int length, int area_start, int area_length) {
  if (length > area_length) return area_start;
  return area_start + (area_length - length) / 2;
}

QRect AvailableArea(const QWidget* window) { return window->screen()->availableGeometry(); }

}  // namespace

QPoint CentredFramePosition(QSize frame, const QRect& available) {
  return {CentredStart(frame.width(), available.left(), available.width()),
          CentredStart(frame.height(), available.top(), available.height())};
}

WindowFrameKeeper::WindowFrameKeeper(QWidget* window, Minimising minimising)
    : QObject(window), window_(window), minimising_(minimising) {
  // For a top-level window, move() places the frame's top-left corner.
  window_->move(CentredFramePosition(window_->size(), AvailableArea(window_)));
  window_->installEventFilter(this);
}

bool WindowFrameKeeper::eventFilter(QObject* watched, QEvent* event) {
  if (watched != window_) return false;
  switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
      // The frame is known once it is larger than the client area; without a window manager it
      // never is, and the client-area placement stands.
      if (awaiting_frame_ && window_->frameGeometry().size() != window_->size()) {
        awaiting_frame_ = false;
        window_->move(
            CentredFramePosition(window_->frameGeometry().size(), AvailableArea(window_)));
      }
      break;
    case QEvent::Hide:
      // Shown again, a window keeps its place.
      awaiting_frame_ = false;
      break;
    case QEvent::WindowStateChange:
      if (minimising_ == Minimising::kUndone && window_->isMinimized()) {
        // Restored once the state change is over, not from inside its notification.
        QTimer::singleShot(0, window_, [window = window_] {
          // A window the screens have hidden meanwhile stays hidden.
          if (window->isVisible() && window->isMinimized()) window->showNormal();
        });
      }
      break;
    default:
      break;
  }
  return false;
}

}  // namespace xscatter
