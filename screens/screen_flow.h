// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <optional>
#include <vector>

#include "model/air_table.h"
#include "model/command_panel.h"
#include "model/state.h"
#include "screens/chart_curves.h"
#include "screens/figures_text.h"
#include "screens/figures_window.h"
#include "screens/form1.h"
#include "screens/form2.h"
#include "screens/form5.h"
#include "screens/form8.h"
#include "screens/message_box.h"

namespace xscatter {

// The screen flow: owns the calculation store and the four windows, creates a window the first time
// anything touches it, and carries out every command of the screens.
class ScreenFlow : public QObject, public CommandPanel {
  Q_OBJECT

 public:
  explicit ScreenFlow(QObject* parent = nullptr);
  ~ScreenFlow() override;

  // Creates the main screen, resets ScatterSaved and loads the tables; shows the main screen when
  // they load. False (the failure already reported) when the program cannot run.
  bool Start();

  Module1& Calculation() { return module_; }

  // Touching a window creates it, hidden, where it does not exist.
  Form1& Form1Window();
  Form2& Form2Window();
  Form5& Form5Window();
  Form8& Form8Window();
  // Null where the window does not exist; nothing is created.
  Form1* Form1IfCreated() const { return form1_; }
  Form2* Form2IfCreated() const { return form2_; }
  Form5* Form5IfCreated() const { return form5_; }
  Form8* Form8IfCreated() const { return form8_; }

  // Shows the figures window: the current primary spectrum's figures and, from the scatter screen,
  // those of each angle computed since its chart was last prepared.
  void ShowFigures(bool with_scatter);
  FiguresWindow* FiguresIfCreated() const { return figures_; }

  // Replaces the message box, for tests.
  void SetMessageFunction(MessageFunction show) { show_message_ = std::move(show); }

  // CommandPanel.
  std::string ConditionText(ConditionBox box) const override;
  void SetConditionText(ConditionBox box, const std::string& text) override;
  std::string AngleText() const override;
  void Warn(const std::string& text) override;
  void ReportError(const std::string& text) override;
  void Yield() override;

 signals:
  // EXIT or the main screen's close box: the process is to end now.
  void EndRequested();

 private:
  void Form1Ok();
  void Calculate();
  void Reset();
  void Cancel();
  void Form5Ok();
  void Form5Closed();
  void Scatter();
  void Clear();
  void End();
  void Form8Closed();
  void Form2Ok();
  void Form2Closed();

  QLineEdit* ConditionBoxControl(ConditionBox box);
  // Gives a chart its context menu and curve tooltips.
  void AddChartMenu(ChartBox* chart);
  // The primary spectrum as a chart curve, titled with the conditions screen's texts.
  ChartCurve PrimaryCurve();
  // A scatter run kept for its figures, which are computed when they are asked for.
  struct ScatterRun {
    QString angle;  // as typed
    GridArray primary;
    double theta;
  };
  AngleFigures Measure(const ScatterRun& run);
  // The air table for the figures, read once; null, with the reason kept, when it cannot be read.
  const AirTable* Air();
  // Destroys a window closed with its close box once its close event is over; one closed while a
  // calculation yields lives until that calculation has finished with it.
  void Discard(QWidget* window);

  class CalculationScope;

  Module1 module_;
  MessageFunction show_message_ = ShowMessageBox;
  // Set while a calculation runs; a second one started from its yields is ignored, as both would
  // work on the same arrays.
  bool calculating_ = false;
  std::vector<QWidget*> closed_while_calculating_;
  // Windows have no parent; the flow deletes them.
  Form1* form1_ = nullptr;
  Form2* form2_ = nullptr;
  Form5* form5_ = nullptr;
  Form8* form8_ = nullptr;
  FiguresWindow* figures_ = nullptr;
  std::optional<AirTable> air_;
  QString air_failure_;
  std::vector<ScatterRun> scatter_runs_;
};

}  // namespace xscatter
