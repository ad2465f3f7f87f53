// SPDX-License-Identifier: MIT
#include "screens/form8.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include "output/qt/twips.h"

namespace xscatter {
namespace {

ChartBox* AddChart(QWidget* window, const char* name, int left, int top) {
  auto* chart = new ChartBox(window);
  chart->setObjectName(QString::fromLatin1(name));
  chart->move(TwipsToPixels(left, window), TwipsToPixelsY(top, window));
  chart->setFocusPolicy(Qt::TabFocus);
  return chart;
}

}  // namespace

Form8::Form8(QWidget* parent) : QWidget(parent) {
  SetUpWindow(this, QStringLiteral("散乱線スペクトル"), {0, 0, 19470, 11550}, FrameStyle::kSingle,
              ScreenFont(kMeiryo, 15.75));

  const QFont meiryo18 = ScreenFont(kMeiryo, 18);
  const QFont meiryo1425 = ScreenFont(kMeiryo, 14.25);
  const QFont meiryo1575 = ScreenFont(kMeiryo, 15.75);
  const LabelStyle heading{.font = meiryo18, .auto_size = true, .transparent = true};
  const LabelStyle legend{.auto_size = true, .transparent = true};
  const LabelStyle caption{.font = meiryo1425,
                           .alignment = Qt::AlignHCenter | Qt::AlignTop,
                           .auto_size = true,
                           .transparent = true};
  const LabelStyle unit{.font = meiryo1425, .auto_size = true, .transparent = true};
  const LabelStyle value{
      .font = meiryo1575, .alignment = Qt::AlignRight | Qt::AlignTop, .transparent = true};

  using namespace scatter_screen;
  Label1[0] = AddLabel(this, "Label1_0", QString::fromUtf8(kPrimaryHeading.text),
                       kPrimaryHeading.box, heading);
  Label2[0] = AddLabel(this, "Label2_0", QString::fromUtf8(kScatterHeading.text),
                       kScatterHeading.box, heading);
  Picture3 = AddChart(this, "Picture3", kPrimaryChart.left, kPrimaryChart.top);
  Picture1 = AddChart(this, "Picture1", kScatterChart.left, kScatterChart.top);

  Label7 = AddPanel(this, "Label7", kLegendPanel, palette().color(QPalette::Base));
  Line1 = new LineControl(this, "Line1", kIncoherentLine, kScreenRed, 2);
  Label5 = AddLabel(this, "Label5", QString::fromUtf8(kIncoherentLegend.text),
                    kIncoherentLegend.box, legend);
  Line2 = new LineControl(this, "Line2", kCoherentLine, Qt::blue, 2);
  Label6 = AddLabel(this, "Label6", QString::fromUtf8(kCoherentLegend.text), kCoherentLegend.box,
                    legend);

  Label10 = AddPanel(this, "Label10", {360, 7680, 5535, 3495}, palette().color(QPalette::Base));
  Label1[1] =
      AddLabel(this, "Label1_1", QStringLiteral("Ｘ線管電圧"), {1560, 8040, 1440, 420}, caption);
  Label11 = AddLabel(this, "Label11", QStringLiteral("Label11"), {3480, 8040, 1095, 495}, value);
  Label14 = AddLabel(this, "Label14", QStringLiteral("kV"), {4785, 8100, 375, 420}, caption);
  Label1[2] = AddLabel(this, "Label1_2", QStringLiteral("ターゲット角度"), {1035, 8640, 2010, 420},
                       caption);
  Label12 = AddLabel(this, "Label12", QStringLiteral("Label12"), {3480, 8640, 1095, 495}, value);
  Label17 = AddLabel(this, "Label17", QStringLiteral("度"), {4800, 8700, 285, 420}, unit);
  Label2[1] = AddLabel(this, "Label2_1", QStringLiteral("固有ろ過（Al当量）"),
                       {780, 9240, 2565, 420}, caption);
  Label18 = AddLabel(this, "Label18", QStringLiteral("Label18"), {3480, 9240, 1095, 495}, value);
  Label13 = AddLabel(this, "Label13", QStringLiteral("mmAl"), {4800, 9300, 810, 420}, unit);
  Label16 = AddLabel(this, "Label16", QStringLiteral("アルミ付加フィルタ"), {750, 9840, 2580, 420},
                     caption);
  Label19 = AddLabel(this, "Label19", QStringLiteral("Label19"), {3480, 9840, 1095, 495}, value);
  Label8 = AddLabel(this, "Label8", QStringLiteral("mm"), {4800, 9840, 555, 420}, caption);
  Label15 = AddLabel(this, "Label15", QStringLiteral("銅付加フィルタ"), {1200, 10440, 2010, 420},
                     caption);
  Label20 = AddLabel(this, "Label20", QStringLiteral("Label20"), {3480, 10440, 1095, 495}, value);
  Label9 = AddLabel(this, "Label9", QStringLiteral("mm"), {4800, 10440, 555, 420}, caption);

  for (QLabel* entered : {Label11, Label12, Label18, Label19, Label20}) ShowWholeTextAsTip(entered);

  Picture4 = new IconBox(this);
  Picture4->setObjectName(QStringLiteral("Picture4"));
  Place(Picture4, {7920, 8040, 480, 480});
  Picture2 = new DiagramBox(this);
  Picture2->setObjectName(QStringLiteral("Picture2"));
  Place(Picture2, {6360, 9000, 4455, 2175});
  Picture4->setFocusPolicy(Qt::TabFocus);
  Picture2->setFocusPolicy(Qt::TabFocus);

  Label3 = AddLabel(this, "Label3", QStringLiteral("散乱角度 θ （5～175）="),
                    {12240, 9360, 3645, 465}, {.auto_size = true});
  Text1 = AddTextBox(this, "Text1", {16200, 9240, 1335, 600}, ScreenFont(kTimesNewRoman, 20.25),
                     std::nullopt);
  Text1->installEventFilter(this);
  Label4 =
      AddLabel(this, "Label4", QStringLiteral("度"), {17760, 9360, 315, 465}, {.auto_size = true});
  Command1 =
      AddButton(this, "Command1", QStringLiteral("OK"), {11880, 10320, 2655, 855}, std::nullopt);
  Command3 =
      AddButton(this, "Command3", QStringLiteral("Clear"), {15240, 10320, 1575, 855}, meiryo1575);
  Command2 =
      AddButton(this, "Command2", QStringLiteral("END"), {17520, 10320, 1455, 855}, std::nullopt);

  setTabOrder(Picture3, Picture1);
  setTabOrder(Picture1, Text1);
  setTabOrder(Text1, Command1);
  setTabOrder(Command1, Command2);
  setTabOrder(Command2, Command3);
  setTabOrder(Command3, Picture2);
  setTabOrder(Picture2, Picture4);
  Picture3->setFocus();
}

void Form8::closeEvent(QCloseEvent* event) {
  event->accept();
  emit Closed();
}

bool Form8::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Text1) {
    if (event->type() == QEvent::MouseButtonPress) {
      // Only the primary button; the others keep their usual meaning (paste, context menu).
      if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) Text1->clear();
    } else if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        Command1->setFocus(Qt::OtherFocusReason);
        return true;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace xscatter
