// SPDX-License-Identifier: MIT
#include "screens/client_fit.h"

#include <QScrollArea>
#include <QWidget>
#include <algorithm>

namespace xscatter {
namespace {

const QString kScrollName = QStringLiteral("client_scroll");

QScrollArea* ScrollAreaOf(QWidget* window) {
  return window->findChild<QScrollArea*>(kScrollName, Qt::FindDirectChildrenOnly);
}

// Moves every control of the window into a widget of the window's size inside a scroll area.
QScrollArea* AddScrollArea(QWidget* window, QSize natural) {
  auto* client = new QWidget(window);
  client->setObjectName(QStringLiteral("client"));
  client->setFixedSize(natural);
  // In stacking order, so that a panel lowered behind the labels stays behind them.
  const QObjectList children = window->children();
  for (QObject* child : children) {
    auto* control = qobject_cast<QWidget*>(child);
    if (control == nullptr || control == client || control->isWindow()) continue;
    const bool hidden = control->isHidden();
    // Within the same window the focus chain, and so the tab order, stays as it was.
    control->setParent(client);
    if (!hidden) control->show();
  }
  auto* area = new QScrollArea(window);
  area->setObjectName(kScrollName);
  area->setFrameShape(QFrame::NoFrame);
  area->setFocusPolicy(Qt::NoFocus);
  area->setWidget(client);
  area->show();
  return area;
}

}  // namespace

QSize FittedClientSize(QSize client, QSize room, int bar) {
  if (client.width() <= room.width() && client.height() <= room.height()) return client;
  bool across = client.width() > room.width();
  bool down = client.height() > room.height();
  // A scroll bar along one axis takes its breadth from the other.
  if (down && client.width() + bar > room.width()) across = true;
  if (across && client.height() + bar > room.height()) down = true;
  return {std::min(client.width() + (down ? bar : 0), room.width()),
          std::min(client.height() + (across ? bar : 0), room.height())};
}

void ShowClientAt(QWidget* window, QSize natural, QSize shown) {
  QScrollArea* area = ScrollAreaOf(window);
  if (area == nullptr && shown == natural) return;
  if (area == nullptr) area = AddScrollArea(window, natural);
  window->setFixedSize(shown);
  area->setGeometry(QRect(QPoint(0, 0), shown));
}

}  // namespace xscatter
