// The calculate and scatter commands as the screens run them: warnings, box resets, the angle box,
// curves overlaying until the chart is prepared again, and clicks during a calculation's yields.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

#include "flow_fixture.h"
#include "model/commands.h"

namespace xscatter::testing {
namespace {

struct CalculateCase {
  const char* name;
  const char* voltage;
  const char* angle;
  const char* filtration;
  const char* warning;  // empty when accepted
  const char* angle_after;
  const char* filtration_after;
  friend void PrintTo(const CalculateCase& c, std::ostream* out) { *out << c.name; }
};

const std::string kVoltage(kVoltageOutOfRange);
const std::string kAngle(kReenterTargetAngle);
const std::string kFiltration(kReenterInherentFiltration);

class CalculateWarningTest : public FlowTest,
                             public ::testing::WithParamInterface<CalculateCase> {};

TEST_P(CalculateWarningTest, WarnsAndResetsOnlyTheNamedBox) {
  const CalculateCase& c = GetParam();
  flow_->Form1Window().Command2->click();
  Form5& form5 = flow_->Form5Window();
  form5.Text1->setText(QString::fromUtf8(c.voltage));
  form5.Text5->setText(QString::fromUtf8(c.angle));
  form5.Text2->setText(QString::fromUtf8(c.filtration));
  form5.Command1->click();

  if (*c.warning == '\0') {
    EXPECT_TRUE(messages_.empty());
    EXPECT_TRUE(form5.Command4->isEnabled());
    EXPECT_GT(CountPixels(form5.Picture3->Snapshot(), kChartRed), 0);
  } else {
    EXPECT_EQ(messages_, (std::vector<Message>{{MessageKind::kWarning, c.warning}}));
    EXPECT_FALSE(form5.Command4->isEnabled());
    EXPECT_EQ(CountPixels(form5.Picture3->Snapshot(), kChartRed), 0);
  }
  EXPECT_EQ(form5.Text1->text().toStdString(), c.voltage);
  EXPECT_EQ(form5.Text5->text().toStdString(), c.angle_after);
  EXPECT_EQ(form5.Text2->text().toStdString(), c.filtration_after);
  EXPECT_EQ(ShownWindows(), std::vector<std::string>{"Form5"});
}

INSTANTIATE_TEST_SUITE_P(
    Conditions, CalculateWarningTest,
    ::testing::Values(
        CalculateCase{"Lowest", "40", "12", "2.5", "", "12", "2.5"},
        CalculateCase{"Highest", "150", "1", "1", "", "1", "1"},
        CalculateCase{"VoltageWithUnit", "100kV", "120", "2.5", "", "120", "2.5"},
        CalculateCase{"VoltageBelow", "39.9", "0", "0", kVoltage.c_str(), "0", "0"},
        CalculateCase{"VoltageAbove", "150.5", "12", "2.5", kVoltage.c_str(), "12", "2.5"},
        CalculateCase{"VoltageEmpty", "", "12", "2.5", kVoltage.c_str(), "12", "2.5"},
        CalculateCase{"AngleSmall", "100", "0.5", "0", kAngle.c_str(), "12", "0"},
        CalculateCase{"AngleEmpty", "100", "", "2.5", kAngle.c_str(), "12", "2.5"},
        CalculateCase{"FiltrationSmall", "100", "12", "0.9", kFiltration.c_str(), "12", "2.5"},
        CalculateCase{"FiltrationText", "100", "12", "abc", kFiltration.c_str(), "12", "2.5"}),
    [](const ::testing::TestParamInfo<CalculateCase>& info) { return info.param.name; });

TEST_F(FlowTest, RejectedAngleAfterACalculationKeepsOkAndTheChart) {
  EnterConditionsAndCalculate("100");
  Form5& form5 = flow_->Form5Window();
  const int red = CountPixels(form5.Picture3->Snapshot(), kChartRed);
  form5.Text1->setText("60");
  form5.Text5->setText("0");
  form5.Command1->click();
  EXPECT_EQ(messages_, (std::vector<Message>{{MessageKind::kWarning, kAngle}}));
  EXPECT_DOUBLE_EQ(flow_->Calculation().BinCount, 120);
  EXPECT_GT(flow_->Calculation().PrimarySpectrum[150], 0);
  EXPECT_TRUE(form5.Command4->isEnabled());
  EXPECT_EQ(CountPixels(form5.Picture3->Snapshot(), kChartRed), red);
}

struct AngleCase {
  const char* name;
  const char* angle;
  bool accepted;
  friend void PrintTo(const AngleCase& c, std::ostream* out) { *out << c.name; }
};

class ScatterAngleTest : public FlowTest, public ::testing::WithParamInterface<AngleCase> {};

TEST_P(ScatterAngleTest, AcceptsFiveToOneHundredSeventyFiveDegrees) {
  const AngleCase& c = GetParam();
  ReachScatterScreen();
  Form8& form8 = flow_->Form8Window();
  form8.Text1->setText(QString::fromUtf8(c.angle));
  form8.Command2->setFocus();
  form8.Command1->click();
  if (c.accepted) {
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(flow_->Calculation().ScatterSaved, 1);
    EXPECT_EQ(form8.focusWidget(), form8.Text1);
  } else {
    EXPECT_EQ(
        messages_,
        (std::vector<Message>{{MessageKind::kWarning, std::string(kScatterAngleOutOfRange)}}));
    EXPECT_EQ(flow_->Calculation().ScatterSaved, 0);
    EXPECT_FALSE(folder_.Exists("Inc_Spectrum.dat"));
    EXPECT_FALSE(folder_.Exists("Coh_Spectrum.dat"));
    EXPECT_EQ(CountPixels(form8.Picture1->Snapshot(), kChartRed), 0);
    EXPECT_EQ(form8.focusWidget(), form8.Command2);
  }
  EXPECT_EQ(form8.Text1->text().toStdString(), c.angle);
}

INSTANTIATE_TEST_SUITE_P(
    Angles, ScatterAngleTest,
    ::testing::Values(AngleCase{"Five", "5", true}, AngleCase{"Highest", "175", true},
                      AngleCase{"WithUnit", "90deg", true}, AngleCase{"Below", "4.99", false},
                      AngleCase{"Above", "175.01", false}, AngleCase{"Empty", "", false},
                      AngleCase{"Text", "abc", false}),
    [](const ::testing::TestParamInfo<AngleCase>& info) { return info.param.name; });

void PressKey(QWidget* widget, int key, const QString& text = QString()) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(widget, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(widget, &release);
}

void ClickIn(QWidget* widget) {
  const QPointF centre = QRectF(widget->rect()).center();
  QMouseEvent press(QEvent::MouseButtonPress, centre, widget->mapToGlobal(centre), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, centre, widget->mapToGlobal(centre),
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &release);
}

TEST_F(FlowTest, EnterInTheAngleBoxOnlyMovesTheFocusToOkAndASecondEnterPressesIt) {
  ReachScatterScreen();
  Form8& form8 = flow_->Form8Window();
  form8.Text1->setFocus();
  PressKey(form8.Text1, Qt::Key_Return);
  EXPECT_EQ(form8.focusWidget(), form8.Command1);
  EXPECT_EQ(form8.Text1->text(), "90");
  EXPECT_EQ(flow_->Calculation().ScatterSaved, 0);
  EXPECT_FALSE(folder_.Exists("Inc_Spectrum.dat"));

  PressKey(form8.Command1, Qt::Key_Return);
  EXPECT_EQ(flow_->Calculation().ScatterSaved, 1);
  EXPECT_EQ(form8.focusWidget(), form8.Text1);

  // The keypad's Enter is the same key; other keys edit the box.
  PressKey(form8.Text1, Qt::Key_5, QStringLiteral("5"));
  EXPECT_EQ(form8.Text1->text(), "905");
  PressKey(form8.Text1, Qt::Key_Enter);
  EXPECT_EQ(form8.focusWidget(), form8.Command1);
}

TEST_F(FlowTest, EveryClickInTheAngleBoxEmptiesItAndOkThenWarns) {
  ReachScatterScreen();
  Form8& form8 = flow_->Form8Window();
  ClickIn(form8.Text1);
  EXPECT_EQ(form8.Text1->text(), "");
  form8.Text1->setText("30");
  form8.Text1->setFocus();
  ClickIn(form8.Text1);
  EXPECT_EQ(form8.Text1->text(), "");
  form8.Command1->click();
  EXPECT_EQ(messages_,
            (std::vector<Message>{{MessageKind::kWarning, std::string(kScatterAngleOutOfRange)}}));
}

TEST_F(FlowTest, PrimaryCurvesOverlayUntilReset) {
  EnterConditionsAndCalculate("100");
  Form5& form5 = flow_->Form5Window();
  const int one = CountPixels(form5.Picture3->Snapshot(), kChartRed);
  form5.Text1->setText("60");
  form5.Command1->click();
  const int two = CountPixels(form5.Picture3->Snapshot(), kChartRed);
  EXPECT_GT(two, one);
  form5.Command3->click();
  EXPECT_EQ(CountPixels(form5.Picture3->Snapshot(), kChartRed), 0);
}

TEST_F(FlowTest, ScatterCurvesOverlayUntilClear) {
  ReachScatterScreen();
  Form8& form8 = flow_->Form8Window();
  form8.Command1->click();
  const QImage one = form8.Picture1->Snapshot();
  form8.Text1->setText("30");
  form8.Command1->click();
  const QImage two = form8.Picture1->Snapshot();
  EXPECT_GT(CountPixels(two, kChartRed), CountPixels(one, kChartRed));
  EXPECT_GT(CountPixels(two, kChartBlue), CountPixels(one, kChartBlue));
  form8.Command3->click();
  EXPECT_EQ(CountPixels(form8.Picture1->Snapshot(), kChartRed), 0);
  EXPECT_EQ(CountPixels(form8.Picture1->Snapshot(), kChartBlue), 0);
}

TEST_F(FlowTest, CalculateClickedDuringItsOwnYieldIsIgnored) {
  flow_->Form1Window().Command2->click();
  Form5& form5 = flow_->Form5Window();
  // Runs inside the calculation's yield: a second calculation at 50 kV would change BinCount.
  QMetaObject::invokeMethod(
      &form5,
      [&form5] {
        form5.Text1->setText("50");
        form5.Command1->click();
      },
      Qt::QueuedConnection);
  form5.Command1->click();
  EXPECT_EQ(form5.Text1->text(), "50");
  EXPECT_DOUBLE_EQ(flow_->Calculation().BinCount, 200);
  EXPECT_GT(flow_->Calculation().PrimarySpectrum[150], 0);
  EXPECT_TRUE(form5.Command4->isEnabled());
}

TEST_F(FlowTest, CommandsClickedDuringTheScatterYieldsAreIgnored) {
  ReachScatterScreen();
  Form8& form8 = flow_->Form8Window();
  Form5& form5 = flow_->Form5Window();
  form5.Text1->setText("50");
  QMetaObject::invokeMethod(
      &form8,
      [&] {
        form8.Text1->setText("abc");
        form8.Command1->click();
        form5.Command1->click();
      },
      Qt::QueuedConnection);
  form8.Command1->click();
  EXPECT_TRUE(messages_.empty());
  EXPECT_DOUBLE_EQ(flow_->Calculation().BinCount, 200);
  EXPECT_EQ(flow_->Calculation().ScatterSaved, 1);
  EXPECT_NEAR(flow_->Calculation().ScatterAngle, 90.0 / 180 * 3.14159, 1e-12);
}

TEST_F(FlowTest, ConditionsWindowClosedDuringTheYieldGetsNoCurveOnItsSuccessor) {
  flow_->Form1Window().Command2->click();
  Form5& form5 = flow_->Form5Window();
  QMetaObject::invokeMethod(
      &form5,
      [this] {
        flow_->Form5Window().close();
        flow_->Form1Window().Command2->click();
      },
      Qt::QueuedConnection);
  form5.Command1->click();
  DeleteClosedWindows();
  Form5& fresh = flow_->Form5Window();
  EXPECT_EQ(ShownWindows(), std::vector<std::string>{"Form5"});
  EXPECT_EQ(CountPixels(fresh.Picture3->Snapshot(), kChartRed), 0);
  EXPECT_FALSE(fresh.Command4->isEnabled());
}

}  // namespace
}  // namespace xscatter::testing
