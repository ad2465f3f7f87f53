// SPDX-License-Identifier: MIT
#include "screens/screen_flow.h"

#include <QCoreApplication>
#include <utility>

#include "model/commands.h"
#include "output/charts.h"

namespace xscatter {
namespace {

// The store's scatter spectra as the scatter chart draws them.
ScatterCurves ScatterCurvesOf(const Module1& m) {
  return {m.IncoherentSpectrum[1], m.IncoherentSpectrum[2], m.CoherentSpectrum,
          static_cast<int>(m.BinCount)};
}

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

// Marks a calculation as running; at its end, destroys the windows closed meanwhile.
class ScreenFlow::CalculationScope {
 public:
  explicit CalculationScope(ScreenFlow& flow) : flow_(flow) { flow_.calculating_ = true; }
  ~CalculationScope() {
    flow_.calculating_ = false;
    for (QWidget* window : flow_.closed_while_calculating_) window->deleteLater();
    flow_.closed_while_calculating_.clear();
  }
  CalculationScope(const CalculationScope&) = delete;
  CalculationScope& operator=(const CalculationScope&) = delete;

 private:
  ScreenFlow& flow_;
};

ScreenFlow::ScreenFlow(QObject* parent) : QObject(parent) { module_.AttachPanel(this); }

ScreenFlow::~ScreenFlow() {
  module_.AttachPanel(nullptr);
  delete form2_;
  delete form8_;
  delete form5_;
  delete form1_;
}

bool ScreenFlow::Start() {
  Form1Window();
  module_.ScatterSaved = 0;
  if (!RunLoadDataTables(module_)) return false;
  form1_->show();
  return true;
}

Form1& ScreenFlow::Form1Window() {
  if (form1_ == nullptr) {
    form1_ = new Form1;
    connect(form1_->Command2, &QPushButton::clicked, this, &ScreenFlow::Form1Ok);
    connect(form1_->Command3, &QPushButton::clicked, this, &ScreenFlow::EndRequested);
    connect(form1_, &Form1::Closed, this, &ScreenFlow::EndRequested);
  }
  return *form1_;
}

Form2& ScreenFlow::Form2Window() {
  if (form2_ == nullptr) {
    form2_ = new Form2;
    connect(form2_->Command1, &QPushButton::clicked, this, &ScreenFlow::Form2Ok);
    connect(form2_, &Form2::Closed, this, &ScreenFlow::Form2Closed);
  }
  return *form2_;
}

Form5& ScreenFlow::Form5Window() {
  if (form5_ == nullptr) {
    form5_ = new Form5;
    connect(form5_->Command1, &QPushButton::clicked, this, &ScreenFlow::Calculate);
    connect(form5_->Command2, &QPushButton::clicked, this, &ScreenFlow::Cancel);
    connect(form5_->Command3, &QPushButton::clicked, this, &ScreenFlow::Reset);
    connect(form5_->Command4, &QPushButton::clicked, this, &ScreenFlow::Form5Ok);
    connect(form5_, &Form5::Closed, this, &ScreenFlow::Form5Closed);
  }
  return *form5_;
}

Form8& ScreenFlow::Form8Window() {
  if (form8_ == nullptr) {
    form8_ = new Form8;
    connect(form8_->Command1, &QPushButton::clicked, this, &ScreenFlow::Scatter);
    connect(form8_->Command2, &QPushButton::clicked, this, &ScreenFlow::End);
    connect(form8_->Command3, &QPushButton::clicked, this, &ScreenFlow::Clear);
    connect(form8_, &Form8::Closed, this, &ScreenFlow::Form8Closed);
  }
  return *form8_;
}

QLineEdit* ScreenFlow::ConditionBoxControl(ConditionBox box) {
  Form5& form = Form5Window();
  switch (box) {
    case ConditionBox::TubeVoltage:
      return form.Text1;
    case ConditionBox::TargetAngle:
      return form.Text5;
    case ConditionBox::InherentFiltration:
      return form.Text2;
    case ConditionBox::AddedAluminium:
      return form.Text3;
    case ConditionBox::AddedCopper:
      return form.Text4;
  }
  return form.Text1;
}

// Reading a box of a window that does not exist yet creates the window, as any touch does.
std::string ScreenFlow::ConditionText(ConditionBox box) const {
  return const_cast<ScreenFlow*>(this)->ConditionBoxControl(box)->text().toStdString();
}

void ScreenFlow::SetConditionText(ConditionBox box, const std::string& text) {
  ConditionBoxControl(box)->setText(QString::fromStdString(text));
}

std::string ScreenFlow::AngleText() const {
  return const_cast<ScreenFlow*>(this)->Form8Window().Text1->text().toStdString();
}

void ScreenFlow::Warn(const std::string& text) {
  show_message_(MessageKind::kWarning, QString::fromStdString(text));
}

void ScreenFlow::ReportError(const std::string& text) {
  show_message_(MessageKind::kError, QString::fromStdString(text));
}

void ScreenFlow::Yield() { QCoreApplication::processEvents(); }

void ScreenFlow::Form1Ok() {
  PreparePrimaryCharts(*Form5Window().Picture3, *Form8Window().Picture3);
  PrepareScatterChart(*Form8Window().Picture1);
  SetConditionText(ConditionBox::TubeVoltage, std::string(kDefaultTubeVoltage));
  SetConditionText(ConditionBox::TargetAngle, std::string(kDefaultTargetAngle));
  SetConditionText(ConditionBox::InherentFiltration, std::string(kDefaultInherentFiltration));
  SetConditionText(ConditionBox::AddedAluminium, std::string(kDefaultAddedAluminium));
  SetConditionText(ConditionBox::AddedCopper, std::string(kDefaultAddedCopper));
  Form5Window().Command4->setEnabled(false);
  Form5Window().show();
  Form1Window().hide();
}

void ScreenFlow::Calculate() {
  if (calculating_) return;
  CalculationScope scope(*this);
  Form5* const issued_on = &Form5Window();
  if (RunCalculateCommand(module_) != CommandStatus::Completed) return;
  // The window may have been closed during the yield; its successor gets no curve.
  if (form5_ != issued_on) return;
  DrawPrimaryCurve(module_.PrimarySpectrum, *form5_->Picture3);
  form5_->Command4->setEnabled(true);
}

void ScreenFlow::Reset() {
  Form5Window().Picture3->Clear();
  PreparePrimaryCharts(*Form5Window().Picture3, *Form8Window().Picture3);
  Form5Window().Command4->setEnabled(false);
}

void ScreenFlow::Cancel() {
  Form5Window().hide();
  Form1Window().show();
}

// The file is written before the staircase is drawn, so that a failed write leaves the scatter
// screen's primary chart untouched and the user on this screen to try again.
void ScreenFlow::Form5Ok() {
  if (!RunWritePrimarySpectrumFile(module_)) return;
  DrawPrimaryCurve(module_.PrimarySpectrum, *Form8Window().Picture3);
  Form5& conditions = Form5Window();
  Form8& scatter = Form8Window();
  scatter.Label11->setText(conditions.Text1->text());
  scatter.Label12->setText(conditions.Text5->text());
  scatter.Label18->setText(conditions.Text2->text());
  scatter.Label19->setText(conditions.Text3->text());
  scatter.Label20->setText(conditions.Text4->text());
  scatter.Text1->setText(ToQString(kDefaultScatterAngle));
  scatter.show();
  conditions.hide();
}

void ScreenFlow::Form5Closed() {
  Form1Window().show();
  Discard(std::exchange(form5_, nullptr));
}

void ScreenFlow::Scatter() {
  if (calculating_) return;
  CalculationScope scope(*this);
  Form8* const issued_on = &Form8Window();
  if (RunScatterCommand(module_) != CommandStatus::Completed) return;
  if (form8_ != issued_on) return;
  DrawScatterCurves(ScatterCurvesOf(module_), *form8_->Picture1);
  form8_->Text1->setFocus(Qt::OtherFocusReason);
}

void ScreenFlow::Clear() {
  PrepareScatterChart(*Form8Window().Picture1);
  Form8Window().Text1->setFocus(Qt::OtherFocusReason);
}

void ScreenFlow::End() {
  if (module_.ScatterSaved == 1) {
    Form2Window().show();
  } else {
    Form1Window().show();
  }
  Form8Window().hide();
}

void ScreenFlow::Form8Closed() {
  Form1Window().show();
  Discard(std::exchange(form8_, nullptr));
}

void ScreenFlow::Form2Ok() {
  module_.ScatterSaved = 0;
  Form1Window().show();
  Form2Window().hide();
}

void ScreenFlow::Form2Closed() {
  Form1Window().show();
  Discard(std::exchange(form2_, nullptr));
}

void ScreenFlow::Discard(QWidget* window) {
  window->hide();
  if (calculating_) {
    closed_while_calculating_.push_back(window);
  } else {
    window->deleteLater();
  }
}

}  // namespace xscatter
