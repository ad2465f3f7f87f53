// SPDX-License-Identifier: MIT
#include "screens/window_frame.h"

#include "screens/client_fit.h"

#include <QEvent>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QWidget>

namespace xscatter {
namespace {

int CentredStart(int length, int area_start, int area_length) {
  if (length > area_length) return area_start;
  return area_start + (area_length - length) / 2;
}

QRect AvailableArea(const QWidget* window) { return window->screen()->availableGeometry(); }

// The frame around the client area of the last window the window manager framed.
QSize last_frame_extra(0, 0);

constexpr int kFramePollMs = 50;
constexpr int kFramePolls = 40;

}  // namespace

QPoint CentredFramePosition(QSize frame, const QRect& available) {
  return {CentredStart(frame.width(), available.left(), available.width()),
          CentredStart(frame.height(), available.top(), available.height())};
}

WindowFrameKeeper::WindowFrameKeeper(QWidget* window, Minimising minimising)
    : QObject(window), window_(window), minimising_(minimising), natural_(window->size()) {
  // For a top-level window, move() places the frame's top-left corner.
  window_->move(CentredFramePosition(window_->size(), AvailableArea(window_)));
  window_->installEventFilter(this);
  frame_poll_.setInterval(kFramePollMs);
  connect(&frame_poll_, &QTimer::timeout, this, [this] {
    if (++frame_polls_ >= kFramePolls) frame_poll_.stop();
    PlaceOnceFramed();
  });
}

void WindowFrameKeeper::PlaceOnceFramed() {
  // The frame is known once it is around and larger than the client area; without a window
  // manager it never is, and the client-area placement stands. (While the window is being mapped
  // the frame can read as a 1 x 1 rectangle.)
  const QRect frame = window_->frameGeometry();
  if (!awaiting_frame_ || frame.size() == window_->size() || !frame.contains(window_->geometry()))
    return;
  awaiting_frame_ = false;
  frame_poll_.stop();
  last_frame_extra = window_->frameGeometry().size() - window_->size();
  window_->move(CentredFramePosition(Fit(last_frame_extra), AvailableArea(window_)));
}

bool WindowFrameKeeper::eventFilter(QObject* watched, QEvent* event) {
  if (watched != window_) return false;
  switch (event->type()) {
    case QEvent::Show:
      // Before the window is mapped, so that it appears at the size that fits.
      if (awaiting_frame_) {
        window_->move(CentredFramePosition(Fit(last_frame_extra), AvailableArea(window_)));
        // A frame put around a window that stays where it was placed moves nothing, so the frame
        // is looked for a while after showing as well.
        frame_polls_ = 0;
        frame_poll_.start();
      }
      PlaceOnceFramed();
      break;
    case QEvent::Move:
      PlaceOnceFramed();
      break;
    case QEvent::Hide:
      // Shown again, a window keeps its place.
      awaiting_frame_ = false;
      frame_poll_.stop();
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

QSize WindowFrameKeeper::Fit(QSize extra) {
  const QSize room = AvailableArea(window_).size() - extra;
  const int bar = window_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, window_);
  const QSize shown = FittedClientSize(natural_, room, bar);
  ShowClientAt(window_, natural_, shown);
  return shown + extra;
}

}  // namespace xscatter
