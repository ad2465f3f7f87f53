// SPDX-License-Identifier: MIT
#include "screens/form1.h"

#include <QCloseEvent>

#include "screens/controls.h"
#include "screens/window_title.h"

namespace xscatter {

Form1::Form1(QWidget* parent) : QWidget(parent) {
  SetUpWindow(this, kProgramTitle, {0, 0, 16575, 7245}, FrameStyle::kDialog,
              ScreenFont(kMeiryo, 14.25));
  setWindowIcon(ProgramIcon());

  const LabelStyle statement{.font = ScreenFont(kMeiryo, 20.25),
                             .colour = kScreenBlue,
                             .auto_size = true,
                             .transparent = true};
  Label2 =
      AddLabel(this, "Label2",
               QStringLiteral(
                   "ある連続エネルギースペクトルを持ったＸ線束が空中で微小容積散乱体に衝突した時"),
               {480, 600, 15390, 615}, statement);
  Label11 =
      AddLabel(this, "Label11",
               QStringLiteral(
                   "一次線束に対して θ 方向の単位立体角に放出される散乱Ｘ線のスペクトルを計算する"),
               {480, 1440, 15495, 615}, statement);

  Picture1 = new DiagramBox(this);
  Picture1->setObjectName(QStringLiteral("Picture1"));
  Place(Picture1, {2520, 2520, 7290, 3705});

  const QFont button_font = ScreenFont(kMeiryo, 15.75);
  Command2 =
      AddButton(this, "Command2", QStringLiteral("OK"), {11520, 3600, 2775, 855}, button_font);
  Command3 =
      AddButton(this, "Command3", QStringLiteral("EXIT"), {11520, 4920, 2775, 735}, button_font);

  Picture2 = new IconBox(this);
  Picture2->setObjectName(QStringLiteral("Picture2"));
  Place(Picture2, {14160, 6120, 480, 480});

  Label10 = AddLabel(this, "Label10", QStringLiteral("xscatter " XSCATTER_VERSION),
                     {11400, 6240, 2325, 255},
                     {.font = ScreenFont(kTimesNewRoman, 11.25),
                      .colour = kScreenGrey,
                      .alignment = Qt::AlignHCenter | Qt::AlignTop,
                      .auto_size = true,
                      .transparent = true});

  for (QWidget* picture : {static_cast<QWidget*>(Picture1), static_cast<QWidget*>(Picture2)}) {
    picture->setFocusPolicy(Qt::TabFocus);
  }
  setTabOrder(Picture1, Command2);
  setTabOrder(Command2, Command3);
  setTabOrder(Command3, Picture2);
  Picture1->setFocus();
}

void Form1::closeEvent(QCloseEvent* event) {
  event->accept();
  emit Closed();
}

}  // namespace xscatter
