// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace xscatter {

// Top-left corner for a window frame of the given size centred in the available screen area. Along
// an axis where the frame is larger than the area it starts at the area's edge instead, so that the
// title bar and the controls near it are on screen.
QPoint CentredFramePosition(QSize frame, const QRect& available);

// Keeps a top-level window where the screens want it. The window manager puts its frame around a
// window only once it is first shown; then the whole frame, title bar included, is centred again
// in the available area (before, only the client area could be). A window without a task-bar entry
// is given back at once when it gets minimised, since nothing would show where it went.
class WindowFrameKeeper : public QObject {
 public:
  enum class Minimising { kAllowed, kUndone };
  // Places the window by its client area for now; owned by the window.
  WindowFrameKeeper(QWidget* window, Minimising minimising);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* window_;
  Minimising minimising_;
  bool awaiting_frame_ = true;
};

}  // namespace xscatter
