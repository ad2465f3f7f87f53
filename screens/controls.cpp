// SPDX-License-Identifier: MIT
#include "screens/controls.h"

#include <QEvent>
#include <QPainter>
#include <QPalette>
#include <QStyle>

#include "output/qt/twips.h"
#include "screens/window_frame.h"

namespace xscatter {
namespace {

// With the Fusion style only a style sheet paints a button face in an exact colour; the border
// keeps the raised look the palette would otherwise give.
constexpr char kButtonStyle[] =
    "QPushButton { background-color: rgb(255, 255, 192); border: 2px outset rgb(160, 160, 160);"
    " padding: 2px; }"
    "QPushButton:pressed { border-style: inset; }"
    "QPushButton:focus { border-color: rgb(64, 64, 64); }"
    "QPushButton:disabled { color: rgb(128, 128, 128); }";

void SetTextColour(QWidget* control, QPalette::ColorRole role, const QColor& colour) {
  QPalette palette = control->palette();
  palette.setColor(role, colour);
  control->setPalette(palette);
}

// Decides on the tooltip when it is asked for, so it follows whatever text the label holds; and
// paints a text too wide for the label from its start, cut at the right with an ellipsis, where a
// right-aligned label would cut off its start and "12.5" could read as ".5".
class WholeTextTip : public QObject {
 public:
  explicit WholeTextTip(QLabel* label) : QObject(label), label_(label) {
    label->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != label_) return false;
    if (event->type() == QEvent::ToolTip) {
      label_->setToolTip(Fits() ? QString() : label_->text());
    } else if (event->type() == QEvent::Paint && !Fits()) {
      const QRect inside = label_->contentsRect();
      QPainter painter(label_);
      label_->style()->drawItemText(
          &painter, inside, Qt::AlignLeft | (label_->alignment() & Qt::AlignVertical_Mask),
          label_->palette(), label_->isEnabled(),
          label_->fontMetrics().elidedText(label_->text(), Qt::ElideRight, inside.width()),
          label_->foregroundRole());
      return true;
    }
    return false;
  }

 private:
  bool Fits() const {
    return label_->fontMetrics().horizontalAdvance(label_->text()) <=
           label_->contentsRect().width();
  }

  QLabel* label_;
};

}  // namespace

QFont ScreenFont(const QString& face, double points) {
  QFont font(face);
  font.setPointSizeF(points);
  font.setWeight(QFont::Normal);
  return font;
}

void SetUpWindow(QWidget* window, const QString& caption, Twips client, FrameStyle style,
                 const QFont& font) {
  // A dialog-type window has no task-bar entry, and window managers that follow the window type
  // rather than the frame hints give it no minimise or maximise box.
  Qt::WindowFlags flags = Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
  flags |= style == FrameStyle::kDialog ? Qt::Dialog : Qt::Window;
  window->setWindowFlags(flags);
  window->setWindowTitle(caption);
  window->setFont(font);
  window->setFixedSize(TwipsToPixels(client.width, window), TwipsToPixelsY(client.height, window));
  new WindowFrameKeeper(window, style == FrameStyle::kDialog
                                    ? WindowFrameKeeper::Minimising::kUndone
                                    : WindowFrameKeeper::Minimising::kAllowed);
}

void Place(QWidget* control, Twips box) {
  control->setGeometry(TwipsRect(box.left, box.top, box.width, box.height, control->window()));
}

QLabel* AddLabel(QWidget* window, const char* name, const QString& text, Twips box,
                 const LabelStyle& style) {
  auto* label = new QLabel(text, window);
  label->setObjectName(QString::fromLatin1(name));
  if (style.font) label->setFont(*style.font);
  if (style.colour) SetTextColour(label, QPalette::WindowText, *style.colour);
  label->setAlignment(style.alignment);
  label->setAutoFillBackground(!style.transparent);
  Place(label, box);
  if (style.auto_size) label->adjustSize();
  return label;
}

void ShowWholeTextAsTip(QLabel* label) { new WholeTextTip(label); }

QLabel* AddPanel(QWidget* window, const char* name, Twips box, const QColor& background) {
  auto* panel = new QLabel(window);
  panel->setObjectName(QString::fromLatin1(name));
  panel->setFrameStyle(QFrame::Box | QFrame::Plain);
  panel->setLineWidth(1);
  QPalette palette = panel->palette();
  palette.setColor(QPalette::Window, background);
  panel->setPalette(palette);
  panel->setAutoFillBackground(true);
  Place(panel, box);
  panel->lower();
  return panel;
}

QLineEdit* AddTextBox(QWidget* window, const char* name, Twips box, const QFont& font,
                      std::optional<QColor> text_colour) {
  auto* edit = new QLineEdit(QString::fromLatin1(name), window);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setFont(font);
  edit->setAlignment(Qt::AlignCenter);
  edit->setTextMargins(0, 0, 0, 0);
  if (text_colour) SetTextColour(edit, QPalette::Text, *text_colour);
  Place(edit, box);
  return edit;
}

QPushButton* AddButton(QWidget* window, const char* name, const QString& text, Twips box,
                       std::optional<QFont> font) {
  auto* button = new QPushButton(text, window);
  button->setObjectName(QString::fromLatin1(name));
  if (font) button->setFont(*font);
  button->setStyleSheet(QString::fromLatin1(kButtonStyle));
  button->setAutoDefault(true);
  Place(button, box);
  return button;
}

LineControl::LineControl(QWidget* window, const char* name, Twips from_to, const QColor& colour,
                         int pixels)
    : QWidget(window), colour_(colour) {
  setObjectName(QString::fromLatin1(name));
  const int left = TwipsToPixels(from_to.left, window);
  const int y = TwipsToPixelsY(from_to.top, window);
  setGeometry(left, y - pixels / 2, TwipsToPixels(from_to.width, window), pixels);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LineControl::paintEvent(QPaintEvent*) { QPainter(this).fillRect(rect(), colour_); }

}  // namespace xscatter
