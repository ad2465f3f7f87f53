// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace xscatter {

// The file notice: which files the last run wrote.
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

 signals:
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
};

}  // namespace xscatter
