// The screen flow, row by row: which window is shown after each command and what it leaves behind.
#include <gtest/gtest.h>

#include <QPointer>

#include "flow_fixture.h"
#include "model/commands.h"

namespace xscatter::testing {
namespace {

using Shown = std::vector<std::string>;

// Pixels of a colour in the row at chart height y_units, within a pixel of chart position x_units.
int PixelsNear(const QImage& image, double x_units, double y_units, QRgb colour) {
  const int x = static_cast<int>(x_units * image.width() / 6000);
  const int y = static_cast<int>(y_units * image.height() / 2500);
  int count = 0;
  for (int dx = -1; dx <= 1; ++dx) count += image.pixel(x + dx, y) == colour ? 1 : 0;
  return count;
}

// The black frame is two pixels wide, the grid lines grey and one pixel wide; a prepared chart
// carries no curve colour.
void ExpectEmptyChart(ChartBox& chart) {
  const QImage image = chart.Snapshot();
  EXPECT_EQ(PixelsNear(image, 1000, 1150, 0xff000000), 2);
  EXPECT_EQ(PixelsNear(image, 5500, 1150, 0xff000000), 2);
  EXPECT_EQ(PixelsNear(image, 1300, 1150, 0xff808080), 1);
  EXPECT_EQ(PixelsNear(image, 4000, 1150, 0xff808080), 1);
  EXPECT_EQ(CountPixels(image, kChartRed), 0);
  EXPECT_EQ(CountPixels(image, kChartBlue), 0);
}

TEST_F(FlowTest, StartShowsOnlyTheMainScreenWithTablesLoaded) {
  EXPECT_EQ(ShownWindows(), Shown{"Form1"});
  EXPECT_EQ(flow_->Calculation().ScatterSaved, 0);
  EXPECT_DOUBLE_EQ(flow_->Calculation().Pi, 3.14159);
  EXPECT_EQ(flow_->Form5IfCreated(), nullptr);
  EXPECT_EQ(flow_->Form8IfCreated(), nullptr);
  EXPECT_EQ(flow_->Form2IfCreated(), nullptr);
  EXPECT_TRUE(messages_.empty());
}

TEST(FlowStartTest, MissingTableReportsAndShowsNothing) {
  WorkingFolder folder;
  std::filesystem::remove(folder.Path() / "Data" / "Water.xfs");
  ScreenFlow flow;
  flow.Calculation().SetWorkingFolder(folder.Path());
  std::vector<MessageKind> kinds;
  flow.SetMessageFunction([&](MessageKind kind, const QString&) { kinds.push_back(kind); });
  EXPECT_FALSE(flow.Start());
  EXPECT_EQ(kinds, std::vector<MessageKind>{MessageKind::kError});
  ASSERT_NE(flow.Form1IfCreated(), nullptr);
  EXPECT_FALSE(flow.Form1IfCreated()->isVisible());
}

TEST_F(FlowTest, MainOkPreparesChartsAndDefaultsThenShowsConditions) {
  flow_->Form1Window().Command2->click();
  EXPECT_EQ(ShownWindows(), Shown{"Form5"});
  Form5& form5 = flow_->Form5Window();
  EXPECT_EQ(form5.Text1->text(), "100");
  EXPECT_EQ(form5.Text5->text(), "12");
  EXPECT_EQ(form5.Text2->text(), "2.5");
  EXPECT_EQ(form5.Text3->text(), "0");
  EXPECT_EQ(form5.Text4->text(), "0");
  EXPECT_FALSE(form5.Command4->isEnabled());
  ExpectEmptyChart(*form5.Picture3);
  ASSERT_NE(flow_->Form8IfCreated(), nullptr);
  EXPECT_FALSE(flow_->Form8IfCreated()->isVisible());
  ExpectEmptyChart(*flow_->Form8IfCreated()->Picture3);
  ExpectEmptyChart(*flow_->Form8IfCreated()->Picture1);
}

TEST_F(FlowTest, ExitAndMainCloseBoxEndTheProcessWithoutOtherWindows) {
  flow_->Form1Window().Command3->click();
  EXPECT_EQ(end_requested_->count(), 1);
  flow_->Form1Window().close();
  EXPECT_EQ(end_requested_->count(), 2);
  EXPECT_EQ(flow_->Form5IfCreated(), nullptr);
  EXPECT_EQ(flow_->Form8IfCreated(), nullptr);
}

TEST_F(FlowTest, AcceptedCalculationDrawsAndEnablesOk) {
  EnterConditionsAndCalculate("100");
  EXPECT_EQ(ShownWindows(), Shown{"Form5"});
  EXPECT_DOUBLE_EQ(flow_->Calculation().BinCount, 200);
  EXPECT_DOUBLE_EQ(flow_->Calculation().PrimarySpectrum[201], 0);
  EXPECT_GT(CountPixels(flow_->Form5Window().Picture3->Snapshot(), kChartRed), 0);
  EXPECT_TRUE(flow_->Form5Window().Command4->isEnabled());
  EXPECT_TRUE(messages_.empty());
}

TEST_F(FlowTest, ResetEmptiesBothPrimaryChartsAndDisablesOk) {
  EnterConditionsAndCalculate("80.3");
  Form5& form5 = flow_->Form5Window();
  form5.Command3->click();
  EXPECT_EQ(ShownWindows(), Shown{"Form5"});
  ExpectEmptyChart(*form5.Picture3);
  ExpectEmptyChart(*flow_->Form8Window().Picture3);
  EXPECT_FALSE(form5.Command4->isEnabled());
  EXPECT_EQ(form5.Text1->text(), "80.3");
  EXPECT_DOUBLE_EQ(flow_->Calculation().BinCount, 160);
}

TEST_F(FlowTest, CancelReturnsToMainAndTheNextOkStartsAfresh) {
  EnterConditionsAndCalculate("60");
  Form5& form5 = flow_->Form5Window();
  form5.Text4->setText("0.3");
  form5.Command2->click();
  EXPECT_EQ(ShownWindows(), Shown{"Form1"});
  EXPECT_EQ(form5.Text4->text(), "0.3");
  EXPECT_TRUE(form5.Command4->isEnabled());

  flow_->Form1Window().Command2->click();
  EXPECT_EQ(ShownWindows(), Shown{"Form5"});
  EXPECT_EQ(form5.Text1->text(), "100");
  EXPECT_EQ(form5.Text4->text(), "0");
  EXPECT_FALSE(form5.Command4->isEnabled());
  ExpectEmptyChart(*form5.Picture3);
}

TEST_F(FlowTest, ConditionsOkWritesTheFileCopiesTextsAsTypedAndShowsScatter) {
  EnterConditionsAndCalculate(" 100kV");
  Form5& form5 = flow_->Form5Window();
  form5.Text5->setText("12deg");
  form5.Text2->setText("2.50");
  form5.Text3->setText("");
  form5.Text4->setText("0.1 mm");
  form5.Command4->click();

  EXPECT_EQ(ShownWindows(), Shown{"Form8"});
  EXPECT_TRUE(folder_.Exists("P_Spectrum.dat"));
  Form8& form8 = flow_->Form8Window();
  EXPECT_EQ(form8.Label11->text(), " 100kV");
  EXPECT_EQ(form8.Label12->text(), "12deg");
  EXPECT_EQ(form8.Label18->text(), "2.50");
  EXPECT_EQ(form8.Label19->text(), "");
  EXPECT_EQ(form8.Label20->text(), "0.1 mm");
  EXPECT_EQ(form8.Text1->text(), "90");
  EXPECT_GT(CountPixels(form8.Picture3->Snapshot(), kChartRed), 0);
  ExpectEmptyChart(*form8.Picture1);
}

TEST_F(FlowTest, ConditionsOkThatCannotWriteStaysWithTheChartUntouched) {
  std::filesystem::create_directory(folder_.Path() / "P_Spectrum.dat");
  EnterConditionsAndCalculate("100");
  flow_->Form5Window().Command4->click();
  EXPECT_EQ(ShownWindows(), Shown{"Form5"});
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].kind, MessageKind::kError);
  ExpectEmptyChart(*flow_->Form8Window().Picture3);
  EXPECT_EQ(flow_->Form8Window().Text1->text(), "Text1");
}

TEST_F(FlowTest, ScatterOkWritesBothFilesDrawsBothCurvesAndFocusesTheAngle) {
  ReachScatterScreen("100");
  Form8& form8 = flow_->Form8Window();
  form8.Command1->click();
  EXPECT_EQ(ShownWindows(), Shown{"Form8"});
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(flow_->Calculation().ScatterSaved, 1);
  EXPECT_TRUE(folder_.Exists("Inc_Spectrum.dat"));
  EXPECT_TRUE(folder_.Exists("Coh_Spectrum.dat"));
  const QImage chart = form8.Picture1->Snapshot();
  EXPECT_GT(CountPixels(chart, kChartRed), 0);
  EXPECT_GT(CountPixels(chart, kChartBlue), 0);
  EXPECT_EQ(form8.focusWidget(), form8.Text1);
}

TEST_F(FlowTest, ScatterRunAtTheTopOfTheGridDrawsBothCurves) {
  ReachScatterScreen("150");
  Form8& form8 = flow_->Form8Window();
  form8.Command1->click();
  EXPECT_TRUE(messages_.empty());
  EXPECT_DOUBLE_EQ(flow_->Calculation().BinCount, 300);
  EXPECT_EQ(flow_->Calculation().ScatterSaved, 1);
  EXPECT_GT(CountPixels(form8.Picture1->Snapshot(), kChartBlue), 0);
}

TEST_F(FlowTest, ClearEmptiesOnlyTheScatterChartAndFocusesTheAngle) {
  ReachScatterScreen();
  Form8& form8 = flow_->Form8Window();
  form8.Command1->click();
  form8.Text1->setText("45");
  form8.Command2->setFocus();
  form8.Command3->click();
  EXPECT_EQ(ShownWindows(), Shown{"Form8"});
  ExpectEmptyChart(*form8.Picture1);
  EXPECT_GT(CountPixels(form8.Picture3->Snapshot(), kChartRed), 0);
  EXPECT_EQ(form8.Text1->text(), "45");
  EXPECT_EQ(form8.focusWidget(), form8.Text1);
  EXPECT_EQ(flow_->Calculation().ScatterSaved, 1);
}

TEST_F(FlowTest, EndAfterAScatterRunShowsTheNoticeAndItsOkTheMainScreen) {
  ReachScatterScreen();
  flow_->Form8Window().Command1->click();
  flow_->Form8Window().Command2->click();
  EXPECT_EQ(ShownWindows(), Shown{"Form2"});
  EXPECT_EQ(flow_->Calculation().ScatterSaved, 1);

  flow_->Form2Window().Command1->click();
  EXPECT_EQ(ShownWindows(), Shown{"Form1"});
  EXPECT_EQ(flow_->Calculation().ScatterSaved, 0);

  // A new visit without a scatter run ends on the main screen.
  ReachScatterScreen();
  flow_->Form8Window().Command2->click();
  EXPECT_EQ(ShownWindows(), Shown{"Form1"});
}

TEST_F(FlowTest, NoticeClosedWithItsCloseBoxKeepsTheFlagSoEndShowsItAgain) {
  ReachScatterScreen();
  flow_->Form8Window().Command1->click();
  flow_->Form8Window().Command2->click();
  QPointer<Form2> notice = &flow_->Form2Window();
  notice->close();
  EXPECT_EQ(ShownWindows(), Shown{"Form1"});
  EXPECT_EQ(flow_->Form2IfCreated(), nullptr);
  DeleteClosedWindows();
  EXPECT_TRUE(notice.isNull());

  ReachScatterScreen();
  flow_->Form8Window().Command2->click();
  EXPECT_EQ(ShownWindows(), Shown{"Form2"});
}

TEST_F(FlowTest, ScatterCloseBoxGoesToMainKeepingTheFlag) {
  ReachScatterScreen();
  flow_->Form8Window().Command1->click();
  QPointer<Form8> scatter = &flow_->Form8Window();
  scatter->close();
  EXPECT_EQ(ShownWindows(), Shown{"Form1"});
  EXPECT_EQ(flow_->Calculation().ScatterSaved, 1);
  EXPECT_EQ(flow_->Form8IfCreated(), nullptr);
  DeleteClosedWindows();
  EXPECT_TRUE(scatter.isNull());

  // Created afresh, with its stored texts, and prepared again by the main screen's OK.
  EXPECT_EQ(flow_->Form8Window().Text1->text(), "Text1");
  EXPECT_EQ(flow_->Form8Window().Label11->text(), "Label11");
  ReachScatterScreen();
  EXPECT_EQ(ShownWindows(), Shown{"Form8"});
  EXPECT_EQ(CountPixels(flow_->Form8Window().Picture1->Snapshot(), kChartRed), 0);
}

TEST_F(FlowTest, ConditionsCloseBoxGoesToMainAndTheNextTouchCreatesAFreshWindow) {
  EnterConditionsAndCalculate();
  QPointer<Form5> conditions = &flow_->Form5Window();
  conditions->close();
  EXPECT_EQ(ShownWindows(), Shown{"Form1"});
  EXPECT_EQ(flow_->Form5IfCreated(), nullptr);
  DeleteClosedWindows();
  EXPECT_TRUE(conditions.isNull());

  Form5& fresh = flow_->Form5Window();
  EXPECT_EQ(fresh.Text1->text(), "Text1");
  EXPECT_EQ(fresh.Text5->text(), "Text5");
  EXPECT_TRUE(fresh.Command4->isEnabled());
  EXPECT_FALSE(fresh.isVisible());

  flow_->Form1Window().Command2->click();
  EXPECT_EQ(ShownWindows(), Shown{"Form5"});
  EXPECT_EQ(fresh.Text1->text(), "100");
  EXPECT_FALSE(fresh.Command4->isEnabled());
}

}  // namespace
}  // namespace xscatter::testing
