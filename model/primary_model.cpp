#include <cmath>
#include <string>

#include "model/command_panel.h"
#include "model/errors.h"
#include "model/lenient_number.h"
#include "model/primary_model.h"
#include "model/state.h"

namespace xscatter {
namespace {

double BoxNumber(const CommandPanel* panel, ConditionBox box) {
  return panel ? LenientNumber(panel->ConditionText(box)) : 0.0;
}

bool AllFinite(const GridArray& values, int first, int last) {
  for (int i = first; i <= last; ++i) {
    if (!std::isfinite(values[i])) return false;
  }
  return true;
}

}  // namespace

double TuckerDepthCoefficient(double kv) {
  return 141766 + 12157 * kv - 111.046 * std::pow(kv, 2) + 0.552536 * std::pow(kv, 3) -
         0.000970158 * std::pow(kv, 4);
}

double CharacteristicLineShare(double kv) {
  return kv > 70 ? (std::sqrt(8.79856 * kv - 595.149) - 4.55528) / 4.39928 : 0.0;
}

void Module1::ComputePrimarySpectrum() {
  const double kv = BoxNumber(panel_, ConditionBox::TubeVoltage);
  const double target_angle = BoxNumber(panel_, ConditionBox::TargetAngle);
  const double t_inh = 0.1 * BoxNumber(panel_, ConditionBox::InherentFiltration);
  const double t_al = 0.1 * BoxNumber(panel_, ConditionBox::AddedAluminium);
  const double t_cu = 0.1 * BoxNumber(panel_, ConditionBox::AddedCopper);

  const double last = std::floor(2 * kv);
  if (!(last >= 2 && last <= kLastBin)) {
    throw ModelError("tube voltage outside the energy grid: " + std::to_string(kv) + " kV");
  }
  const int n = static_cast<int>(last);

  // Computed aside and stored only when every value is usable, so a failed run changes nothing.
  GridArray primary{};
  GridArray unfiltered = UnfilteredSpectrum;

  const double cot = 1 / std::tan(target_angle * 3.14159 / 180);
  const double d = TuckerDepthCoefficient(kv);
  const double k_share = CharacteristicLineShare(kv);
  const double a = 0.000029 * kv + 0.03658;

  for (int i = 2; i <= n; ++i) {
    const double e = 0.5 * i;
    double sum = 0;
    for (double t = e; t <= kv; t = t + 0.5) {
      const double u = e / t;
      const double b = 1 - 5.049 * u + 10.847 * std::pow(u, 2) - 10.516 * std::pow(u, 3) +
                       3.842 * std::pow(u, 4);
      const double s = 1036.1 * std::exp(-0.04695 * t) + 202.41;
      const double x = (kv * kv - t * t) / (19.3 * d);
      const double p = cot * x;
      const double f = std::exp(-MuTarget[i] * p);
      sum = sum + f * ((a * b * (511 / t + 1)) / s);
    }
    unfiltered[i] = sum;
  }

  if (kv > 70) {
    double total = 0;
    for (int i = 2; i <= n; ++i) total = total + unfiltered[i];
    const double l = 0.01 * (k_share * total);
    unfiltered[119] = unfiltered[119] + 0.5048 * l;
    unfiltered[116] = unfiltered[116] + 0.2908 * l;
    unfiltered[134] = unfiltered[134] + 0.162 * l;
    unfiltered[138] = unfiltered[138] + 0.0424 * l;
  }

  for (int i = 2; i <= n; ++i) {
    primary[i] = unfiltered[i];
    primary[i] =
        primary[i] * std::exp(-(t_inh + t_al) * MuAl[i]) * std::exp(-t_cu * MuCu[i]) / (0.5 * i);
  }

  double maximum = 0;
  for (int i = 2; i <= n; ++i) {
    if (primary[i] > maximum) maximum = primary[i];
  }
  if (!AllFinite(unfiltered, 2, n) || !AllFinite(primary, 2, n) || !std::isfinite(maximum) ||
      !(maximum > 0)) {
    throw ModelError("the conditions give no finite primary spectrum");
  }

  for (int i = 2; i <= n; ++i) {
    primary[i] = primary[i] / maximum;
    if (primary[i] <= 1E-100) primary[i] = 0;
  }
  if (!AllFinite(primary, 2, n)) throw ModelError("the conditions give no finite primary spectrum");

  for (int i = 1; i <= kLastBin; ++i) {
    PrimarySpectrum[i] = primary[i];
    UnfilteredSpectrum[i] = unfiltered[i];
  }
}

}  // namespace xscatter
