// SPDX-License-Identifier: MIT
#pragma once

#include <QRect>

class QWidget;

namespace xscatter {

// Screen geometry is laid out in twips (1440 to the inch, so 15 to a pixel at 96 dpi). These
// convert at the widget's logical dpi, so the windows keep their proportions on high-dpi screens; a
// null widget stands for the primary screen.
int TwipsToPixels(int twips, const QWidget* widget);
int TwipsToPixelsY(int twips, const QWidget* widget);
// Left, top, width and height in twips, each converted on its own, so a control's pixel size does
// not depend on where it stands.
QRect TwipsRect(int left, int top, int width, int height, const QWidget* widget);

}  // namespace xscatter
