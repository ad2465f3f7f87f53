// SPDX-License-Identifier: MIT
// The screens on the offscreen platform: the flow between them row by row, the two commands'
// warnings and charts, clicks and closes during a calculation's yields, the angle box's mouse
// buttons and the value labels' tooltips.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>

#include "model/commands.h"
#include "output/qt/twips.h"
#include "screens/screen_flow.h"

inline void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }

namespace xscatter::testing {
namespace {

constexpr QRgb kRed = 0xffff0000;
constexpr QRgb kBlue = 0xff0000ff;

// Pixels of exactly this colour in a chart's drawing.
int Pixels(ChartBox* chart, QRgb colour) {
  const QImage image = chart->Snapshot().convertToFormat(QImage::Format_ARGB32);
  const auto* pixels = reinterpret_cast<const QRgb*>(image.constBits());
  return static_cast<int>(std::count(pixels, pixels + image.width() * image.height(), colour));
}

template <typename... Control>
QStringList Texts(Control*... controls) {
  return {controls->text()...};
}

QString Warning(std::string_view text) { return "warning: " + QString::fromUtf8(text); }

// Lets the windows destroyed by their close box go.
void DeleteClosedWindows() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

// A started program working in a temporary folder whose Data/ is the tables' folder; each message
// box is captured as "warning: text" or "error: text" instead of shown.
class FlowTest : public ::testing::Test {
 protected:
  FlowTest() {
    std::filesystem::create_directory_symlink(XSCATTER_DATA_DIR, Path() / "Data");
    flow_ = NewFlow();
    EXPECT_TRUE(flow_->Start());
  }
  ~FlowTest() override { DeleteClosedWindows(); }

  std::unique_ptr<ScreenFlow> NewFlow() {
    auto flow = std::make_unique<ScreenFlow>();
    flow->Calculation().SetWorkingFolder(Path());
    flow->SetMessageFunction([this](MessageKind kind, const QString& text) {
      messages_ << (kind == MessageKind::kError ? "error: " : "warning: ") + text;
    });
    QObject::connect(flow.get(), &ScreenFlow::EndRequested, [this] { ++ends_; });
    return flow;
  }
  std::filesystem::path Path() const { return dir_.path().toStdString(); }
  bool Exists(const char* file_name) const { return std::filesystem::exists(Path() / file_name); }

  QStringList ShownWindows() const {
    QStringList shown;
    for (const QWidget* window : QApplication::topLevelWidgets()) {
      if (window->isVisible() && window->windowType() != Qt::ToolTip)
        shown << QString(window->metaObject()->className()).section("::", -1);
    }
    return shown;
  }

  void ReachScatterScreen(const char* tube_voltage = "100") {
    flow_->Form1Window().Command2->click();
    flow_->Form5Window().Text1->setText(tube_voltage);
    flow_->Form5Window().Command1->click();
    flow_->Form5Window().Command4->click();
  }

  QTemporaryDir dir_;
  QStringList messages_;
  int ends_ = 0;
  std::unique_ptr<ScreenFlow> flow_;
};

TEST_F(FlowTest, StateTable) {
  ScreenFlow& f = *flow_;
  const std::map<std::string, std::function<void()>> press = {
      {"Form1 OK", [&] { f.Form1Window().Command2->click(); }},
      {"Calculate", [&] { f.Form5Window().Command1->click(); }},
      {"Reset", [&] { f.Form5Window().Command3->click(); }},
      {"Cancel", [&] { f.Form5Window().Command2->click(); }},
      {"Form5 OK", [&] { f.Form5Window().Command4->click(); }},
      {"Form5 close", [&] { f.Form5Window().close(); }},
      {"Scatter OK", [&] { f.Form8Window().Command1->click(); }},
      {"Clear", [&] { f.Form8Window().Command3->click(); }},
      {"END", [&] { f.Form8Window().Command2->click(); }},
      {"Form8 close", [&] { f.Form8Window().close(); }},
      {"Form2 OK", [&] { f.Form2Window().Command1->click(); }},
      {"Form2 close", [&] { f.Form2Window().close(); }}};
  // Command; then the window shown (Form1, 5, 8 or 2), ScatterSaved and Form5's OK: 'y' enabled,
  // 'n' not, '-' no window.
  const std::tuple<std::string, int, int, char> rows[] = {
      {"Form1 OK", 5, 0, 'n'},    {"Calculate", 5, 0, 'y'},   {"Reset", 5, 0, 'n'},
      {"Calculate", 5, 0, 'y'},   {"Cancel", 1, 0, 'y'},      {"Form1 OK", 5, 0, 'n'},
      {"Calculate", 5, 0, 'y'},   {"Form5 OK", 8, 0, 'y'},    {"END", 1, 0, 'y'},
      {"Form1 OK", 5, 0, 'n'},    {"Calculate", 5, 0, 'y'},   {"Form5 OK", 8, 0, 'y'},
      {"Scatter OK", 8, 1, 'y'},  {"Clear", 8, 1, 'y'},       {"END", 2, 1, 'y'},
      {"Form2 OK", 1, 0, 'y'},    {"Form1 OK", 5, 0, 'n'},    {"Calculate", 5, 0, 'y'},
      {"Form5 OK", 8, 0, 'y'},    {"Scatter OK", 8, 1, 'y'},  {"Form8 close", 1, 1, 'y'},
      {"Form1 OK", 5, 1, 'n'},    {"Calculate", 5, 1, 'y'},   {"Form5 OK", 8, 1, 'y'},
      {"END", 2, 1, 'y'},         {"Form2 close", 1, 1, 'y'}, {"Form1 OK", 5, 1, 'n'},
      {"Form5 close", 1, 1, '-'}, {"Form1 OK", 5, 1, 'n'}};
  EXPECT_EQ(ShownWindows(), QStringList{"Form1"});
  for (int row = 0; const auto& [command, shown, scatter_saved, form5_ok] : rows) {
    SCOPED_TRACE(::testing::Message() << "row " << row++ << ": " << command);
    press.at(command)();
    DeleteClosedWindows();
    EXPECT_EQ(ShownWindows(), QStringList{QString("Form%1").arg(shown)});
    EXPECT_EQ(f.Calculation().ScatterSaved, scatter_saved);
    const Form5* form5 = f.Form5IfCreated();
    EXPECT_EQ(form5 == nullptr ? '-' : form5->Command4->isEnabled() ? 'y' : 'n', form5_ok);
  }
  EXPECT_TRUE(messages_.empty());
  f.Form1Window().Command3->click();
  EXPECT_EQ(ends_, 1);
  f.Form1Window().close();
  EXPECT_EQ(ends_, 2);
}

TEST_F(FlowTest, DefaultsOnEachVisitTextsCopiedAsTypedAndAClosedScatterWindowComesBackFresh) {
  Form5& form5 = flow_->Form5Window();
  const QStringList typed = {" 100kV", "12deg", "2.50", "", "0.1 mm"};
  QLineEdit* const boxes[] = {form5.Text1, form5.Text5, form5.Text2, form5.Text3, form5.Text4};
  for (QPushButton* leave : {form5.Command2, form5.Command4}) {
    flow_->Form1Window().Command2->click();
    EXPECT_EQ(Texts(form5.Text1, form5.Text5, form5.Text2, form5.Text3, form5.Text4),
              (QStringList{"100", "12", "2.5", "0", "0"}));
    for (int i = 0; i < 5; ++i) boxes[i]->setText(typed[i]);
    form5.Command1->click();
    leave->click();
  }
  Form8& form8 = flow_->Form8Window();
  EXPECT_EQ(Texts(form8.Label11, form8.Label12, form8.Label18, form8.Label19, form8.Label20),
            typed);
  EXPECT_EQ(form8.Text1->text(), "90");
  EXPECT_TRUE(Exists("P_Spectrum.dat"));
  EXPECT_GT(Pixels(form8.Picture3, kRed), 0);
  EXPECT_EQ(Pixels(form8.Picture1, kRed), 0);
  form8.Command1->click();
  form8.close();
  DeleteClosedWindows();
  EXPECT_EQ(Texts(flow_->Form8Window().Text1, flow_->Form8Window().Label11),
            (QStringList{"Text1", "Label11"}));
  ReachScatterScreen();
  EXPECT_EQ(Pixels(flow_->Form8Window().Picture1, kRed), 0);
}

TEST_F(FlowTest, MissingTablesReportAndShowNothing) {
  flow_ = NewFlow();
  flow_->Calculation().SetWorkingFolder(Path() / "Data" / "no such folder");
  EXPECT_FALSE(flow_->Start());
  ASSERT_EQ(messages_.size(), 1);
  EXPECT_TRUE(messages_[0].startsWith("error: "));
  EXPECT_EQ(ShownWindows(), QStringList{});
}

TEST_F(FlowTest, CalculateWarnsAndResetsOnlyTheNamedBox) {
  const QString voltage = Warning(kVoltageOutOfRange), angle = Warning(kReenterTargetAngle),
                filtration = Warning(kReenterInherentFiltration);
  // Tube voltage, target angle and filtration typed; the warning; angle and filtration after.
  const QStringList cases[] = {
      {"40", "12", "2.5", "", "12", "2.5"},          {"150", "1", "1", "", "1", "1"},
      {"100kV", "120", "2.5", "", "120", "2.5"},     {"39.9", "0", "0", voltage, "0", "0"},
      {"150.5", "12", "2.5", voltage, "12", "2.5"},  {"", "12", "2.5", voltage, "12", "2.5"},
      {"100", "0.5", "0", angle, "12", "0"},         {"100", "", "2.5", angle, "12", "2.5"},
      {"100", "12", "0.9", filtration, "12", "2.5"}, {"100", "12", "abc", filtration, "12", "2.5"}};
  Form5& form5 = flow_->Form5Window();
  for (const QStringList& c : cases) {
    SCOPED_TRACE(c.join(" | ").toStdString());
    messages_.clear();
    flow_->Form1Window().Command2->click();
    for (int i = 0; QLineEdit * box : {form5.Text1, form5.Text5, form5.Text2}) box->setText(c[i++]);
    form5.Command1->click();
    const bool accepted = c[3].isEmpty();
    EXPECT_EQ(messages_, accepted ? QStringList{} : QStringList{c[3]});
    EXPECT_EQ(form5.Command4->isEnabled(), accepted);
    EXPECT_EQ(Pixels(form5.Picture3, kRed) > 0, accepted);
    EXPECT_EQ(Texts(form5.Text1, form5.Text5, form5.Text2), (QStringList{c[0], c[4], c[5]}));
  }
}

TEST_F(FlowTest, ScatterAcceptsFiveToOneHundredSeventyFiveDegrees) {
  ReachScatterScreen("150");
  Form8& form8 = flow_->Form8Window();
  // The rejected angles come first, while nothing has been written.
  const std::pair<QString, bool> cases[] = {{"4.99", false}, {"175.01", false}, {"", false},
                                            {"abc", false},  {"5", true},       {"175", true},
                                            {"90deg", true}};
  for (const auto& [angle, accepted] : cases) {
    SCOPED_TRACE(angle.toStdString());
    messages_.clear();
    form8.Text1->setText(angle);
    form8.Command2->setFocus();
    form8.Command1->click();
    EXPECT_EQ(messages_, accepted ? QStringList{} : QStringList{Warning(kScatterAngleOutOfRange)});
    EXPECT_EQ(flow_->Calculation().ScatterSaved, accepted ? 1 : 0);
    EXPECT_EQ(Exists("Inc_Spectrum.dat") + Exists("Coh_Spectrum.dat"), accepted ? 2 : 0);
    EXPECT_EQ(Pixels(form8.Picture1, kBlue) > 0, accepted);
    EXPECT_EQ(form8.focusWidget(), accepted ? static_cast<QWidget*>(form8.Text1) : form8.Command2);
    EXPECT_EQ(form8.Text1->text(), angle);
  }
}

TEST_F(FlowTest, EnterInTheAngleBoxOnlyMovesTheFocusToOkAndAClickEmptiesIt) {
  ReachScatterScreen();
  Form8& form8 = flow_->Form8Window();
  form8.Text1->setFocus();
  QTest::keyClick(form8.Text1, Qt::Key_Return);
  EXPECT_EQ(form8.focusWidget(), form8.Command1);
  EXPECT_EQ(form8.Text1->text(), "90");
  EXPECT_EQ(flow_->Calculation().ScatterSaved, 0);
  QTest::keyClick(form8.Command1, Qt::Key_Return);
  EXPECT_EQ(flow_->Calculation().ScatterSaved, 1);
  EXPECT_EQ(form8.focusWidget(), form8.Text1);
  QTest::mouseClick(form8.Text1, Qt::LeftButton);
  EXPECT_EQ(form8.Text1->text(), "");
  QTest::keyClick(form8.Text1, Qt::Key_Enter);
  EXPECT_EQ(form8.focusWidget(), form8.Command1);
}

// Only the primary button empties the angle box; the right one is left to its context menu.
TEST_F(FlowTest, OnlyThePrimaryButtonEmptiesTheAngleBox) {
  ReachScatterScreen();
  QLineEdit* box = flow_->Form8Window().Text1;
  const std::pair<Qt::MouseButton, QString> rows[] = {{Qt::RightButton, "90"},
                                                      {Qt::MiddleButton, "90"},
                                                      {Qt::BackButton, "90"},
                                                      {Qt::LeftButton, ""}};
  for (const auto& [button, left] : rows) {
    SCOPED_TRACE(::testing::Message() << "button " << button);
    box->setText("90");
    // Sent straight to the box: a right press through the window would open its menu.
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), box->mapToGlobal(QPointF(5, 5)),
                      button, button, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &press);
    EXPECT_EQ(box->text(), left);
  }
}

// A value label shows its whole text as a tooltip only where the text is cut.
TEST_F(FlowTest, ConditionTextWiderThanItsLabelIsItsTooltip) {
  const std::pair<QString, bool> rows[] = {{"0", false},
                                           {"100", false},
                                           {"", false},
                                           {"0.5mm Al filter", true},
                                           {"0.5 mm aluminium", true}};
  Form5& form5 = flow_->Form5Window();
  Form8& form8 = flow_->Form8Window();
  for (const auto& [typed, cut] : rows) {
    SCOPED_TRACE(typed.toStdString());
    flow_->Form1Window().Command2->click();
    form5.Text3->setText(typed);
    form5.Command1->click();
    form5.Command4->click();
    QLabel* label = form8.Label19;
    ASSERT_EQ(label->text(), typed);
    EXPECT_EQ(label->fontMetrics().horizontalAdvance(typed) > label->width(), cut);
    QHelpEvent hover(QEvent::ToolTip, QPoint(2, 2), label->mapToGlobal(QPoint(2, 2)));
    QCoreApplication::sendEvent(label, &hover);
    EXPECT_EQ(label->toolTip(), cut ? typed : QString());
    form8.Command2->click();
  }
  QToolTip::hideText();
}

TEST_F(FlowTest, CurvesOverlayUntilResetOrClear) {
  flow_->Form1Window().Command2->click();
  Form5& form5 = flow_->Form5Window();
  form5.Command1->click();
  const int one = Pixels(form5.Picture3, kRed);
  form5.Text1->setText("60");
  form5.Command1->click();
  const int two = Pixels(form5.Picture3, kRed);
  EXPECT_GT(two, one);
  // A rejected angle leaves the last calculation, its curves and OK as they were.
  form5.Text5->setText("0");
  form5.Command1->click();
  EXPECT_EQ(Pixels(form5.Picture3, kRed), two);
  EXPECT_TRUE(form5.Command4->isEnabled());
  form5.Command3->click();
  EXPECT_EQ(Pixels(form5.Picture3, kRed) + Pixels(flow_->Form8Window().Picture3, kRed), 0);
  form5.Command1->click();
  form5.Command4->click();
  Form8& form8 = flow_->Form8Window();
  form8.Command1->click();
  const int red = Pixels(form8.Picture1, kRed), blue = Pixels(form8.Picture1, kBlue);
  form8.Text1->setText("30");
  form8.Command1->click();
  EXPECT_GT(Pixels(form8.Picture1, kRed), red);
  EXPECT_GT(Pixels(form8.Picture1, kBlue), blue);
  form8.Command3->click();
  EXPECT_EQ(Pixels(form8.Picture1, kRed) + Pixels(form8.Picture1, kBlue), 0);
  EXPECT_GT(Pixels(form8.Picture3, kRed), 0);
}

TEST_F(FlowTest, CommandsClickedDuringTheScatterYieldsAreIgnored) {
  ReachScatterScreen();
  Form8& form8 = flow_->Form8Window();
  Form5& form5 = flow_->Form5Window();
  form5.Text1->setText("50");
  // Runs inside a yield: a second scatter run would warn, a calculation change BinCount.
  QTimer::singleShot(0, [&] {
    form8.Text1->setText("abc");
    form8.Command1->click();
    form5.Command1->click();
  });
  form8.Command1->click();
  EXPECT_EQ(form8.Text1->text(), "abc");
  EXPECT_TRUE(messages_.empty());
  EXPECT_DOUBLE_EQ(flow_->Calculation().BinCount, 200);
  EXPECT_EQ(flow_->Calculation().ScatterSaved, 1);
}

TEST_F(FlowTest, ConditionsWindowClosedDuringTheYieldGetsNoCurveOnItsSuccessor) {
  flow_->Form1Window().Command2->click();
  QTimer::singleShot(0, [this] {
    flow_->Form5Window().close();
    flow_->Form1Window().Command2->click();
  });
  flow_->Form5Window().Command1->click();
  DeleteClosedWindows();
  EXPECT_EQ(ShownWindows(), QStringList{"Form5"});
  EXPECT_EQ(Pixels(flow_->Form5Window().Picture3, kRed), 0);
  EXPECT_FALSE(flow_->Form5Window().Command4->isEnabled());
}

TEST_F(FlowTest, FixedClientSizesAndTheConditionsTabOrder) {
  const std::tuple<QWidget*, int, int> windows[] = {{&flow_->Form1Window(), 16575, 7245},
                                                    {&flow_->Form5Window(), 14865, 8235},
                                                    {&flow_->Form8Window(), 19470, 11550},
                                                    {&flow_->Form2Window(), 8730, 4845}};
  for (const auto& [window, width, height] : windows) {
    EXPECT_EQ(window->size(), QSize(TwipsToPixels(width, window), TwipsToPixelsY(height, window)));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
  }
  QStringList order;
  for (QWidget* w = flow_->Form5Window().focusWidget(); order.size() < 11;
       w = w->nextInFocusChain())
    if (w->focusPolicy() & Qt::TabFocus) order << w->objectName();
  EXPECT_EQ(order, (QStringList{"Command1", "Command3", "Text5", "Text1", "Text3", "Text4", "Text2",
                                "Picture3", "Command2", "Command4", "Command1"}));
}

}  // namespace
}  // namespace xscatter::testing
