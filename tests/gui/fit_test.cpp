// SPDX-License-Identifier: MIT
// The windows on a screen too small for them: the size the client area is shown at, and the typical
// run done by clicking every button where it shows on the screen, after scrolling it into view as a
// person would. Run on whatever screen the platform gives (a small offscreen screen, a scaled one,
// or Xvfb under a window manager with a panel).
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <tuple>

#include "output/qt/twips.h"
#include "screens/client_fit.h"
#include "screens/screen_flow.h"

namespace xscatter::testing {
namespace {

namespace fs = std::filesystem;

// The scatter screen's client area (1298 x 770) and the main screen's (1105 x 483) in the room left
// by frames and panels, with 14 px scroll bars; worked by hand.
TEST(FittedClientSize, OwnSizeWhereItFitsElseWhatFitsWithRoomForTheScrollBars) {
  const std::tuple<const char*, QSize, QSize, QSize> rows[] = {
      {"fits exactly", {1298, 770}, {1298, 770}, {1298, 770}},
      {"fits with room", {1105, 483}, {1366, 747}, {1105, 483}},
      {"too tall, bar beside it", {1298, 770}, {1366, 707}, {1312, 707}},
      {"too tall, bar fills the width", {1298, 770}, {1312, 707}, {1312, 707}},
      {"too tall, no room for the bar", {1298, 770}, {1300, 707}, {1300, 707}},
      {"too wide, bar below it", {1298, 483}, {1280, 720}, {1280, 497}},
      {"too wide, bar makes it too tall", {1298, 710}, {1280, 720}, {1280, 720}},
      {"scaled 1.5 on full HD", {1298, 770}, {1278, 699}, {1278, 699}},
      {"one pixel too tall", {1298, 708}, {1366, 707}, {1312, 707}}};
  for (const auto& [name, client, room, shown] : rows) {
    EXPECT_EQ(FittedClientSize(client, room, 14), shown) << name;
  }
}

bool Scrolled(const QWidget* window) {
  return window->findChild<QScrollArea*>(QString(), Qt::FindDirectChildrenOnly) != nullptr;
}

// Shows where a person would have to click the button, after scrolling it into view, and clicks
// there: the whole frame on the screen's available area, the button's middle inside the client
// area and the button the widget found at that point of the screen.
void ClickAsShown(QPushButton* button) {
  QWidget* window = button->window();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  const QRect available = window->screen()->availableGeometry();
  // A window manager frames a window, and the window is placed again, a little after it is shown.
  for (int i = 0; i < 40 && !(window->frameGeometry() != window->geometry() &&
                              available.contains(window->frameGeometry()));
       ++i) {
    QTest::qWait(50);
  }
  EXPECT_TRUE(available.contains(window->frameGeometry()))
      << window->metaObject()->className() << " frame " << window->frameGeometry().x() << ","
      << window->frameGeometry().y() << " " << window->frameGeometry().width() << "x"
      << window->frameGeometry().height() << " beyond the available area";
  if (auto* area = window->findChild<QScrollArea*>(QString(), Qt::FindDirectChildrenOnly)) {
    area->ensureWidgetVisible(button, 0, 0);
  }
  // For a look at the screen: XSCATTER_FIT_SCREENSHOTS=folder keeps a picture of it before each
  // click.
  if (const QString shots = qEnvironmentVariable("XSCATTER_FIT_SCREENSHOTS"); !shots.isEmpty()) {
    static int shot = 0;
    window->screen()->grabWindow(0).save(QStringLiteral("%1/%2.png").arg(shots).arg(++shot));
  }
  const QPoint middle = button->rect().center();
  const QPoint on_screen = button->mapToGlobal(middle);
  EXPECT_TRUE(window->geometry().contains(on_screen));
  EXPECT_TRUE(available.contains(on_screen));
  const QWidget* found = QApplication::widgetAt(on_screen);
  EXPECT_EQ(found, button) << button->text().toStdString() << " covered by "
                           << (found ? found->metaObject()->className() : "nothing") << " "
                           << (found ? found->objectName().toStdString() : "");
  QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, middle);
}

TEST(Fit, TypicalRunByClickingWhereTheButtonsShow) {
  QTemporaryDir dir;
  const fs::path folder = dir.path().toStdString();
  fs::create_directory_symlink(XSCATTER_DATA_DIR, folder / "Data");
  ScreenFlow flow;
  flow.Calculation().SetWorkingFolder(folder);
  QStringList messages;
  flow.SetMessageFunction([&](MessageKind, const QString& text) { messages << text; });
  int ends = 0;
  QObject::connect(&flow, &ScreenFlow::EndRequested, [&] { ++ends; });
  ASSERT_TRUE(flow.Start());

  ClickAsShown(flow.Form1Window().Command2);
  ClickAsShown(flow.Form5Window().Command1);
  ClickAsShown(flow.Form5Window().Command4);
  Form8& form8 = flow.Form8Window();
  ClickAsShown(form8.Command1);
  ClickAsShown(form8.Command3);
  ClickAsShown(form8.Command1);
  ClickAsShown(form8.Command2);
  ClickAsShown(flow.Form2Window().Command1);
  ClickAsShown(flow.Form1Window().Command3);
  EXPECT_EQ(ends, 1);
  EXPECT_TRUE(messages.empty()) << messages.join('\n').toStdString();
  for (const char* name : {"P_Spectrum.dat", "Inc_Spectrum.dat", "Coh_Spectrum.dat"}) {
    EXPECT_EQ(fs::file_size(folder / name), name[0] == 'P' ? 6616U : 6918U) << name;
  }

  // Only the scatter screen is too large for these screens; its controls keep their size.
  EXPECT_FALSE(Scrolled(&flow.Form1Window()) || Scrolled(&flow.Form5Window()) ||
               Scrolled(&flow.Form2Window()));
  ASSERT_TRUE(Scrolled(&form8));
  EXPECT_LT(form8.height(), TwipsToPixelsY(11550, &form8));
  EXPECT_EQ(form8.Command2->parentWidget()->size(),
            QSize(TwipsToPixels(19470, &form8), TwipsToPixelsY(11550, &form8)));
  // The tab order is the scatter screen's own.
  QStringList order;
  for (QWidget* w = form8.Picture3; order.size() < 9; w = w->nextInFocusChain())
    if (w->focusPolicy() & Qt::TabFocus) order << w->objectName();
  EXPECT_EQ(order, (QStringList{"Picture3", "Picture1", "Text1", "Command1", "Command2", "Command3",
                                "Picture2", "Picture4", "Picture3"}));
}

}  // namespace
}  // namespace xscatter::testing
