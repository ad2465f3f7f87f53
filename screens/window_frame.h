// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QTimer>

class QWidget;

namespace xscatter {

// Top-left corner for a window frame of the given size centred in the available screen area. Along
// an axis where the frame is larger than the area it starts at the area's edge instead, so that the
// title bar and the controls near it are on screen.
QPoint CentredFramePosition(QSize frame, const QRect& available);

// Keeps a top-level window where the screens want it. The window manager puts its frame around a
// window only once it is first shown; then the whole frame, title bar included, is centred again
// in the available area (before, only the client area could be). A window whose frame is larger
// than the available area (a small screen, a task bar, a large scale) shows its client area
// scrolled, at the size that fits, so that every control can still be reached; until its own frame
// is known, the frame of the last window framed stands in for it. A window without a task-bar entry
// is given back at once when it gets minimised, since nothing would show where it went.
class WindowFrameKeeper : public QObject {
 public:
  enum class Minimising { kAllowed, kUndone };
  // Places the window by its client area for now; owned by the window.
  WindowFrameKeeper(QWidget* window, Minimising minimising);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Once the window manager has framed the window: the frame centred and the client area fitted.
  void PlaceOnceFramed();
  // Fits the client area into the available area less the frame's `extra`; the frame's size.
  QSize Fit(QSize extra);

  QWidget* window_;
  Minimising minimising_;
  QSize natural_;
  bool awaiting_frame_ = true;
  QTimer frame_poll_;
  int frame_polls_ = 0;
};

}  // namespace xscatter
