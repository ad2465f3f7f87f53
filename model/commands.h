// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string_view>

#include "model/primary_model.h"
#include "model/state.h"

namespace xscatter {

// Warning texts of the two commands, exactly as the user sees them.
inline constexpr std::string_view kVoltageOutOfRange = "\u3000管電圧が範囲外 ";
inline constexpr std::string_view kReenterTargetAngle = "\u3000ターゲット角度を再入力\u3000";
inline constexpr std::string_view kReenterInherentFiltration = "\u3000固有ろ過を再入力\u3000";
inline constexpr std::string_view kSpectrumNotComputable =
    "\u3000この条件ではスペクトルを計算できません\u3000";
inline constexpr std::string_view kScatterAngleOutOfRange = " 散乱角度が範囲外です ";

// Default box texts set on every entry to the screens.
inline constexpr std::string_view kDefaultTubeVoltage = "100";
inline constexpr std::string_view kDefaultTargetAngle = "12";
inline constexpr std::string_view kDefaultInherentFiltration = "2.5";
inline constexpr std::string_view kDefaultAddedAluminium = "0";
inline constexpr std::string_view kDefaultAddedCopper = "0";
inline constexpr std::string_view kDefaultScatterAngle = "90";

// The checks of the two commands on numbers. ConditionsWarning gives the warning the calculate
// command shows first for these conditions (they are checked in the command's order), or nothing
// when it accepts them; the model may still find them uncomputable.
bool VoltageAccepted(double kv);
bool TargetAngleAccepted(double degrees);
bool InherentFiltrationAccepted(double mm);
bool ScatterAngleAccepted(double degrees);
std::optional<std::string_view> ConditionsWarning(const ExposureConditions& conditions);

enum class CommandStatus {
  Completed,  // the caller draws the new curves (and enables OK after a calculation)
  Rejected,   // an entry was refused with a warning through the panel
  Failed,     // a model or file error was reported through the panel
};

// The calculate command up to and including its yield: validation in its fixed order, BinCount,
// the primary model. The panel must be attached.
CommandStatus RunCalculateCommand(Module1& m);

// The scatter command's calculation: angle check, clearing, ScatterAngle, both models with their
// yields, common maximum and normalisation. On a model error the previous scatter spectra and
// scalars are restored.
CommandStatus RunScatterCalculation(Module1& m);

// The scatter command up to the drawing: angle check, clearing, ScatterAngle, both models with
// their yields, common maximum, normalisation, both files, ScatterSaved = 1. On a model error the
// previous scatter spectra and scalars are restored; a file error leaves ScatterSaved alone.
CommandStatus RunScatterCommand(Module1& m);

// Writes P_Spectrum.dat; a failure is reported through the panel and false returned.
bool RunWritePrimarySpectrumFile(Module1& m);

// LoadDataTables with the failure reported through the panel; false when the tables are unusable.
bool RunLoadDataTables(Module1& m);

}  // namespace xscatter
