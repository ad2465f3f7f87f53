// SPDX-License-Identifier: MIT
// The screens on the offscreen platform: the flow between them row by row, the two commands'
// warnings and charts, clicks and closes during a calculation's yields, the angle box's keys and
// mouse buttons and the value labels' tooltips.
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

namespace fs = std::filesystem;

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
    fs::create_directory_symlink(XSCATTER_DATA_DIR, path_ / "Data");
    flow_ = NewFlow(path_);
    EXPECT_TRUE(flow_->Start());
  }
  ~FlowTest() override { DeleteClosedWindows(); }

  std::unique_ptr<ScreenFlow> NewFlow(const fs::path& folder) {
    auto flow = std::make_unique<ScreenFlow>();
    flow->Calculation().SetWorkingFolder(folder);
    flow->SetMessageFunction([this](MessageKind kind, const QString& text) {
      messages_ << (kind == MessageKind::kError ? "error: " : "warning: ") + text;
    });
    QObject::connect(flow.get(), &ScreenFlow::EndRequested, [this] { ++ends_; });
    return flow;
  }

  QStringList ShownWindows() const {
    QStringList shown;
    for (const QWidget* window : QApplication::topLevelWidgets())
      if (window->isVisible() && window->windowType() != Qt::ToolTip)
        shown << QString(window->metaObject()->className()).section("::", -1);
    return shown;
  }

  void ReachScatterScreen() {
    flow_->Form1Window().Command2->click();
    flow_->Form5Window().Command1->click();
    flow_->Form5Window().Command4->click();
  }

  QTemporaryDir dir_;
  const fs::path path_{dir_.path().toStdString()};
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

// The conditions start from their defaults on each visit; the scatter screen shows them as typed,
// with the whole text as tooltip only where its label cuts it; a closed scatter window comes back
// fresh, without the last scatter curves.
TEST_F(FlowTest, ConditionsFromDefaultsShownAsTypedAndAClosedScatterWindowComesBackFresh) {
  Form5& form5 = flow_->Form5Window();
  const QStringList typed = {" 100kV", "12deg", "2.50", "0.5 mm aluminium", ""};
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
  EXPECT_TRUE(fs::exists(path_ / "P_Spectrum.dat"));
  ASSERT_GT(form8.Label19->fontMetrics().horizontalAdvance(typed[3]), form8.Label19->width());
  for (QLabel* label : {form8.Label11, form8.Label19}) {
    QHelpEvent hover(QEvent::ToolTip, QPoint(2, 2), label->mapToGlobal(QPoint(2, 2)));
    QCoreApplication::sendEvent(label, &hover);
  }
  QToolTip::hideText();
  EXPECT_EQ(QStringList({form8.Label11->toolTip(), form8.Label19->toolTip()}),
            (QStringList{"", typed[3]}));
  form8.Command1->click();
  form8.close();
  DeleteClosedWindows();
  EXPECT_EQ(Texts(flow_->Form8Window().Text1, flow_->Form8Window().Label11),
            (QStringList{"Text1", "Label11"}));
  ReachScatterScreen();
  EXPECT_EQ(Pixels(flow_->Form8Window().Picture1, kRed), 0);
}

TEST_F(FlowTest, MissingTablesReportAndShowNothing) {
  flow_ = NewFlow(path_ / "Data" / "no such folder");
  EXPECT_FALSE(flow_->Start());
  ASSERT_EQ(messages_.size(), 1);
  EXPECT_TRUE(messages_[0].startsWith("error: "));
  EXPECT_EQ(ShownWindows(), QStringList{});
}

// The boundaries themselves are the commands' own tests; here each warning's box and the screen.
TEST_F(FlowTest, CalculateWarnsAndResetsOnlyTheNamedBox) {
  // Tube voltage, target angle and filtration typed; the warning; angle and filtration after.
  const QStringList cases[] = {
      {"100kV", "89", "2.5", "", "89", "2.5"},
      {"１００", "１２", "２．５", "", "１２", "２．５"},
      {"１００", "９０", "2.5", Warning(kReenterTargetAngle), "12", "2.5"},
      {"39.9", "0", "0", Warning(kVoltageOutOfRange), "0", "0"},
      {"100", "0.5", "0", Warning(kReenterTargetAngle), "12", "0"},
      {"100", "12", "abc", Warning(kReenterInherentFiltration), "12", "2.5"}};
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

// Enter in the angle box only moves the focus to OK. A rejected angle warns, writes and draws
// nothing and leaves the focus where it was; an accepted one saves, draws and gives the focus back
// to the box as typed. Only the primary button empties the box: the right one is left to its
// context menu, the middle one to pasting.
TEST_F(FlowTest, AngleBoxEnterOkAndMouseButtons) {
  ReachScatterScreen();
  Form8& form8 = flow_->Form8Window();
  EXPECT_EQ(form8.Text1->text(), "90");
  // The rejected angle comes first, while nothing has been written.
  for (const auto& [angle, accepted] :
       {std::pair<QString, bool>{"175.01", false}, {"90deg", true}}) {
    SCOPED_TRACE(angle.toStdString());
    form8.Text1->setText(angle);
    form8.Text1->setFocus();
    QTest::keyClick(form8.Text1, Qt::Key_Return);
    EXPECT_EQ(form8.focusWidget(), form8.Command1);
    EXPECT_EQ(flow_->Calculation().ScatterSaved, 0);
    QTest::keyClick(form8.Command1, Qt::Key_Return);
    EXPECT_EQ(messages_, accepted ? QStringList{} : QStringList{Warning(kScatterAngleOutOfRange)});
    messages_.clear();
    EXPECT_EQ(flow_->Calculation().ScatterSaved, accepted ? 1 : 0);
    EXPECT_EQ(fs::exists(path_ / "Inc_Spectrum.dat") + fs::exists(path_ / "Coh_Spectrum.dat"),
              accepted ? 2 : 0);
    EXPECT_EQ(Pixels(form8.Picture1, kBlue) > 0, accepted);
    EXPECT_EQ(form8.focusWidget(), accepted ? static_cast<QWidget*>(form8.Text1) : form8.Command1);
    EXPECT_EQ(form8.Text1->text(), angle);
  }
  form8.Text1->setText("90");
  for (const Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton, Qt::LeftButton}) {
    SCOPED_TRACE(::testing::Message() << "button " << button);
    // Sent straight to the box: a right press through the window would open its menu.
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5),
                      form8.Text1->mapToGlobal(QPointF(5, 5)), button, button, Qt::NoModifier);
    QCoreApplication::sendEvent(form8.Text1, &press);
    EXPECT_EQ(form8.Text1->text(), QString(button == Qt::LeftButton ? "" : "90"));
  }
  QTest::keyClick(form8.Text1, Qt::Key_Enter);
  EXPECT_EQ(form8.focusWidget(), form8.Command1);
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
    SCOPED_TRACE(window->metaObject()->className());
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
