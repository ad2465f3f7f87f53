// SPDX-License-Identifier: MIT
#include "screens/figures_window.h"

#include <QVBoxLayout>

#include "screens/controls.h"

namespace xscatter {

FiguresWindow::FiguresWindow(QWidget* parent) : QWidget(parent, Qt::Tool) {
  setWindowTitle(QStringLiteral("線質"));
  setObjectName(QStringLiteral("FiguresWindow"));
  setAttribute(Qt::WA_DeleteOnClose, false);
  Text = new QPlainTextEdit(this);
  Text->setReadOnly(true);
  Text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  Text->setLineWrapMode(QPlainTextEdit::NoWrap);
  Text->setFont(ScreenFont(kMeiryo, 10));
  Text->setTabStopDistance(Text->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 28);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(Text);
  resize(520, 420);
}

void FiguresWindow::ShowText(const QString& text) {
  Text->setPlainText(text);
  show();
  raise();
}

}  // namespace xscatter
