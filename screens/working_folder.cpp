// SPDX-License-Identifier: MIT
#include "screens/working_folder.h"

#include <stdlib.h>
#include <unistd.h>

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <string>
#include <system_error>

#include "screens/controls.h"
#include "screens/window_title.h"

namespace xscatter {

namespace fs = std::filesystem;

bool FolderWritable(const fs::path& folder) {
  std::string name = (folder / ".xscatter-write-check-XXXXXX").string();
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(name.c_str());
  return true;
}

QString UnwritableFolderWarning(const fs::path& folder) {
  std::error_code ec;
  const fs::path shown = fs::absolute(folder, ec);
  return QStringLiteral(
             "作業フォルダ %1 に書き込めません。\n"
             "スペクトルファイルを保存できるよう、別のフォルダを選びますか？")
      .arg(QString::fromStdString((ec ? folder : shown.lexically_normal()).string()));
}

FolderQuestions AskingTheUser() {
  return {[](const QString& warning) {
            QMessageBox box(QMessageBox::Warning, kProgramTitle, warning);
            box.setFont(ScreenFont(kMeiryo, 12));
            QPushButton* choose =
                box.addButton(QStringLiteral("別のフォルダを選ぶ"), QMessageBox::AcceptRole);
            box.addButton(QStringLiteral("このまま続ける"), QMessageBox::RejectRole);
            box.setDefaultButton(choose);
            box.exec();
            return box.clickedButton() == choose;
          },
          [] {
            return QFileDialog::getExistingDirectory(
                nullptr, QStringLiteral("スペクトルファイルの保存先フォルダを選択"),
                QDir::homePath());
          }};
}

fs::path WritableWorkingFolder(const fs::path& folder, const FolderQuestions& questions) {
  fs::path current = folder;
  while (!FolderWritable(current)) {
    if (!questions.ask(UnwritableFolderWarning(current))) return folder;
    const QString chosen = questions.choose();
    if (chosen.isEmpty()) return folder;
    current = chosen.toStdString();
  }
  return current;
}

}  // namespace xscatter
