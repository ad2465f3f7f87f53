// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace xscatter {

// The file notice: which files the last run wrote and, below, the folder they went to, which its
// context menu opens in the desktop's file manager.
class Form2 : public QWidget {
  Q_OBJECT

 public:
  explicit Form2(QWidget* parent = nullptr);

  QLabel* Label6;
  QLabel* Label5;
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label4;
  QPushButton* Command1;  // OK
  QLabel* FolderLabel;    // "保存先: FOLDER", cut in the middle where long, whole as its tooltip

  // The folder the files went to, as an absolute path.
  void ShowFolder(const QString& folder);
  const QString& Folder() const { return folder_; }

 signals:
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  QString folder_;
};

}  // namespace xscatter
