#include "model/commands.h"

#include <cmath>
#include <exception>
#include <new>
#include <string>

#include "model/command_panel.h"
#include "model/errors.h"
#include "model/lenient_number.h"
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

void FindCommonMaximum(Module1& m) {
  m.CommonMaximum = 0;
  for (int i = 2; i <= kLastBin; ++i) {
    if (m.IncoherentSpectrum[2][i] > m.CommonMaximum) m.CommonMaximum = m.IncoherentSpectrum[2][i];
  }
  for (int i = 2; i <= kLastBin; ++i) {
    if (m.CoherentSpectrum[i] > m.CommonMaximum) m.CommonMaximum = m.CoherentSpectrum[i];
  }
}

// Divides bins 2..300 by the common maximum; false if any result is not finite.
bool Normalise(GridArray& values, double maximum) {
  bool finite = true;
  for (int i = 2; i <= kLastBin; ++i) {
    values[i] = values[i] / maximum;
    if (values[i] <= 1e-100) values[i] = 0;
    finite = finite && std::isfinite(values[i]);
  }
  return finite;
}

}  // namespace

bool NormaliseScatterSpectra(Module1& m) {
  FindCommonMaximum(m);
  if (!(m.CommonMaximum > 0) || !std::isfinite(m.CommonMaximum)) return false;
  const bool incoherent_finite = Normalise(m.IncoherentSpectrum[2], m.CommonMaximum);
  const bool coherent_finite = Normalise(m.CoherentSpectrum, m.CommonMaximum);
  return incoherent_finite && coherent_finite;
}

CommandStatus RunCalculateCommand(Module1& m) {
  CommandPanel& panel = *m.Panel();
  const double kv = LenientNumber(panel.ConditionText(ConditionBox::TubeVoltage));
  if (kv < 40 || kv > 150) {
    panel.Warn(std::string(kVoltageOutOfRange));
    return CommandStatus::Rejected;
  }
  m.BinCount = std::floor(2 * kv);

  if (LenientNumber(panel.ConditionText(ConditionBox::TargetAngle)) < 1) {
    panel.Warn(std::string(kReenterTargetAngle));
    panel.SetConditionText(ConditionBox::TargetAngle, std::string(kDefaultTargetAngle));
    return CommandStatus::Rejected;
  }
  if (LenientNumber(panel.ConditionText(ConditionBox::InherentFiltration)) < 1) {
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
  }
  panel.Yield();
  return CommandStatus::Completed;
}

CommandStatus RunScatterCommand(Module1& m) {
  CommandPanel& panel = *m.Panel();
  const double angle = LenientNumber(panel.AngleText());
  if (angle < 5 || angle > 175) {
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
  } catch (const ScatterModelError& error) {
    previous.RestoreInto(m);
    panel.ReportError(error.what());
    return CommandStatus::Failed;
  }

  if (!NormaliseScatterSpectra(m)) {
    const bool nothing_scattered = !(m.CommonMaximum > 0);
    previous.RestoreInto(m);
    panel.ReportError(
        nothing_scattered
            ? "散乱スペクトルを正規化できません: 8 keV 以上の一次線スペクトルがないため、"
              "散乱線がすべて 0 になりました。"
            : "散乱スペクトルを正規化できません: 値が有限になりません（オーバーフロー）。");
    return CommandStatus::Failed;
  }

  try {
    m.WriteScatterSpectrumFiles();
  } catch (const FileWriteError& error) {
    panel.ReportError(error.what());
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
