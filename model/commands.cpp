// SPDX-License-Identifier: MIT
#include "model/commands.h"

#include <cmath>
#include <exception>
#include <new>
#include <string>

#include "model/command_panel.h"
#include "model/errors.h"
#include "model/lenient_number.h"
#include "model/scatter_messages.h"
#include "model/scatter_models.h"
#include "model/table_messages.h"

namespace xscatter {
namespace {

// The scatter results that a failed scatter run must leave as they were.
struct ScatterResults {
  std::array<GridArray, 3> incoherent;
  GridArray coherent;
  double angle;
  double maximum;

  static ScatterResults Of(const Module1& m) {
    return {m.IncoherentSpectrum, m.CoherentSpectrum, m.ScatterAngle, m.CommonMaximum};
  }
  void RestoreInto(Module1& m) const {
    m.IncoherentSpectrum = incoherent;
    m.CoherentSpectrum = coherent;
    m.ScatterAngle = angle;
    m.CommonMaximum = maximum;
  }
};

void ClearScatterSpectra(Module1& m) {
  for (int column = 1; column <= 2; ++column) {
    for (int i = 1; i <= kLastBin; ++i) m.IncoherentSpectrum[column][i] = 0;
  }
  for (int i = 1; i <= kLastBin; ++i) m.CoherentSpectrum[i] = 0;
}

// Divides both scatter spectra by their common maximum; throws NormalisationError.
void NormaliseScatterSpectra(Module1& m) {
  ScatterResult spectra;
  spectra.incoherent = m.IncoherentSpectrum[2];
  spectra.coherent = m.CoherentSpectrum;
  NormaliseScatter(spectra);
  m.CommonMaximum = spectra.common_maximum;
  m.IncoherentSpectrum[2] = spectra.incoherent;
  m.CoherentSpectrum = spectra.coherent;
}

// A failure no model or file check foresaw, such as running out of memory: the command ends with a
// message instead of taking the program down.
std::string UnexpectedFailure(const char* what, const std::exception& error) {
  const bool memory = dynamic_cast<const std::bad_alloc*>(&error) != nullptr;
  return std::string(what) + "の処理中にエラーが発生しました（" +
         (memory ? std::string("メモリが足りません") : std::string(error.what())) + "）。";
}

}  // namespace

bool VoltageAccepted(double kv) { return !(kv < 40 || kv > 150); }
bool TargetAngleAccepted(double degrees) { return !(degrees < 1); }
bool InherentFiltrationAccepted(double mm) { return !(mm < 1); }
bool ScatterAngleAccepted(double degrees) { return !(degrees < 5 || degrees > 175); }

std::optional<std::string_view> ConditionsWarning(const ExposureConditions& conditions) {
  if (!VoltageAccepted(conditions.kv)) return kVoltageOutOfRange;
  if (!TargetAngleAccepted(conditions.target_angle_deg)) return kReenterTargetAngle;
  if (!InherentFiltrationAccepted(conditions.inherent_mm_al)) return kReenterInherentFiltration;
  return std::nullopt;
}

CommandStatus RunCalculateCommand(Module1& m) {
  CommandPanel& panel = *m.Panel();
  const double kv = LenientNumber(panel.ConditionText(ConditionBox::TubeVoltage));
  if (!VoltageAccepted(kv)) {
    panel.Warn(std::string(kVoltageOutOfRange));
    return CommandStatus::Rejected;
  }
  m.BinCount = std::floor(2 * kv);

  if (!TargetAngleAccepted(LenientNumber(panel.ConditionText(ConditionBox::TargetAngle)))) {
    panel.Warn(std::string(kReenterTargetAngle));
    panel.SetConditionText(ConditionBox::TargetAngle, std::string(kDefaultTargetAngle));
    return CommandStatus::Rejected;
  }
  if (!InherentFiltrationAccepted(
          LenientNumber(panel.ConditionText(ConditionBox::InherentFiltration)))) {
    panel.Warn(std::string(kReenterInherentFiltration));
    panel.SetConditionText(ConditionBox::InherentFiltration,
                           std::string(kDefaultInherentFiltration));
    return CommandStatus::Rejected;
  }

  try {
    m.ComputePrimarySpectrum();
  } catch (const ModelError&) {
    panel.Warn(std::string(kSpectrumNotComputable));
    return CommandStatus::Rejected;
  } catch (const std::exception& error) {
    panel.ReportError(UnexpectedFailure("一次Ｘ線スペクトル", error));
    return CommandStatus::Failed;
  }
  panel.Yield();
  return CommandStatus::Completed;
}

CommandStatus RunScatterCalculation(Module1& m) {
  CommandPanel& panel = *m.Panel();
  const double angle = LenientNumber(panel.AngleText());
  if (!ScatterAngleAccepted(angle)) {
    panel.Warn(std::string(kScatterAngleOutOfRange));
    return CommandStatus::Rejected;
  }

  const ScatterResults previous = ScatterResults::Of(m);
  ClearScatterSpectra(m);
  m.ScatterAngle = angle / 180 * m.Pi;

  try {
    m.ComputeIncoherentSpectrum();
    panel.Yield();
    m.ComputeCoherentSpectrum();
    panel.Yield();
    NormaliseScatterSpectra(m);
  } catch (const ScatterModelError& error) {
    previous.RestoreInto(m);
    panel.ReportError(DescribeScatterError(error));
    return CommandStatus::Failed;
  } catch (const NormalisationError& error) {
    previous.RestoreInto(m);
    panel.ReportError(DescribeNormalisationError(error));
    return CommandStatus::Failed;
  } catch (const std::exception& error) {
    previous.RestoreInto(m);
    panel.ReportError(UnexpectedFailure("散乱スペクトル", error));
    return CommandStatus::Failed;
  }
  return CommandStatus::Completed;
}

CommandStatus RunScatterCommand(Module1& m) {
  const CommandStatus calculated = RunScatterCalculation(m);
  if (calculated != CommandStatus::Completed) return calculated;
  CommandPanel& panel = *m.Panel();
  try {
    m.WriteScatterSpectrumFiles();
  } catch (const FileWriteError& error) {
    panel.ReportError(error.what());
    return CommandStatus::Failed;
  } catch (const std::exception& error) {
    panel.ReportError(UnexpectedFailure("散乱スペクトルファイル", error));
    return CommandStatus::Failed;
  }
  m.ScatterSaved = 1;
  return CommandStatus::Completed;
}

bool RunWritePrimarySpectrumFile(Module1& m) {
  try {
    m.WritePrimarySpectrumFile();
    return true;
  } catch (const FileWriteError& error) {
    m.Panel()->ReportError(error.what());
    return false;
  } catch (const std::exception& error) {
    m.Panel()->ReportError(UnexpectedFailure("P_Spectrum.dat", error));
    return false;
  }
}

bool RunLoadDataTables(Module1& m) {
  try {
    m.LoadDataTables();
    return true;
  } catch (const TableError& error) {
    m.Panel()->ReportError(DescribeTableError(error));
  } catch (const std::bad_alloc&) {
    m.Panel()->ReportError("データテーブルを読み込めません（メモリが足りません）。");
  } catch (const std::exception& error) {
    m.Panel()->ReportError(std::string("データテーブルを読み込めません（") + error.what() + "）。");
  }
  return false;
}

}  // namespace xscatter
