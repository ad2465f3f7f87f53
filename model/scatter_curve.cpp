// SPDX-License-Identifier: MIT
#include "model/scatter_curve.h"

namespace xscatter {

double ExtrapolatedScatterEnergy(const Module1& m) {
  const int n = static_cast<int>(m.BinCount);
  // Before any calculation there are no two bins to extrapolate from.
  if (n < 2 || n > kLastBin) return 0.0;
  return 2 * m.IncoherentSpectrum[1][n] - m.IncoherentSpectrum[1][n - 1];
}

void ExtendScatterEnergies(Module1& m) {
  const int next = static_cast<int>(m.BinCount) + 1;
  if (next >= 3 && next <= kLastBin) m.IncoherentSpectrum[1][next] = ExtrapolatedScatterEnergy(m);
}

CurvePoint IncoherentCurvePoint(const Module1& m, int bin) {
  if (bin > kLastBin) return {ExtrapolatedScatterEnergy(m), 0.0};
  return {m.IncoherentSpectrum[1][bin], m.IncoherentSpectrum[2][bin]};
}

double CoherentCurveValue(const Module1& m, int bin) {
  return bin > kLastBin ? 0.0 : m.CoherentSpectrum[bin];
}

}  // namespace xscatter
