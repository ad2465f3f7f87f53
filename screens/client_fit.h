// SPDX-License-Identifier: MIT
#pragma once

#include <QSize>

class QWidget;

namespace xscatter {

// The size at which a window's client area is shown in an area of `room` (the available area less
// the frame): its own size where it fits; otherwise what fits, widened or heightened by a scroll
// bar's `bar` pixels where the client area scrolls along the other axis and there is room for it.
QSize FittedClientSize(QSize client, QSize room, int bar);

// Shows the window's client area at `shown`: where that is smaller than the controls' own area,
// they move once into a frameless scroll area filling the window, keeping their places, order and
// focus chain, and the window takes the smaller size. A window whose controls were moved is given
// back its whole area when `shown` is that again.
void ShowClientAt(QWidget* window, QSize natural, QSize shown);

}  // namespace xscatter
