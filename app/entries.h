// SPDX-License-Identifier: MIT
#pragma once

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "model/primary_model.h"

namespace xscatter {

// The five exposure-condition boxes of the exposure-conditions screen.
enum class ConditionBox {
  TubeVoltage,         // Text1
  TargetAngle,         // Text5
  InherentFiltration,  // Text2
  AddedAluminium,      // Text3
  AddedCopper,         // Text4
};

// The box texts of a calculation, as typed.
using ConditionTexts = std::map<ConditionBox, std::string>;

// Default box texts set on every entry to the screens.
inline constexpr std::string_view kDefaultTubeVoltage = "100";
inline constexpr std::string_view kDefaultTargetAngle = "12";
inline constexpr std::string_view kDefaultInherentFiltration = "2.5";
inline constexpr std::string_view kDefaultAddedAluminium = "0";
inline constexpr std::string_view kDefaultAddedCopper = "0";
inline constexpr std::string_view kDefaultScatterAngle = "90";

std::string_view DefaultText(ConditionBox box);
ConditionTexts DefaultConditionTexts();

// Why an entry was refused. Every front end refuses the same entries in the same order.
enum class Refusal {
  VoltageOutOfRange,
  TargetAngle,         // below 1 degree, or 90 degrees and above
  InherentFiltration,  // below 1 mm
  AddedAluminium,      // negative
  AddedCopper,         // negative
  NotComputable,       // the checks passed, the model gives no finite spectrum
  ScatterAngleOutOfRange,
};

// Warning texts, exactly as the user sees them.
inline constexpr std::string_view kVoltageOutOfRange = "\u3000管電圧が範囲外 ";
inline constexpr std::string_view kReenterTargetAngle = "\u3000ターゲット角度を再入力\u3000";
inline constexpr std::string_view kReenterInherentFiltration = "\u3000固有ろ過を再入力\u3000";
inline constexpr std::string_view kReenterAddedAluminium = "\u3000アルミ付加フィルタを再入力\u3000";
inline constexpr std::string_view kReenterAddedCopper = "\u3000銅付加フィルタを再入力\u3000";
inline constexpr std::string_view kSpectrumNotComputable =
    "\u3000この条件ではスペクトルを計算できません\u3000";
inline constexpr std::string_view kScatterAngleOutOfRange = " 散乱角度が範囲外です ";

std::string_view RefusalText(Refusal refusal);
// The box a refusal puts back to its default text, if any.
std::optional<ConditionBox> BoxToReset(Refusal refusal);

// An entry refused with its warning; the front ends without a warning box raise it.
class ConditionError : public std::runtime_error {
 public:
  explicit ConditionError(Refusal refusal)
      : std::runtime_error(std::string(RefusalText(refusal))), refusal(refusal) {}
  Refusal refusal;
};

// Reads a box text as the screens do (see LenientNumber), after turning the full-width digits,
// period, signs and exponent letters an input method types into their ASCII forms.
double ReadBoxNumber(std::string_view text);
// A missing box reads as its default text.
ExposureConditions ReadConditions(const ConditionTexts& texts);

// The first refusal of the calculate command for these conditions, in its order: the tube
// voltage, the target angle, the inherent filtration, then the entries no beam can have (a target
// angle of 90 degrees and above, negative added filters). NaN is refused like a box without a
// number. The model may still find accepted conditions uncomputable.
std::optional<Refusal> CheckConditions(const ExposureConditions& conditions);
std::optional<Refusal> CheckScatterAngle(double degrees);

// The program's pi: degrees are converted with this five-decimal value, not with full precision.
inline constexpr double kProgramPi = 3.14159;
// The scattering angle in radians as the scatter command converts it.
double ScatterTheta(double degrees);

}  // namespace xscatter
