// SPDX-License-Identifier: MIT
// The windows' frames on the offscreen platform (placement, window type, minimising), the message
// box, and Qt's own texts in Japanese.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProxyStyle>
#include <QScreen>
#include <QStyleFactory>
#include <memory>
#include <tuple>

#include "modal_answer.h"
#include "screens/controls.h"
#include "screens/form1.h"
#include "screens/form2.h"
#include "screens/form5.h"
#include "screens/form8.h"
#include "screens/message_box.h"
#include "screens/window_frame.h"
#include "screens/window_title.h"

namespace xscatter::testing {
namespace {

// Frames of the main screen (1105 x 483 client, 1 px borders and a 20 px title) and the scatter
// screen (1298 x 770 client) on common screens, worked by hand.
TEST(Placement, CentresTheFrameOrStartsItAtTheAreaEdge) {
  const std::tuple<const char*, QSize, QRect, QPoint> rows[] = {
      {"main on 1366 x 768", {1107, 504}, {0, 0, 1366, 768}, {129, 132}},
      {"odd remainder rounds down", {1107, 505}, {0, 0, 1366, 768}, {129, 131}},
      {"below a top panel", {584, 345}, {0, 24, 1366, 744}, {391, 223}},
      {"scatter too tall below a panel", {1300, 791}, {0, 24, 1366, 744}, {33, 24}},
      {"exactly the area", {1366, 768}, {0, 0, 1366, 768}, {0, 0}},
      {"left monitor", {1300, 791}, {-1280, 0, 1280, 1024}, {-1280, 116}}};
  for (const auto& [name, frame, available, expected] : rows) {
    EXPECT_EQ(CentredFramePosition(frame, available), expected) << name;
  }
}

// Each window with its type and whether it may stay minimised: only a window with a task-bar entry
// may, the others would be lost.
const struct {
  const char* name;
  QWidget* (*make)();
  Qt::WindowType type;
  bool stays_minimised;
} kWindows[] = {{"Form1", []() -> QWidget* { return new Form1; }, Qt::Dialog, false},
                {"Form5", []() -> QWidget* { return new Form5; }, Qt::Dialog, false},
                {"Form8", []() -> QWidget* { return new Form8; }, Qt::Window, true},
                {"Form2", []() -> QWidget* { return new Form2; }, Qt::Window, true}};

// Offscreen windows get a 2 pixel frame once shown, as a window manager's would come.
void Show(QWidget& window) {
  window.show();
  QApplication::processEvents();
}

TEST(Windows, TypeCloseBoxOnlyWholeFrameCentredAndKeptAndMinimisingUndoneWithoutTaskBarEntry) {
  for (const auto& w : kWindows) {
    SCOPED_TRACE(w.name);
    const std::unique_ptr<QWidget> window(w.make());
    Show(*window);
    EXPECT_EQ(window->windowType(), w.type);
    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_TRUE(
        flags.testFlags(Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    const QRect frame = window->frameGeometry();
    ASSERT_NE(frame.size(), window->size()) << "the platform gave no frame";
    EXPECT_EQ(frame.topLeft(),
              CentredFramePosition(frame.size(), window->screen()->availableGeometry()));
    // Hidden and shown again, the window keeps its place.
    window->move(frame.topLeft() + QPoint(7, 5));
    window->hide();
    Show(*window);
    EXPECT_EQ(window->frameGeometry().topLeft(), frame.topLeft() + QPoint(7, 5));
    window->showMinimized();
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(window->isMinimized(), w.stays_minimised);
    EXPECT_TRUE(window->isVisible());
    window->showNormal();
    window->showMinimized();
    window->hide();
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_FALSE(window->isVisible());
  }
}

// Gives dialog buttons theme icons, as desktop themes do and the offscreen platform does not.
class IconButtonsStyle : public QProxyStyle {
 public:
  IconButtonsStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* data) const override {
    if (hint == SH_DialogButtonBox_ButtonsHaveIcons) return 1;
    return QProxyStyle::styleHint(hint, option, widget, data);
  }
};

TEST(MessageBox, TitleShownWholeOneOkButtonWithoutIconAndTheScreensFont) {
  const QString previous_style = QApplication::style()->name();
  QApplication::setStyle(new IconButtonsStyle);
  const QString text = QStringLiteral(" 散乱角度が範囲外です ");
  QFont title_font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
  title_font.setBold(true);
  const QFontMetrics title(title_font);
  for (const auto& row : {std::pair{MessageKind::kWarning, QMessageBox::Warning},
                          std::pair{MessageKind::kError, QMessageBox::Critical}}) {
    // clang 14 cannot capture a structured binding, so the row's parts are plain variables.
    const MessageKind kind = row.first;
    const QMessageBox::Icon icon = row.second;
    SCOPED_TRACE(icon == QMessageBox::Warning ? "warning" : "error");
    ModalAnswer answer([&](QMessageBox& box) {
      EXPECT_EQ(box.windowTitle(), kProgramTitle);
      EXPECT_EQ(box.icon(), icon);
      QAbstractButton* ok = box.button(QMessageBox::Ok);
      ASSERT_EQ(box.buttons(), QList<QAbstractButton*>{ok});
      EXPECT_EQ(ok->text(), "OK");
      EXPECT_TRUE(ok->icon().isNull());
      const auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
      ASSERT_NE(label, nullptr);
      EXPECT_EQ(label->text(), text);
      EXPECT_EQ(QStringList({box.font().family(), label->font().family()}),
                QStringList({kMeiryo, kMeiryo}));
      // Room for the title in bold title-bar type and at least three square frame buttons.
      EXPECT_GE(box.width(), title.horizontalAdvance(kProgramTitle) + 3 * title.height());
      ok->click();
    });
    ShowMessageBox(kind, text);
    EXPECT_TRUE(answer.Answered());
  }
  QApplication::setStyle(previous_style);
}

TEST(QtTranslations, TextBoxMenuIsJapanese) {
  QLineEdit box(QStringLiteral("90"));
  std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
  QStringList texts;
  for (const QAction* action : menu->actions()) {
    if (!action->isSeparator()) texts << action->text().section(QLatin1Char('\t'), 0, 0);
  }
  EXPECT_EQ(texts, (QStringList{"元に戻す(&U)", "やり直す(&R)", "切り取り(&T)", "コピー(&C)",
                                "貼り付け(&P)", "削除", "すべてを選択"}));
}

}  // namespace
}  // namespace xscatter::testing
