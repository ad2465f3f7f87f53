// The program's message box, as it appears: modal, titled with the program's title, one OK button.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "screens/message_box.h"
#include "screens/window_title.h"

namespace xscatter::testing {
namespace {

struct Seen {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  qsizetype buttons = 0;
  bool ok = false;
  bool modal = false;
};

Seen ShowAndAcknowledge(MessageKind kind, const QString& text) {
  Seen seen;
  QTimer::singleShot(0, [&seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    seen = {box->windowTitle(),
            box->text(),
            box->icon(),
            box->buttons().size(),
            box->button(QMessageBox::Ok) != nullptr,
            box->isModal()};
    box->button(QMessageBox::Ok)->click();
  });
  ShowMessageBox(kind, text);
  return seen;
}

TEST(MessageBoxTest, WarningHasTheProgramTitleAWarningIconAndOneOkButton) {
  const QString text = QStringLiteral("\u3000管電圧が範囲外 ");
  const Seen seen = ShowAndAcknowledge(MessageKind::kWarning, text);
  EXPECT_EQ(seen.title, kProgramTitle);
  EXPECT_EQ(seen.text, text);
  EXPECT_EQ(seen.icon, QMessageBox::Warning);
  EXPECT_EQ(seen.buttons, 1);
  EXPECT_TRUE(seen.ok);
  EXPECT_TRUE(seen.modal);
}

TEST(MessageBoxTest, ErrorHasTheProgramTitleAndAnErrorIcon) {
  const Seen seen = ShowAndAcknowledge(MessageKind::kError, QStringLiteral("P_Spectrum.dat"));
  EXPECT_EQ(seen.title, kProgramTitle);
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
  EXPECT_EQ(seen.buttons, 1);
}

}  // namespace
}  // namespace xscatter::testing
