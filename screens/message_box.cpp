// SPDX-License-Identifier: MIT
#include "screens/message_box.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

#include "screens/controls.h"
#include "screens/window_title.h"

namespace xscatter {

int TitleBarWidth(const QString& title) {
  // Window managers commonly draw titles in bold; bold is the wider of the two.
  QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
  font.setBold(true);
  const QFontMetrics metrics(font);
  // The frame's icon, close box and padding, each about a title-bar height of one line and a half.
  const int frame_buttons = 4 * (metrics.height() * 3 / 2);
  return metrics.horizontalAdvance(title) + frame_buttons;
}

void ShowMessageBox(MessageKind kind, const QString& text) {
  QMessageBox box(kind == MessageKind::kWarning ? QMessageBox::Warning : QMessageBox::Critical,
                  kProgramTitle, text, QMessageBox::Ok);
  box.setFont(ScreenFont(kMeiryo, 12));
  box.button(QMessageBox::Ok)->setIcon(QIcon());
  // The box sizes itself to its text and buttons; a spacer across its layout keeps it at least as
  // wide as its title needs.
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
    grid->addItem(new QSpacerItem(TitleBarWidth(kProgramTitle), 0, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
  }
  box.exec();
}

}  // namespace xscatter
