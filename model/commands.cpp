// SPDX-License-Identifier: MIT
#include "model/commands.h"

#include <cmath>
#include <exception>
#include <new>
#include <optional>
#include <string>

#include "app/failure_text.h"
#include "model/command_panel.h"
#include "model/errors.h"
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

// Shows the refusal's warning and puts its box back to the default.
CommandStatus Refuse(CommandPanel& panel, Refusal refusal) {
  panel.Warn(std::string(RefusalText(refusal)));
  if (const auto box = BoxToReset(refusal)) {
    panel.SetConditionText(*box, std::string(DefaultText(*box)));
  }
  return CommandStatus::Rejected;
}

}  // namespace

CommandStatus RunCalculateCommand(Module1& m) {
  CommandPanel& panel = *m.Panel();
  ConditionTexts texts;
  for (const auto& [box, text] : DefaultConditionTexts()) texts[box] = panel.ConditionText(box);
  const ExposureConditions conditions = ReadConditions(texts);
  const std::optional<Refusal> refusal = CheckConditions(conditions);
  // The bin count follows the tube voltage as soon as that is accepted, whatever comes next.
  if (refusal != Refusal::VoltageOutOfRange) m.BinCount = std::floor(2 * conditions.kv);
  if (refusal) return Refuse(panel, *refusal);

  try {
    m.ComputePrimarySpectrum();
  } catch (const ModelError&) {
    return Refuse(panel, Refusal::NotComputable);
  } catch (const std::exception& error) {
    panel.ReportError(FailureText(error, "一次Ｘ線スペクトル"));
    return CommandStatus::Failed;
  }
  panel.Yield();
  return CommandStatus::Completed;
}

CommandStatus RunScatterCalculation(Module1& m) {
  CommandPanel& panel = *m.Panel();
  const double angle = ReadBoxNumber(panel.AngleText());
  if (const auto refusal = CheckScatterAngle(angle)) return Refuse(panel, *refusal);

  const ScatterResults previous = ScatterResults::Of(m);
  ClearScatterSpectra(m);
  m.ScatterAngle = angle / 180 * m.Pi;

  try {
    m.ComputeIncoherentSpectrum();
    panel.Yield();
    m.ComputeCoherentSpectrum();
    panel.Yield();
    NormaliseScatterSpectra(m);
  } catch (const std::exception& error) {
    previous.RestoreInto(m);
    panel.ReportError(FailureText(error, "散乱スペクトル"));
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
  } catch (const std::exception& error) {
    panel.ReportError(FailureText(error, "散乱スペクトルファイル"));
    return CommandStatus::Failed;
  }
  m.ScatterSaved = 1;
  return CommandStatus::Completed;
}

bool RunWritePrimarySpectrumFile(Module1& m) {
  try {
    m.WritePrimarySpectrumFile();
    return true;
  } catch (const std::exception& error) {
    m.Panel()->ReportError(FailureText(error, "P_Spectrum.dat"));
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
