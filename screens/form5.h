// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <array>

#include "output/qt/chart_box.h"

namespace xscatter {

// The exposure-conditions screen: five condition boxes, the calculate command and the chart of the
// primary spectrum.
class Form5 : public QWidget {
  Q_OBJECT

 public:
  explicit Form5(QWidget* parent = nullptr);

  std::array<QLabel*, 4> Label1;
  QLabel* Label22;   // panel
  QLineEdit* Text1;  // tube voltage
  QLabel* Label6;
  QLabel* Label11;
  QLabel* Label10;
  QLineEdit* Text5;  // target angle
  QLabel* Label5;
  std::array<QLabel*, 2> Label2;
  QLineEdit* Text2;  // inherent filtration
  QLabel* Label7;
  QLabel* Label12;
  QLabel* Label3;
  QLineEdit* Text3;  // added aluminium
  QLabel* Label8;
  QLabel* Label4;
  QLineEdit* Text4;  // added copper
  QLabel* Label9;
  QPushButton* Command1;  // calculate
  QPushButton* Command3;  // Reset
  QPushButton* Command4;  // OK
  QPushButton* Command2;  // Cancel
  ChartBox* Picture3;

 signals:
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
};

}  // namespace xscatter
