// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <optional>

#include "output/scatter_screen_layout.h"

namespace xscatter {

// Face names as the screens ask for them; InstallFontSubstitutions maps them to installed fonts.
inline const QString kMeiryo = QStringLiteral("メイリオ");
inline const QString kMaruGothic = QStringLiteral("HG丸ｺﾞｼｯｸM-PRO");
inline const QString kTimesNewRoman = QStringLiteral("Times New Roman");

inline const QColor kScreenBlue(0, 0, 255);
inline const QColor kScreenDarkBlue(0, 0, 192);
inline const QColor kScreenGrey(128, 128, 128);
inline const QColor kScreenLightCyan(192, 255, 255);
inline const QColor kScreenRed(255, 0, 0);

// A control rectangle in twips of the window's client area: left, top, width, height.
using Twips = TwipBox;

QFont ScreenFont(const QString& face, double points);

// Fixed client size in twips, close box only, the whole window centred on the screen. Dialog-style
// windows stay out of the task bar and cannot stay minimised.
enum class FrameStyle { kDialog, kSingle };
void SetUpWindow(QWidget* window, const QString& caption, Twips client, FrameStyle style,
                 const QFont& font);

void Place(QWidget* control, Twips box);

struct LabelStyle {
  std::optional<QFont> font = std::nullopt;  // the window font when empty
  std::optional<QColor> colour = std::nullopt;
  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop;
  bool auto_size = false;
  bool transparent = false;
};
// Auto-size labels keep their top-left corner and take the size of their text.
QLabel* AddLabel(QWidget* window, const char* name, const QString& text, Twips box,
                 const LabelStyle& style);
// While a label's text is wider than the label, it shows from its start, cut at the right with an
// ellipsis, and hovering it shows the whole text as a tooltip; while the text fits it shows as the
// label places it and there is no tooltip.
void ShowWholeTextAsTip(QLabel* label);
// A bordered rectangle in a colour, lowered behind every other control of its window.
QLabel* AddPanel(QWidget* window, const char* name, Twips box, const QColor& background);
QLineEdit* AddTextBox(QWidget* window, const char* name, Twips box, const QFont& font,
                      std::optional<QColor> text_colour);
// Light yellow face; Enter on a focused button presses it.
QPushButton* AddButton(QWidget* window, const char* name, const QString& text, Twips box,
                       std::optional<QFont> font);

// A horizontal line from (left, top) to (left + width, top) in twips, width in pixels.
class LineControl : public QWidget {
 public:
  LineControl(QWidget* window, const char* name, Twips from_to, const QColor& colour, int pixels);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor colour_;
};

}  // namespace xscatter
