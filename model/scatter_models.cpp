#include <cmath>
#include <sstream>

#include "model/command_panel.h"
#include "model/errors.h"
#include "model/interpolation.h"
#include "model/state.h"

namespace xscatter {
namespace {

double MomentumTransfer(double energy, double theta) {
  const double wavelength = 12.4 / energy;
  return std::sin(0.5 * theta) / wavelength;
}

[[noreturn]] void Rethrow(const char* model, double energy, const ScatterModelError& error) {
  std::ostringstream out;
  out.imbue(std::locale::classic());
  out << model << "の計算中にエラーが発生しました（" << energy << " keV）。\n" << error.what();
  throw ScatterModelError(out.str());
}

}  // namespace

void Module1::ComputeIncoherentSpectrum() {
  GridArray& energy = IncoherentSpectrum[1];
  GridArray& fluence = IncoherentSpectrum[2];
  const double theta = ScatterAngle;

  for (int i = kFirstScatterBin; i <= kLastBin; ++i) {
    if (PrimarySpectrum[i] == 0) continue;
    const double e = 0.5 * i;
    double s;
    try {
      s = InterpolateLogLog(MomentumTransfer(e, theta), ScatterX, IncoherentS);
    } catch (const ScatterModelError& error) {
      Rethrow("非干渉性散乱スペクトル", e, error);
    }
    const double one_minus_cos = 1 - std::cos(theta);
    if (!std::isfinite(one_minus_cos)) {
      Rethrow("非干渉性散乱スペクトル", e, ScatterModelError("散乱角が有限の値ではありません"));
    }
    const double e_scattered = e / (1 + (e / 511) * one_minus_cos);
    energy[i] = e_scattered;
    const double ratio = e_scattered / e;
    const double sin_theta = std::sin(theta);
    fluence[i] = fluence[i] + PrimarySpectrum[i] * WaterIncoherent[i] * (ratio * ratio) *
                                  (e / e_scattered + e_scattered / e - sin_theta * sin_theta) * s;
  }

  YieldToUi();

  // Fluence per primary bin becomes fluence per 0.5 keV of scattered energy wherever the next bin
  // was computed too.
  for (int k = 1; k <= kLastBin - 1; ++k) {
    if (energy[k] != 0 && energy[k + 1] != 0) {
      fluence[k] = fluence[k] / ((energy[k + 1] - energy[k]) / 0.5);
    }
  }
}

void Module1::ComputeCoherentSpectrum() {
  const double theta = ScatterAngle;
  for (int i = kFirstScatterBin; i <= kLastBin; ++i) {
    if (PrimarySpectrum[i] == 0) continue;
    const double e = 0.5 * i;
    double f;
    try {
      f = InterpolateLogLog(MomentumTransfer(e, theta), ScatterX, CoherentF);
    } catch (const ScatterModelError& error) {
      Rethrow("干渉性散乱スペクトル", e, error);
    }
    const double cos_theta = std::cos(theta);
    const double angular = 1 + cos_theta * cos_theta;
    if (!std::isfinite(angular)) {
      Rethrow("干渉性散乱スペクトル", e, ScatterModelError("散乱角が有限の値ではありません"));
    }
    CoherentSpectrum[i] =
        CoherentSpectrum[i] + PrimarySpectrum[i] * WaterCoherent[i] * angular * (f * f);
  }
}

void Module1::YieldToUi() const {
  if (panel_) panel_->Yield();
}

}  // namespace xscatter
