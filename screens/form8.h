// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <array>

#include "output/qt/chart_box.h"
#include "screens/controls.h"
#include "screens/picture_box.h"

namespace xscatter {

// The scatter screen: the primary spectrum, the scattering angle, the chart of both scatter
// spectra with its legend, and a summary of the exposure conditions.
class Form8 : public QWidget {
  Q_OBJECT

 public:
  explicit Form8(QWidget* parent = nullptr);

  std::array<QLabel*, 3> Label1;
  std::array<QLabel*, 2> Label2;
  ChartBox* Picture3;  // primary chart
  ChartBox* Picture1;  // scatter chart
  QLabel* Label7;      // legend panel
  LineControl* Line1;
  QLabel* Label5;
  LineControl* Line2;
  QLabel* Label6;
  QLabel* Label10;  // summary panel
  QLabel* Label11;  // tube voltage as entered
  QLabel* Label14;
  QLabel* Label12;  // target angle as entered
  QLabel* Label17;
  QLabel* Label18;  // inherent filtration as entered
  QLabel* Label13;
  QLabel* Label16;
  QLabel* Label19;  // added aluminium as entered
  QLabel* Label8;
  QLabel* Label15;
  QLabel* Label20;  // added copper as entered
  QLabel* Label9;
  IconBox* Picture4;
  DiagramBox* Picture2;
  QLabel* Label3;
  QLineEdit* Text1;  // scattering angle
  QLabel* Label4;
  QPushButton* Command1;  // OK
  QPushButton* Command3;  // Clear
  QPushButton* Command2;  // END

 signals:
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  // A click with the primary button in the angle box empties it; Enter there only moves the focus
  // to OK.
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace xscatter
