// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include "screens/picture_box.h"

namespace xscatter {

// The main screen: what the program computes, OK to start, EXIT to end.
class Form1 : public QWidget {
  Q_OBJECT

 public:
  explicit Form1(QWidget* parent = nullptr);

  QLabel* Label2;
  QLabel* Label11;
  DiagramBox* Picture1;
  QPushButton* Command2;  // OK
  QPushButton* Command3;  // EXIT
  IconBox* Picture2;
  QLabel* Label10;

 signals:
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
};

}  // namespace xscatter
