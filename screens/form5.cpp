// SPDX-License-Identifier: MIT
#include "screens/form5.h"

#include <QCloseEvent>

#include "output/qt/twips.h"
#include "screens/controls.h"
#include "screens/picture_box.h"

namespace xscatter {

Form5::Form5(QWidget* parent) : QWidget(parent) {
  SetUpWindow(this, QStringLiteral("X-ray spectrum"), {0, 0, 14865, 8235}, FrameStyle::kDialog,
              ScreenFont(kMeiryo, 12));
  setWindowIcon(ProgramIcon());

  const QFont meiryo18 = ScreenFont(kMeiryo, 18);
  const QFont meiryo1575 = ScreenFont(kMeiryo, 15.75);
  const QFont meiryo1125 = ScreenFont(kMeiryo, 11.25);
  const QFont maru12 = ScreenFont(kMaruGothic, 12);
  const QFont times = ScreenFont(kTimesNewRoman, 14.25);
  const LabelStyle caption{.font = maru12,
                           .alignment = Qt::AlignHCenter | Qt::AlignTop,
                           .auto_size = true,
                           .transparent = true};
  const LabelStyle unit{.font = times,
                        .alignment = Qt::AlignHCenter | Qt::AlignTop,
                        .auto_size = true,
                        .transparent = true};
  const LabelStyle hint{.font = meiryo1125, .auto_size = true, .transparent = true};

  Label1[3] = AddLabel(this, "Label1_3",
                       QStringLiteral("一次Ｘ線スペクトルを Tucker 近似式を用いて取得する"),
                       {2520, 360, 8970, 540},
                       {.font = meiryo18,
                        .colour = kScreenDarkBlue,
                        .alignment = Qt::AlignHCenter | Qt::AlignTop,
                        .auto_size = true,
                        .transparent = true});
  Label22 = AddPanel(this, "Label22", {240, 1200, 4935, 5775}, kScreenLightCyan);
  Label1[2] = AddLabel(this, "Label1_2", QStringLiteral("照射条件の設定"), {615, 1440, 2220, 465},
                       {.font = meiryo1575,
                        .colour = kScreenDarkBlue,
                        .alignment = Qt::AlignHCenter | Qt::AlignTop,
                        .auto_size = true,
                        .transparent = true});
  Label1[1] =
      AddLabel(this, "Label1_1", QStringLiteral("Ｘ線管電圧"), {1440, 2160, 1200, 240}, caption);
  Text1 = AddTextBox(this, "Text1", {2880, 2040, 975, 405}, times, kScreenDarkBlue);
  Label6 = AddLabel(this, "Label6", QStringLiteral("kV"), {3945, 2160, 345, 315}, unit);
  Label11 = AddLabel(this, "Label11", QStringLiteral("(40～150)"), {2760, 2400, 1110, 345}, hint);
  Label10 = AddLabel(this, "Label10", QStringLiteral("高電圧整流方式：定電圧"),
                     {1200, 2760, 2640, 360}, {.auto_size = true, .transparent = true});
  Label1[0] =
      AddLabel(this, "Label1_0", QStringLiteral("ターゲット角度"), {960, 3360, 1680, 240}, caption);
  Text5 = AddTextBox(this, "Text5", {2880, 3240, 975, 420}, times, kScreenBlue);
  Label5 = AddLabel(this, "Label5", QStringLiteral("degree"), {3960, 3300, 855, 375},
                    {.font = times, .transparent = true});
  Label2[1] = AddLabel(this, "Label2_1", QStringLiteral("固有ろ過（Al当量）"),
                       {600, 3960, 2205, 240}, caption);
  Text2 = AddTextBox(this, "Text2", {2880, 3840, 975, 390}, times, kScreenDarkBlue);
  Label7 = AddLabel(this, "Label7", QStringLiteral("mmAl eq."), {3960, 3900, 1095, 315},
                    {.font = times, .auto_size = true, .transparent = true});
  Label12 = AddLabel(this, "Label12", QStringLiteral("(最小1mm)"), {2760, 4200, 1215, 345}, hint);
  Label3 = AddLabel(this, "Label3", QStringLiteral("アルミ付加フィルタ"), {600, 4800, 2160, 240},
                    caption);
  Text3 = AddTextBox(this, "Text3", {2880, 4680, 975, 405}, times, kScreenDarkBlue);
  Label8 = AddLabel(this, "Label8", QStringLiteral("mm"), {3960, 4740, 435, 315}, unit);
  Label4 =
      AddLabel(this, "Label4", QStringLiteral("銅付加フィルタ"), {1080, 5400, 1680, 240}, caption);
  Text4 = AddTextBox(this, "Text4", {2880, 5280, 975, 405}, times, kScreenDarkBlue);
  Label9 = AddLabel(this, "Label9", QStringLiteral("mm"), {3960, 5340, 435, 315}, unit);

  Command1 = AddButton(this, "Command1", QStringLiteral("スペクトル計算"), {720, 6000, 2175, 615},
                       std::nullopt);
  Command3 =
      AddButton(this, "Command3", QStringLiteral("Reset"), {3240, 6000, 1455, 615}, std::nullopt);
  Command4 = AddButton(this, "Command4", QStringLiteral("OK"), {720, 7200, 2175, 615},
                       ScreenFont(kMeiryo, 14.25));
  Command2 =
      AddButton(this, "Command2", QStringLiteral("Cancel"), {3240, 7200, 1455, 615}, std::nullopt);

  Picture3 = new ChartBox(this);
  Picture3->setObjectName(QStringLiteral("Picture3"));
  Picture3->move(TwipsToPixels(5400, this), TwipsToPixelsY(1200, this));
  Picture3->setFocusPolicy(Qt::TabFocus);

  setTabOrder(Command1, Command3);
  setTabOrder(Command3, Text5);
  setTabOrder(Text5, Text1);
  setTabOrder(Text1, Text3);
  setTabOrder(Text3, Text4);
  setTabOrder(Text4, Text2);
  setTabOrder(Text2, Picture3);
  setTabOrder(Picture3, Command2);
  setTabOrder(Command2, Command4);
  Command1->setFocus();
}

void Form5::closeEvent(QCloseEvent* event) {
  event->accept();
  emit Closed();
}

}  // namespace xscatter
