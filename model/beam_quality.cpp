// SPDX-License-Identifier: MIT
#include "model/beam_quality.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/errors.h"

namespace xscatter {
namespace {

// The solver stops after a Newton step below this relative size: the error of the new iterate is
// of the order of the step squared, far inside the promised 1e-9.
constexpr double kNewtonStepTolerance = 1e-7;
// Bisection stops when the bracket's half-width falls below this relative size.
constexpr double kBracketTolerance = 1e-12;
constexpr int kMaxSolverSteps = 400;
constexpr double kNoStep = std::numeric_limits<double>::quiet_NaN();

bool IsNonNegative(double value) { return std::isfinite(value) && value >= 0; }

// Σ w·x / Σ w; the weights are scaled by their largest so that no sum overflows. Every weight is
// finite and not negative and at least one is positive.
class WeightedMean {
 public:
  // Room for `capacity` items, taken once: Add runs for every bin of every run.
  explicit WeightedMean(std::size_t capacity) : items_(new Item[capacity]), capacity_(capacity) {}
  void Add(double weight, double value) {
    if (count_ == capacity_) [[unlikely]]
      throw std::length_error("WeightedMean is full");
    items_[count_++] = {weight, value};
  }
  bool Empty() const { return count_ == 0; }
  double Mean() const {
    const std::span<const Item> items(items_.get(), count_);
    double largest = 0;
    for (const auto& item : items) largest = std::max(largest, item.weight);
    double sum = 0;
    double weighted = 0;
    for (const auto& item : items) {
      const double w = item.weight / largest;
      sum += w;
      weighted += w * item.value;
    }
    return weighted / sum;
  }

 private:
  struct Item {
    double weight;
    double value;
  };
  std::unique_ptr<Item[]> items_;
  std::size_t capacity_;
  std::size_t count_ = 0;
};

// The transmission Σ w·exp(−m·t) − target and its derivative, on scaled components.
struct Transmission {
  double excess;
  double slope;
};

Transmission Evaluate(const std::vector<BeamComponent>& beam, double target, double t) {
  double sum = 0;
  double slope = 0;
  for (const BeamComponent& c : beam) {
    const double term = c.weight * std::exp(-c.mu_per_cm * t);
    sum += term;
    slope -= c.mu_per_cm * term;
  }
  return {sum - target, slope};
}

double HalfValue(std::span<const BeamComponent> beam, const char* material) {
  const std::optional<double> t = TransmissionThickness(beam, 0.5);
  if (!t) throw BeamQualityError(BeamQualityFault::NeverHalves, material);
  return *t;
}

double QuarterValue(std::span<const BeamComponent> beam, const char* material) {
  const std::optional<double> t = TransmissionThickness(beam, 0.25);
  if (!t) {
    throw BeamQualityError(BeamQualityFault::NeverQuarters, material);
  }
  return *t;
}

// HVL1, HVL2 and homogeneity in mm.
struct Layers {
  double hvl1_mm;
  double hvl2_mm;
  double homogeneity;
};

Layers LayersOf(std::span<const BeamComponent> beam, const char* material) {
  const double hvl1 = HalfValue(beam, material);
  const double qvl = QuarterValue(beam, material);
  const double hvl2 = qvl - hvl1;
  return {10 * hvl1, 10 * hvl2, hvl1 / hvl2};
}

[[noreturn]] void FailTableValue(const char* table, int bin) {
  throw BeamQualityError(BeamQualityFault::BadValue, table, bin);
}

// Called for every bin in use, so the check stays small enough to inline.
inline void CheckTableValue(double value, const char* table, int bin) {
  if (!IsNonNegative(value)) [[unlikely]]
    FailTableValue(table, bin);
}

// Air kerma of n photons of energy e: n·e·(μen/ρ)air.
double KermaWeight(double n, double e, double air, int bin) {
  const double kerma = n * e * air;
  if (!std::isfinite(kerma)) {
    throw BeamQualityError(BeamQualityFault::KermaNotFinite, {}, bin);
  }
  return kerma;
}

// The straight line in ln(y) against ln(x), from the logarithms of x and of the two points.
double LogLogFromLogs(double ln_x, double ln_x0, double ln_x1, double ln_y0, double ln_y1) {
  return std::exp(ln_y0 + (ln_x - ln_x0) * (ln_y1 - ln_y0) / (ln_x1 - ln_x0));
}

// A table value at a scattered energy, checked like the tables themselves.
double ValueAtScatteredEnergy(const LogLogTable& table, const char* name,
                              const std::optional<GridPosition>& position, double energy, int bin) {
  const std::optional<double> value = position ? table.At(*position) : std::nullopt;
  if (!value || !IsNonNegative(*value)) {
    throw BeamQualityError(BeamQualityFault::NoValueAtEnergy, name, bin, energy);
  }
  return *value;
}

// The value at x on the straight line through (x0, y0) and (x1, y1) in ln(y) against ln(x).
double LogLogLine(double x, double x0, double x1, double y0, double y1) {
  return LogLogFromLogs(std::log(x), std::log(x0), std::log(x1), std::log(y0), std::log(y1));
}

}  // namespace

std::optional<double> TransmissionThickness(std::span<const BeamComponent> beam, double fraction) {
  if (!(fraction > 0 && fraction < 1)) return std::nullopt;
  double max_weight = 0;
  double max_mu = 0;
  for (const BeamComponent& c : beam) {
    if (!IsNonNegative(c.weight) || !IsNonNegative(c.mu_per_cm)) return std::nullopt;
    if (c.weight > 0) {
      max_weight = std::max(max_weight, c.weight);
      max_mu = std::max(max_mu, c.mu_per_cm);
    }
  }
  if (max_weight == 0 || max_mu == 0) return std::nullopt;

  // Scaled so that weights and coefficients are at most 1: the thickness comes out in units of
  // 1/max_mu and no product overflows.
  std::vector<BeamComponent> scaled;
  scaled.reserve(beam.size());
  double total = 0;
  double unattenuated = 0;
  double initial_slope = 0;
  for (const BeamComponent& c : beam) {
    const BeamComponent s{c.weight / max_weight, c.mu_per_cm / max_mu};
    if (s.weight == 0) continue;
    scaled.push_back(s);
    total += s.weight;
    initial_slope += s.weight * s.mu_per_cm;
    if (s.mu_per_cm == 0) unattenuated += s.weight;
  }
  const double target = fraction * total;
  if (unattenuated >= target || initial_slope == 0) return std::nullopt;

  // exp is convex, so the sum never falls below total·exp(−mean_mu·t): the root lies at or above
  // the thickness where that bound reaches the target. The sum is convex and falling, so Newton's
  // method started left of the root climbs to it without overshooting; the bracket [low, high]
  // guards against rounding, and doubling or bisection take over where a step is unusable.
  double low = std::log(1 / fraction) * total / initial_slope;
  double high = std::numeric_limits<double>::infinity();
  const auto in_cm = [max_mu](double scaled_t) -> std::optional<double> {
    const double thickness = scaled_t / max_mu;
    if (!std::isfinite(thickness)) return std::nullopt;
    return thickness;
  };
  double t = low;
  for (int step = 0; step < kMaxSolverSteps && std::isfinite(t); ++step) {
    const Transmission at = Evaluate(scaled, target, t);
    if (at.excess == 0) return in_cm(t);
    (at.excess > 0 ? low : high) = t;
    const double newton = at.slope < 0 ? t - at.excess / at.slope : kNoStep;
    if (std::fabs(newton - t) <= kNewtonStepTolerance * t) return in_cm(newton);
    double next = newton;
    if (!(next > low && next < high)) next = std::isfinite(high) ? 0.5 * (low + high) : 2 * low;
    if (std::fabs(next - t) <= kBracketTolerance * t) return in_cm(next);
    t = next;
  }
  return std::nullopt;
}

namespace {

// ln(0.5·j) for every bin, taken once for the program.
const GridArray& LnBinEnergies() {
  static const GridArray ln_energy = [] {
    GridArray ln{};
    for (int j = 1; j <= kLastBin; ++j) ln[j] = std::log(kBinWidth * j);
    return ln;
  }();
  return ln_energy;
}

}  // namespace

std::optional<GridPosition> GridPosition::Of(double energy_kev) {
  if (!std::isfinite(energy_kev) || energy_kev < kBinWidth || energy_kev > kLastBin * kBinWidth) {
    return std::nullopt;
  }
  const double position = energy_kev / kBinWidth;
  const int j = static_cast<int>(std::floor(position));
  if (position == j) return GridPosition{j, true, 0};
  return GridPosition{j, false, std::log(energy_kev)};
}

LogLogTable::LogLogTable(const GridArray& table) : table_(table) {
  for (int j = 1; j <= kLastBin; ++j) ln_value_[j] = std::log(table[j]);
}

std::optional<double> LogLogTable::At(double energy_kev) const {
  const std::optional<GridPosition> position = GridPosition::Of(energy_kev);
  if (!position) return std::nullopt;
  return At(*position);
}

std::optional<double> LogLogTable::At(const GridPosition& position) const {
  const int j = position.bin;
  if (position.on_bin) return table_[j];
  const double lo = table_[j];
  const double hi = table_[j + 1];
  if (!(lo > 0 && hi > 0 && std::isfinite(lo) && std::isfinite(hi))) return std::nullopt;
  const GridArray& ln_energy = LnBinEnergies();
  return LogLogFromLogs(position.ln_energy, ln_energy[j], ln_energy[j + 1], ln_value_[j],
                        ln_value_[j + 1]);
}

std::optional<double> EffectiveEnergy(const GridArray& mu_al, double hvl1_cm) {
  if (!(hvl1_cm > 0) || !std::isfinite(hvl1_cm)) return std::nullopt;
  const double mu = std::numbers::ln2 / hvl1_cm;
  if (!std::isfinite(mu)) return std::nullopt;
  for (int j = kFirstScatterBin; j < kLastBin; ++j) {
    const double a = mu_al[j];
    const double b = mu_al[j + 1];
    if (!(a > 0 && b > 0 && std::isfinite(a) && std::isfinite(b))) continue;
    if (a == mu) return kBinWidth * j;
    if (b == mu) return kBinWidth * (j + 1);
    if ((a < mu) == (b < mu)) continue;
    return LogLogLine(mu, a, b, kBinWidth * j, kBinWidth * (j + 1));
  }
  return std::nullopt;
}

PrimaryQuality PrimaryBeamQuality(const GridArray& primary, int bin_count, const GridArray& mu_al,
                                  const GridArray& mu_cu, const GridArray& air_mu_en_rho) {
  if (bin_count < 2 || bin_count > kLastBin) {
    throw BeamQualityError(BeamQualityFault::BinCountOutsideGrid, {}, bin_count);
  }
  const auto bins = static_cast<std::size_t>(bin_count);
  WeightedMean fluence_mean(bins);
  WeightedMean kerma_mean(bins);
  std::vector<BeamComponent> al;
  std::vector<BeamComponent> cu;
  al.reserve(bins);
  cu.reserve(bins);
  for (int i = 2; i <= bin_count; ++i) {
    CheckTableValue(primary[i], "the primary spectrum", i);
    if (primary[i] == 0) continue;
    CheckTableValue(air_mu_en_rho[i], "the air energy-absorption coefficient", i);
    const double e = kBinWidth * i;
    const double kerma = KermaWeight(primary[i], e, air_mu_en_rho[i], i);
    fluence_mean.Add(primary[i], e);
    if (kerma == 0) continue;
    CheckTableValue(mu_al[i], "the aluminium attenuation coefficient", i);
    CheckTableValue(mu_cu[i], "the copper attenuation coefficient", i);
    kerma_mean.Add(kerma, e);
    al.push_back({kerma, mu_al[i]});
    cu.push_back({kerma, mu_cu[i]});
  }
  if (al.empty()) throw BeamQualityError(BeamQualityFault::NoAirKerma);

  PrimaryQuality quality;
  quality.bin_count = bin_count;
  quality.mean_energy_kev = fluence_mean.Mean();
  quality.kerma_mean_energy_kev = kerma_mean.Mean();
  const Layers in_al = LayersOf(al, "aluminium");
  const Layers in_cu = LayersOf(cu, "copper");
  quality.hvl1_mm_al = in_al.hvl1_mm;
  quality.hvl2_mm_al = in_al.hvl2_mm;
  quality.homogeneity_al = in_al.homogeneity;
  quality.hvl1_mm_cu = in_cu.hvl1_mm;
  quality.hvl2_mm_cu = in_cu.hvl2_mm;
  quality.homogeneity_cu = in_cu.homogeneity;
  quality.effective_energy_kev_al = EffectiveEnergy(mu_al, in_al.hvl1_mm / 10);
  return quality;
}

ScatterQuality ScatterBeamQuality(const ScatterResult& scatter, const ScatterFigureTables& tables) {
  const double maximum = scatter.common_maximum;
  if (!(maximum > 0) || !std::isfinite(maximum)) {
    throw BeamQualityError(BeamQualityFault::BadCommonMaximum);
  }
  const GridArray& mu_al = tables.mu_al.Values();
  const GridArray& air_mu_en_rho = tables.air_mu_en_rho.Values();
  constexpr std::size_t kBins = kLastBin;
  WeightedMean incoherent_mean(kBins);
  WeightedMean coherent_mean(kBins);
  WeightedMean share(2 * kBins);  // the mean of 1 for coherent and 0 for incoherent photons
  std::vector<BeamComponent> al;
  al.reserve(2 * kBins);
  for (int i = 1; i <= kLastBin; ++i) {
    CheckTableValue(scatter.incoherent_photons[i], "the incoherent photon count", i);
    CheckTableValue(scatter.coherent[i], "the coherent spectrum", i);
    const double n = scatter.incoherent_photons[i] / maximum;
    if (!std::isfinite(n)) {
      throw BeamQualityError(BeamQualityFault::PhotonsNotFinite, {}, i);
    }
    if (n > 0) {
      const double e = scatter.energy[i];
      const std::optional<GridPosition> at = GridPosition::Of(e);
      const double air = ValueAtScatteredEnergy(tables.air_mu_en_rho,
                                                "air energy-absorption coefficient", at, e, i);
      const double mu =
          ValueAtScatteredEnergy(tables.mu_al, "aluminium attenuation coefficient", at, e, i);
      incoherent_mean.Add(n, e);
      share.Add(n, 0);
      al.push_back({KermaWeight(n, e, air, i), mu});
    }
    const double c = scatter.coherent[i];
    if (c > 0) {
      CheckTableValue(air_mu_en_rho[i], "the air energy-absorption coefficient", i);
      CheckTableValue(mu_al[i], "the aluminium attenuation coefficient", i);
      const double e = kBinWidth * i;
      coherent_mean.Add(c, e);
      share.Add(c, 1);
      al.push_back({KermaWeight(c, e, air_mu_en_rho[i], i), mu_al[i]});
    }
  }
  if (incoherent_mean.Empty()) throw BeamQualityError(BeamQualityFault::NoIncoherentPhotons);
  if (coherent_mean.Empty()) throw BeamQualityError(BeamQualityFault::NoCoherentPhotons);

  ScatterQuality quality;
  quality.incoherent_mean_energy_kev = incoherent_mean.Mean();
  quality.coherent_mean_energy_kev = coherent_mean.Mean();
  quality.coherent_share = share.Mean();
  quality.hvl1_mm_al = 10 * HalfValue(al, "aluminium");
  return quality;
}

ScatterQuality ScatterBeamQuality(const ScatterResult& scatter, const GridArray& mu_al,
                                  const GridArray& air_mu_en_rho) {
  return ScatterBeamQuality(scatter, ScatterFigureTables(mu_al, air_mu_en_rho));
}

}  // namespace xscatter
