// SPDX-License-Identifier: MIT
#include "model/hvl_match.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "model/beam_quality.h"
#include "output/number_format.h"

namespace xscatter {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
// The search stops when the HVL is this close to the target, relative: ten times inside the
// promised 1e-6 and a hundred times above the 1e-9 to which each HVL itself is solved.
constexpr double kHvlTolerance = 1e-7;
// ... or when the bracket is this narrow, relative to the limit thickness.
constexpr double kThicknessTolerance = 1e-13;
constexpr int kMaxSteps = 200;

const char* Symbol(HvlMetal metal) { return metal == HvlMetal::Aluminium ? "Al" : "Cu"; }
const char* Name(HvlMetal metal) { return metal == HvlMetal::Aluminium ? "aluminium" : "copper"; }

// Six significant digits with a period in every locale.
std::string Millimetres(double mm, HvlMetal metal) {
  return FormatGeneral(mm, 6) + " mm " + Symbol(metal);
}

ExposureConditions WithAdded(ExposureConditions conditions, HvlMetal metal, double mm) {
  (metal == HvlMetal::Aluminium ? conditions.al_mm : conditions.cu_mm) = mm;
  return conditions;
}

// The first HVL in mm of the metal, weighted as PrimaryBeamQuality weights it, or infinity when
// the metal never halves the air kerma.
double FirstHvlMm(const PhysicalTables& tables, const ExposureConditions& conditions,
                  const std::vector<FilterLayer>& filters, const GridArray& air, HvlMetal metal) {
  const PrimaryResult beam = ComputePrimary(tables, conditions, filters);
  const GridArray& mu = metal == HvlMetal::Aluminium ? tables.mu_al : tables.mu_cu;
  std::vector<BeamComponent> components;
  for (int i = 2; i <= beam.bin_count; ++i) {
    const double e = kBinWidth * i;
    const double kerma = beam.spectrum[i] * e * air[i];
    if (kerma > 0) components.push_back({kerma, mu[i]});
  }
  const std::optional<double> hvl_cm = TransmissionThickness(components, 0.5);
  return hvl_cm ? 10 * *hvl_cm : kInfinity;
}

}  // namespace

double HvlMatchLimitMm(HvlMetal metal) { return metal == HvlMetal::Aluminium ? 100 : 10; }

std::string DescribeHvlMatchFault(const HvlMatchFault& fault) {
  const std::string target = "a first HVL of " + Millimetres(fault.target_mm, fault.metal);
  switch (fault.kind) {
    case HvlMatchFault::Kind::TargetNotPositive:
      return target + " cannot be matched: the HVL must be a positive number";
    case HvlMatchFault::Kind::SofterThanUnfiltered:
      return target + " is softer than the beam without added " + Name(fault.metal) + " (" +
             Millimetres(fault.reachable_mm, fault.metal) + ")";
    case HvlMatchFault::Kind::HarderThanLimit:
      return target + " is harder than " + Millimetres(fault.limit_mm, fault.metal) + " of added " +
             Name(fault.metal) + " can make the beam (" +
             Millimetres(fault.reachable_mm, fault.metal) + ")";
  }
  return target;
}

HvlMatch MatchHvl(const PhysicalTables& tables, const ExposureConditions& conditions,
                  const std::vector<FilterLayer>& filters, const GridArray& air_mu_en_rho,
                  HvlMetal metal, double target_hvl1_mm) {
  const double limit = HvlMatchLimitMm(metal);
  HvlMatchFault fault{HvlMatchFault::Kind::TargetNotPositive, metal, target_hvl1_mm, 0, limit};
  if (!(target_hvl1_mm > 0) || !std::isfinite(target_hvl1_mm)) throw HvlMatchError(fault);

  // With nothing added the beam must have its figures; their checks name any bad value.
  const PrimaryResult bare = ComputePrimary(tables, WithAdded(conditions, metal, 0), filters);
  const PrimaryQuality quality =
      PrimaryBeamQuality(bare.spectrum, bare.bin_count, tables.mu_al, tables.mu_cu, air_mu_en_rho);
  const double bare_hvl = metal == HvlMetal::Aluminium ? quality.hvl1_mm_al : quality.hvl1_mm_cu;
  const double tolerance = kHvlTolerance * target_hvl1_mm;
  // g(t) = HVL(t) − target rises with t.
  const auto g = [&](double mm) {
    return FirstHvlMm(tables, WithAdded(conditions, metal, mm), filters, air_mu_en_rho, metal) -
           target_hvl1_mm;
  };

  double a = 0;
  double fa = bare_hvl - target_hvl1_mm;
  if (std::fabs(fa) <= tolerance) return {0, bare_hvl};
  if (fa > 0) {
    fault.kind = HvlMatchFault::Kind::SofterThanUnfiltered;
    fault.reachable_mm = bare_hvl;
    throw HvlMatchError(fault);
  }
  double b = limit;
  double fb = g(limit);
  if (std::fabs(fb) <= tolerance) return {limit, fb + target_hvl1_mm};
  if (fb < 0) {
    fault.kind = HvlMatchFault::Kind::HarderThanLimit;
    fault.reachable_mm = fb + target_hvl1_mm;
    throw HvlMatchError(fault);
  }

  // Brent's method: inverse quadratic or secant steps while they stay well inside the bracket
  // [b, c] and every value is finite, bisection otherwise.
  double c = b;
  double fc = fb;
  double d = b - a;
  double e = d;
  const double x_tolerance = kThicknessTolerance * limit;
  for (int step = 0; step < kMaxSteps; ++step) {
    if ((fb > 0) == (fc > 0)) {
      c = a;
      fc = fa;
      d = e = b - a;
    }
    if (std::fabs(fc) < std::fabs(fb)) {
      a = b;
      b = c;
      c = a;
      fa = fb;
      fb = fc;
      fc = fa;
    }
    const double tol = 2 * std::numeric_limits<double>::epsilon() * std::fabs(b) + x_tolerance;
    const double half = 0.5 * (c - b);
    if (std::fabs(fb) <= tolerance || std::fabs(half) <= tol) break;
    const bool finite = std::isfinite(fa) && std::isfinite(fb) && std::isfinite(fc);
    if (finite && std::fabs(e) >= tol && std::fabs(fa) > std::fabs(fb)) {
      const double s = fb / fa;
      double p;
      double q;
      if (a == c) {
        p = 2 * half * s;
        q = 1 - s;
      } else {
        const double qa = fa / fc;
        const double r = fb / fc;
        p = s * (2 * half * qa * (qa - r) - (b - a) * (r - 1));
        q = (qa - 1) * (r - 1) * (s - 1);
      }
      if (p > 0) q = -q;
      p = std::fabs(p);
      if (2 * p < std::min(3 * half * q - std::fabs(tol * q), std::fabs(e * q))) {
        e = d;
        d = p / q;
      } else {
        d = half;
        e = d;
      }
    } else {
      d = half;
      e = d;
    }
    a = b;
    fa = fb;
    b += std::fabs(d) > tol ? d : std::copysign(tol, half);
    fb = g(b);
  }
  return {b, fb + target_hvl1_mm};
}

}  // namespace xscatter
