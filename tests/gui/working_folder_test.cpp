// SPDX-License-Identifier: MIT
// A working folder that cannot be written: the warning naming it, choosing another folder; and the
// file notice naming the folder the files went to, which its context menu opens.
#include "screens/working_folder.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <deque>
#include <filesystem>

#include "screens/screen_flow.h"

inline void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }
inline void PrintTo(const QUrl& url, std::ostream* out) { *out << url.toString().toStdString(); }

namespace xscatter::testing {

// Takes the URLs the desktop is asked to open.
class UrlCatcher : public QObject {
  Q_OBJECT

 public:
  QList<QUrl> opened;

 public slots:
  void Open(const QUrl& url) { opened << url; }
};

namespace {

namespace fs = std::filesystem;

// A folder no one can create files in, the administrator included.
const fs::path kUnwritable = "/proc";
const fs::path kUnwritableToo = "/proc/self";

TEST(WritableWorkingFolder, WarnsOnceForEachFolderThatCannotBeWrittenAndTakesTheOneChosen) {
  QTemporaryDir temp;
  const fs::path writable = temp.path().toStdString();
  const QString w = temp.path();
  const struct {
    const char* name;
    fs::path start;
    std::vector<bool> answers;     // to each warning: choose another folder?
    std::vector<QString> choices;  // what the folder dialog returns, in turn
    std::vector<fs::path> warned;  // the folders the warnings named
    fs::path result;
  } rows[] = {{"writable, no question", writable, {}, {}, {}, writable},
              {"declined", kUnwritable, {false}, {}, {kUnwritable}, kUnwritable},
              {"another chosen", kUnwritable, {true}, {w}, {kUnwritable}, writable},
              {"dialog cancelled", kUnwritable, {true}, {""}, {kUnwritable}, kUnwritable},
              {"an unwritable one chosen, then a writable one",
               kUnwritable,
               {true, true},
               {QString::fromStdString(kUnwritableToo.string()), w},
               {kUnwritable, kUnwritableToo},
               writable},
              {"an unwritable one chosen, then declined",
               kUnwritable,
               {true, false},
               {QString::fromStdString(kUnwritableToo.string())},
               {kUnwritable, kUnwritableToo},
               kUnwritable}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::deque<bool> answers(row.answers.begin(), row.answers.end());
    std::deque<QString> choices(row.choices.begin(), row.choices.end());
    QStringList warnings;
    const FolderQuestions questions{[&](const QString& warning) {
                                      warnings << warning;
                                      if (answers.empty()) return false;
                                      const bool answer = answers.front();
                                      answers.pop_front();
                                      return answer;
                                    },
                                    [&] {
                                      if (choices.empty()) return QString();
                                      QString choice = choices.front();
                                      choices.pop_front();
                                      return choice;
                                    }};
    EXPECT_EQ(WritableWorkingFolder(row.start, questions), row.result);
    QStringList expected;
    for (const fs::path& folder : row.warned) expected << UnwritableFolderWarning(folder);
    EXPECT_EQ(warnings, expected);
    EXPECT_TRUE(answers.empty() && choices.empty());
  }
  EXPECT_EQ(UnwritableFolderWarning("/proc"),
            "作業フォルダ /proc に書き込めません。\n"
            "スペクトルファイルを保存できるよう、別のフォルダを選びますか？");
  // The check leaves nothing behind.
  EXPECT_TRUE(fs::is_empty(writable));
}

TEST(FileNotice, NamesTheFolderBelowItsLinesAndItsMenuOpensIt) {
  QTemporaryDir temp;
  const fs::path folder = fs::path(temp.path().toStdString()) / "work";
  fs::create_directories(folder / "x" / "..");
  fs::create_directory_symlink(XSCATTER_DATA_DIR, folder / "Data");
  ScreenFlow flow;
  // Given with a "." and a trailing separator, as a relative start folder would be.
  flow.Calculation().SetWorkingFolder(folder / "x" / ".." / ".");
  flow.SetMessageFunction(
      [](MessageKind, const QString& text) { ADD_FAILURE() << text.toStdString(); });
  ASSERT_TRUE(flow.Start());
  flow.Form1Window().Command2->click();
  flow.Form5Window().Command1->click();
  flow.Form5Window().Command4->click();
  flow.Form8Window().Command1->click();
  flow.Form8Window().Command2->click();
  Form2& notice = flow.Form2Window();
  ASSERT_TRUE(notice.isVisible());
  const QString shown = QString::fromStdString(folder.string());
  EXPECT_EQ(notice.Folder(), shown);
  EXPECT_EQ(notice.FolderLabel->toolTip(), "保存先: " + shown);
  EXPECT_GE(notice.FolderLabel->geometry().top(), notice.Label4->geometry().bottom());
  EXPECT_LE(notice.FolderLabel->geometry().bottom(), notice.Command1->geometry().top());
  EXPECT_LE(notice.FolderLabel->fontMetrics().horizontalAdvance(notice.FolderLabel->text()),
            notice.FolderLabel->width());

  UrlCatcher catcher;
  QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "Open");
  QStringList entries;
  QTimer::singleShot(0, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr) return;
    for (QAction* action : menu->actions()) entries << action->text();
    menu->actions().front()->trigger();
    menu->close();
  });
  QContextMenuEvent menu_key(QContextMenuEvent::Keyboard, QPoint(10, 10), QPoint(10, 10));
  QApplication::sendEvent(&notice, &menu_key);
  QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
  EXPECT_EQ(entries, QStringList{"フォルダを開く"});
  EXPECT_EQ(catcher.opened, QList<QUrl>{QUrl::fromLocalFile(shown)});
}

}  // namespace
}  // namespace xscatter::testing

#include "working_folder_test.moc"
