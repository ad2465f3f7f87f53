// SPDX-License-Identifier: MIT
#include "app/entries.h"

#include <cmath>

#include "model/lenient_number.h"

namespace xscatter {
namespace {

// The ASCII form of the full-width character starting at text[i] (three UTF-8 bytes EF BC xx or
// EF BD xx), or 0 when it is none of those a number can hold.
char AsciiOfFullWidth(std::string_view text, std::size_t i) {
  if (i + 2 >= text.size() || static_cast<unsigned char>(text[i]) != 0xEF) return 0;
  const auto second = static_cast<unsigned char>(text[i + 1]);
  const auto third = static_cast<unsigned char>(text[i + 2]);
  // U+FF01..U+FF3F are EF BC 81..BF, U+FF40..U+FF5E are EF BD 80..9E; both map to code - 0xFEE0.
  int code = 0;
  if (second == 0xBC && third >= 0x81 && third <= 0xBF) code = 0xFF00 + (third - 0x80);
  if (second == 0xBD && third >= 0x80 && third <= 0x9E) code = 0xFF40 + (third - 0x80);
  if (code == 0) return 0;
  const char ascii = static_cast<char>(code - 0xFEE0);
  const bool number_part = (ascii >= '0' && ascii <= '9') || ascii == '.' || ascii == '-' ||
                           ascii == '+' || ascii == 'E' || ascii == 'e';
  return number_part ? ascii : 0;
}

std::string NarrowNumberCharacters(std::string_view text) {
  std::string narrow;
  narrow.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (const char ascii = AsciiOfFullWidth(text, i)) {
      narrow.push_back(ascii);
      i += 3;
    } else {
      narrow.push_back(text[i]);
      ++i;
    }
  }
  return narrow;
}

double Read(const ConditionTexts& texts, ConditionBox box) {
  const auto found = texts.find(box);
  return ReadBoxNumber(found == texts.end() ? DefaultText(box) : std::string_view(found->second));
}

}  // namespace

std::string_view DefaultText(ConditionBox box) {
  switch (box) {
    case ConditionBox::TubeVoltage:
      return kDefaultTubeVoltage;
    case ConditionBox::TargetAngle:
      return kDefaultTargetAngle;
    case ConditionBox::InherentFiltration:
      return kDefaultInherentFiltration;
    case ConditionBox::AddedAluminium:
      return kDefaultAddedAluminium;
    case ConditionBox::AddedCopper:
      return kDefaultAddedCopper;
  }
  return {};
}

ConditionTexts DefaultConditionTexts() {
  ConditionTexts texts;
  for (const ConditionBox box :
       {ConditionBox::TubeVoltage, ConditionBox::TargetAngle, ConditionBox::InherentFiltration,
        ConditionBox::AddedAluminium, ConditionBox::AddedCopper}) {
    texts[box] = std::string(DefaultText(box));
  }
  return texts;
}

std::string_view RefusalText(Refusal refusal) {
  switch (refusal) {
    case Refusal::VoltageOutOfRange:
      return kVoltageOutOfRange;
    case Refusal::TargetAngle:
      return kReenterTargetAngle;
    case Refusal::InherentFiltration:
      return kReenterInherentFiltration;
    case Refusal::AddedAluminium:
      return kReenterAddedAluminium;
    case Refusal::AddedCopper:
      return kReenterAddedCopper;
    case Refusal::NotComputable:
      return kSpectrumNotComputable;
    case Refusal::ScatterAngleOutOfRange:
      return kScatterAngleOutOfRange;
  }
  return {};
}

std::optional<ConditionBox> BoxToReset(Refusal refusal) {
  switch (refusal) {
    case Refusal::TargetAngle:
      return ConditionBox::TargetAngle;
    case Refusal::InherentFiltration:
      return ConditionBox::InherentFiltration;
    case Refusal::AddedAluminium:
      return ConditionBox::AddedAluminium;
    case Refusal::AddedCopper:
      return ConditionBox::AddedCopper;
    default:
      return std::nullopt;
  }
}

double ReadBoxNumber(std::string_view text) { return LenientNumber(NarrowNumberCharacters(text)); }

ExposureConditions ReadConditions(const ConditionTexts& texts) {
  return {Read(texts, ConditionBox::TubeVoltage), Read(texts, ConditionBox::TargetAngle),
          Read(texts, ConditionBox::InherentFiltration), Read(texts, ConditionBox::AddedAluminium),
          Read(texts, ConditionBox::AddedCopper)};
}

std::optional<Refusal> CheckConditions(const ExposureConditions& c) {
  if (!(c.kv >= 40 && c.kv <= 150)) return Refusal::VoltageOutOfRange;
  if (!(c.target_angle_deg >= 1)) return Refusal::TargetAngle;
  if (!(c.inherent_mm_al >= 1)) return Refusal::InherentFiltration;
  // A target face at 90 degrees or more to the central ray sends no beam towards it.
  if (!(c.target_angle_deg < 90)) return Refusal::TargetAngle;
  if (!(c.al_mm >= 0)) return Refusal::AddedAluminium;
  if (!(c.cu_mm >= 0)) return Refusal::AddedCopper;
  return std::nullopt;
}

std::optional<Refusal> CheckScatterAngle(double degrees) {
  if (!(degrees >= 5 && degrees <= 175)) return Refusal::ScatterAngleOutOfRange;
  return std::nullopt;
}

double ScatterTheta(double degrees) { return degrees / 180 * kProgramPi; }

}  // namespace xscatter
