// SPDX-License-Identifier: MIT
#include "screens/screen_flow.h"

#include <QCoreApplication>
#include <filesystem>
#include <system_error>
#include <utility>

#include <QShortcut>
#include "model/commands.h"
#include "model/errors.h"
#include "model/scatter_models.h"
#include "output/charts.h"
#include "output/spectrum_files.h"
#include "screens/chart_menu.h"

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

// The folder as an absolute path without "." parts or a trailing separator.
std::filesystem::path ShownFolder(const std::filesystem::path& folder) {
  std::error_code ec;
  std::filesystem::path shown = std::filesystem::absolute(folder, ec).lexically_normal();
  if (ec) return folder;
  if (!shown.has_filename() && shown != shown.root_path()) shown = shown.parent_path();
  return shown;
}

ChartMenu& MenuOf(const ChartBox* chart) { return *ChartMenu::Of(chart); }

// The five condition texts as typed on a screen.
QStringList Typed(std::initializer_list<const QLabel*> labels) {
  QStringList texts;
  for (const QLabel* label : labels) texts << label->text();
  return texts;
}
QStringList Typed(std::initializer_list<const QLineEdit*> boxes) {
  QStringList texts;
  for (const QLineEdit* box : boxes) texts << box->text();
  return texts;
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
  delete figures_;
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
    AddChartMenu(form5_->Picture3);
    ChartMenu::Of(form5_->Picture3)->SetFiguresCommand([this] { ShowFigures(false); });
    connect(new QShortcut(kFiguresShortcut, form5_), &QShortcut::activated, this,
            [this] { ShowFigures(false); });
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
    AddChartMenu(form8_->Picture3);
    AddChartMenu(form8_->Picture1);
    for (ChartBox* chart : {form8_->Picture3, form8_->Picture1})
      ChartMenu::Of(chart)->SetFiguresCommand([this] { ShowFigures(true); });
    connect(new QShortcut(kFiguresShortcut, form8_), &QShortcut::activated, this,
            [this] { ShowFigures(true); });
  }
  return *form8_;
}

void ScreenFlow::AddChartMenu(ChartBox* chart) {
  new ChartMenu(chart,
                [this](MessageKind kind, const QString& text) { show_message_(kind, text); });
}

const AirTable* ScreenFlow::Air() {
  if (!air_ && air_failure_.isEmpty()) {
    try {
      air_ = LoadAirTable(module_.DataFolder());
    } catch (const std::exception& error) {
      air_failure_ =
          QStringLiteral("空気の表を読めません（%1）").arg(QString::fromUtf8(error.what()));
    }
  }
  return air_ ? &*air_ : nullptr;
}

AngleFigures ScreenFlow::Measure(const ScatterRun& run) {
  AngleFigures figures{run.angle, std::nullopt, air_failure_};
  if (const AirTable* air = Air()) {
    try {
      const ScatterResult scatter = ComputeScatter(module_.Tables(), run.primary, run.theta);
      figures.quality = ScatterBeamQuality(scatter, module_.MuAl, air->mu_en_rho);
    } catch (const std::exception& error) {
      figures.failure =
          QStringLiteral("線質を計算できません（%1）").arg(QString::fromUtf8(error.what()));
    }
  }
  return figures;
}

void ScreenFlow::ShowFigures(bool with_scatter) {
  std::optional<PrimaryQuality> primary;
  QString failure = QStringLiteral("一次線スペクトルはまだ計算されていません");
  if (module_.BinCount >= 2) {
    if (const AirTable* air = Air()) {
      try {
        primary = PrimaryBeamQuality(module_.PrimarySpectrum, static_cast<int>(module_.BinCount),
                                     module_.MuAl, module_.MuCu, air->mu_en_rho);
      } catch (const std::exception& error) {
        failure = QStringLiteral("線質を計算できません（%1）").arg(QString::fromUtf8(error.what()));
      }
    } else {
      failure = air_failure_;
    }
  }
  const Form5& form = Form5Window();
  const QString conditions =
      ConditionsTitle(Typed({form.Text1, form.Text5, form.Text2, form.Text3, form.Text4}));
  if (figures_ == nullptr) figures_ = new FiguresWindow;
  std::vector<AngleFigures> angles;
  if (with_scatter) {
    for (const ScatterRun& run : scatter_runs_) angles.push_back(Measure(run));
  }
  figures_->ShowText(FiguresText(conditions, primary, failure, angles));
}

ChartCurve ScreenFlow::PrimaryCurve() {
  const Form5& form = Form5Window();
  return CurveFromFile(
      ConditionsTitle(Typed({form.Text1, form.Text5, form.Text2, form.Text3, form.Text4})) +
          QStringLiteral(" 一次線"),
      PrimarySpectrumText(module_.PrimarySpectrum));
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
  for (const ChartBox* chart :
       {Form5Window().Picture3, Form8Window().Picture3, Form8Window().Picture1})
    MenuOf(chart).ClearCurves();
  scatter_runs_.clear();
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
  MenuOf(form5_->Picture3).AddCurve(PrimaryCurve());
  form5_->Command4->setEnabled(true);
}

void ScreenFlow::Reset() {
  Form5Window().Picture3->Clear();
  PreparePrimaryCharts(*Form5Window().Picture3, *Form8Window().Picture3);
  MenuOf(Form5Window().Picture3).ClearCurves();
  MenuOf(Form8Window().Picture3).ClearCurves();
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
  MenuOf(Form8Window().Picture3).AddCurve(PrimaryCurve());
  scatter_runs_.clear();
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
  // The curves' data as the files have just been written.
  const QString title = ConditionsTitle(Typed({form8_->Label11, form8_->Label12, form8_->Label18,
                                               form8_->Label19, form8_->Label20})) +
                        QStringLiteral(", θ = %1°").arg(form8_->Text1->text().trimmed());
  ChartCurve incoherent = CurveFromFile(
      title + QStringLiteral(" 非干渉性散乱"),
      IncoherentSpectrumText(module_.IncoherentSpectrum[1], module_.IncoherentSpectrum[2]));
  ChartCurve coherent = CurveFromFile(title + QStringLiteral(" 干渉性散乱"),
                                      CoherentSpectrumText(module_.CoherentSpectrum));
  DrawScatterCurves(ScatterCurvesOf(module_), *form8_->Picture1);
  MenuOf(form8_->Picture1).AddCurve(std::move(incoherent));
  MenuOf(form8_->Picture1).AddCurve(std::move(coherent));
  scatter_runs_.push_back(
      {form8_->Text1->text().trimmed(), module_.PrimarySpectrum, module_.ScatterAngle});
  form8_->Text1->setFocus(Qt::OtherFocusReason);
}

void ScreenFlow::Clear() {
  PrepareScatterChart(*Form8Window().Picture1);
  MenuOf(Form8Window().Picture1).ClearCurves();
  scatter_runs_.clear();
  Form8Window().Text1->setFocus(Qt::OtherFocusReason);
}

void ScreenFlow::End() {
  if (module_.ScatterSaved == 1) {
    Form2Window().ShowFolder(QString::fromStdString(ShownFolder(module_.WorkingFolder()).string()));
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
