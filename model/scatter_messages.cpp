// SPDX-License-Identifier: MIT
#include "model/scatter_messages.h"

#include <sstream>

namespace xscatter {
namespace {

std::string Number(double value) {
  std::ostringstream out;
  out.imbue(std::locale::classic());
  out.precision(6);
  out << value;
  return out.str();
}

std::string Row(int row) { return std::to_string(row) + " 行目"; }

}  // namespace

std::string DescribeInterpolationFault(const InterpolationFault& fault) {
  using Kind = InterpolationFault::Kind;
  switch (fault.kind) {
    case Kind::PastLastRow:
      return "テーブルの範囲外: x = " + Number(fault.x) +
             " 1/Å が Water.xfs の最終行の x = " + Number(fault.value) + " 以上です";
    case Kind::NonPositiveX:
      return "負またはゼロの値の対数: Water.xfs の " + Row(fault.row) +
             "の x = " + Number(fault.value);
    case Kind::NonPositiveValue:
      return "負またはゼロの値の対数: Water.xfs の " + Row(fault.row) +
             "の 関数値 = " + Number(fault.value);
    case Kind::NonPositiveArgument:
      return "負またはゼロの値の対数: x = " + Number(fault.x);
    case Kind::EqualRows:
      return "ゼロによる除算: Water.xfs の " + Row(fault.row) + "と " + Row(fault.row + 1) +
             "の x が等しい値です";
    case Kind::NotFinite:
      return "オーバーフロー: x = " + Number(fault.x) + " 1/Å での補間値が有限になりません";
    case Kind::AngleNotFinite:
      return "散乱角が有限の値ではありません";
  }
  return "";
}

std::string DescribeScatterError(const ScatterModelError& error) {
  const char* model =
      error.model == ScatterModel::Incoherent ? "非干渉性散乱スペクトル" : "干渉性散乱スペクトル";
  return std::string(model) + "の計算中にエラーが発生しました（" + Number(error.energy_kev) +
         " keV）。\n" + DescribeInterpolationFault(error.fault);
}

std::string DescribeNormalisationError(const NormalisationError& error) {
  return error.nothing_scattered
             ? "散乱スペクトルを正規化できません: 8 keV 以上の一次線スペクトルがないため、"
               "散乱線がすべて 0 になりました。"
             : "散乱スペクトルを正規化できません: 値が有限になりません（オーバーフロー）。";
}

}  // namespace xscatter
