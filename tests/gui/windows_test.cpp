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
#include <QPushButton>
#include <QScreen>
#include <QStyleFactory>
#include <memory>

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

struct PlacementCase {
  const char* name;
  QSize frame;
  QRect available;
  QPoint expected;
};

void PrintTo(const PlacementCase& c, std::ostream* out) { *out << c.name; }

class Placement : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(Placement, CentresTheFrameOrStartsItAtTheAreaEdge) {
  const PlacementCase& c = GetParam();
  EXPECT_EQ(CentredFramePosition(c.frame, c.available), c.expected);
}

// Frames of the main screen (1105 x 483 client, 1 px borders and a 20 px title) and the scatter
// screen (1298 x 770 client) on common screens, worked by hand.
INSTANTIATE_TEST_SUITE_P(
    Screens, Placement,
    ::testing::Values(
        PlacementCase{"MainOn1366x768", {1107, 504}, {0, 0, 1366, 768}, {129, 132}},
        PlacementCase{"OddRemainderRoundsDown", {1107, 505}, {0, 0, 1366, 768}, {129, 131}},
        PlacementCase{"BelowATopPanel", {584, 345}, {0, 24, 1366, 744}, {391, 223}},
        PlacementCase{"ScatterTooTallFor768", {1300, 791}, {0, 0, 1366, 768}, {33, 0}},
        PlacementCase{"ScatterTooTallBelowAPanel", {1300, 791}, {0, 24, 1366, 744}, {33, 24}},
        PlacementCase{"TooWideAndTooTall", {1300, 791}, {0, 0, 1024, 600}, {0, 0}},
        PlacementCase{"ExactlyTheArea", {1366, 768}, {0, 0, 1366, 768}, {0, 0}},
        PlacementCase{"LeftMonitor", {1300, 791}, {-1280, 0, 1280, 1024}, {-1280, 116}},
        PlacementCase{"ScatterOn1600x1000", {1300, 791}, {0, 0, 1600, 1000}, {150, 104}}),
    [](const auto& info) { return std::string(info.param.name); });

// Along one axis: a frame that fits leaves equal room on both sides (one pixel of rounding), a
// frame that does not starts at the area's edge.
void ExpectPlaced(int start, int length, int area_start, int area_length) {
  if (length <= area_length) {
    const int before = start - area_start;
    const int after = area_start + area_length - (start + length);
    EXPECT_LE(std::abs(before - after), 1) << "room before " << before << ", after " << after;
  } else {
    EXPECT_EQ(start, area_start);
  }
}

struct WindowCase {
  const char* name;
  std::function<QWidget*()> make;
  Qt::WindowType type;
  bool stays_minimised;
};

void PrintTo(const WindowCase& c, std::ostream* out) { *out << c.name; }

class Windows : public ::testing::TestWithParam<WindowCase> {};

// Offscreen windows get a 2 pixel frame once shown, as a window manager's would come.
TEST_P(Windows, WholeFrameIsCentredOrStartsOnScreen) {
  std::unique_ptr<QWidget> window(GetParam().make());
  window->show();
  QApplication::processEvents();
  const QRect frame = window->frameGeometry();
  ASSERT_NE(frame.size(), window->size()) << "the platform gave no frame";
  const QRect area = window->screen()->availableGeometry();
  {
    SCOPED_TRACE("horizontally");
    ExpectPlaced(frame.left(), frame.width(), area.left(), area.width());
  }
  {
    SCOPED_TRACE("vertically");
    ExpectPlaced(frame.top(), frame.height(), area.top(), area.height());
  }
  // Hidden and shown again, the window keeps its place.
  window->move(frame.topLeft() + QPoint(7, 5));
  window->hide();
  window->show();
  QApplication::processEvents();
  EXPECT_EQ(window->frameGeometry().topLeft(), frame.topLeft() + QPoint(7, 5));
}

TEST_P(Windows, DialogTypeWithoutMinimiseOrMaximiseBoxes) {
  std::unique_ptr<QWidget> window(GetParam().make());
  EXPECT_EQ(window->windowType(), GetParam().type);
  const Qt::WindowFlags flags = window->windowFlags();
  EXPECT_TRUE(
      flags.testFlags(Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint));
  EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
}

// Only the windows with a task-bar entry may stay minimised; the others would be lost.
TEST_P(Windows, MinimisedWithoutTaskBarEntryComesBack) {
  std::unique_ptr<QWidget> window(GetParam().make());
  window->show();
  QApplication::processEvents();
  window->showMinimized();
  QApplication::processEvents();
  QApplication::processEvents();
  EXPECT_EQ(window->isMinimized(), GetParam().stays_minimised);
  EXPECT_TRUE(window->isVisible());
}

TEST_P(Windows, HiddenWhileMinimisedStaysHidden) {
  std::unique_ptr<QWidget> window(GetParam().make());
  window->show();
  QApplication::processEvents();
  window->showMinimized();
  window->hide();
  QApplication::processEvents();
  QApplication::processEvents();
  EXPECT_FALSE(window->isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Screens, Windows,
    ::testing::Values(WindowCase{"Form1", [] { return new Form1; }, Qt::Dialog, false},
                      WindowCase{"Form5", [] { return new Form5; }, Qt::Dialog, false},
                      WindowCase{"Form8", [] { return new Form8; }, Qt::Window, true},
                      WindowCase{"Form2", [] { return new Form2; }, Qt::Window, true}),
    [](const auto& info) { return std::string(info.param.name); });

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

struct MessageCase {
  const char* name;
  MessageKind kind;
  QMessageBox::Icon icon;
};

void PrintTo(const MessageCase& c, std::ostream* out) { *out << c.name; }

class MessageBoxTest : public ::testing::TestWithParam<MessageCase> {
 protected:
  MessageBoxTest() : previous_style_(QApplication::style()->name()) {
    QApplication::setStyle(new IconButtonsStyle);
  }
  ~MessageBoxTest() override { QApplication::setStyle(previous_style_); }

 private:
  QString previous_style_;
};

TEST_P(MessageBoxTest, TitleShownWholeOneOkButtonWithoutIconAndTheScreensFont) {
  const QMessageBox::Icon icon = GetParam().icon;
  ModalAnswer answer([icon](QMessageBox& box) {
    EXPECT_EQ(box.windowTitle(), kProgramTitle);
    EXPECT_EQ(box.icon(), icon);
    ASSERT_EQ(box.buttons().size(), 1);
    QAbstractButton* ok = box.button(QMessageBox::Ok);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_TRUE(ok->icon().isNull());
    EXPECT_EQ(box.font().family(), kMeiryo);
    const auto* text = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(), QStringLiteral(" 散乱角度が範囲外です "));
    EXPECT_EQ(text->font().family(), kMeiryo);
    EXPECT_GE(box.width(), TitleBarWidth(kProgramTitle));
    ok->click();
  });
  ShowMessageBox(GetParam().kind, QStringLiteral(" 散乱角度が範囲外です "));
  EXPECT_TRUE(answer.Answered());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, MessageBoxTest,
    ::testing::Values(MessageCase{"Warning", MessageKind::kWarning, QMessageBox::Warning},
                      MessageCase{"Error", MessageKind::kError, QMessageBox::Critical}),
    [](const auto& info) { return std::string(info.param.name); });

// Room for the title in bold title-bar type and at least three square frame buttons of its height.
TEST(MessageBoxTitle, WidthCoversTheTitleAndTheFrameButtons) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
  font.setBold(true);
  const QFontMetrics metrics(font);
  EXPECT_GE(TitleBarWidth(kProgramTitle),
            metrics.horizontalAdvance(kProgramTitle) + 3 * metrics.height());
  EXPECT_GT(TitleBarWidth(kProgramTitle), TitleBarWidth(QStringLiteral("散乱")));
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
