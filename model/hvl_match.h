// SPDX-License-Identifier: MIT
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "model/grid.h"
#include "model/physical_tables.h"
#include "model/primary_model.h"

namespace xscatter {

// The metal whose added thickness is sought; the first HVL is measured in the same metal.
enum class HvlMetal { Aluminium, Copper };

// The largest added thickness the search tries, mm: 100 mm aluminium, 10 mm copper.
double HvlMatchLimitMm(HvlMetal metal);

// Why no added thickness gives the wanted first HVL.
struct HvlMatchFault {
  enum class Kind {
    TargetNotPositive,     // the wanted HVL is zero, negative or not finite
    SofterThanUnfiltered,  // below the HVL with nothing added; reachable_mm holds that HVL
    HarderThanLimit,       // above the HVL at the limit thickness; reachable_mm holds that HVL
  };
  Kind kind;
  HvlMetal metal;
  double target_mm = 0;
  double reachable_mm = 0;
  double limit_mm = 0;  // the limit thickness of the metal
};

class HvlMatchError : public std::runtime_error {
 public:
  explicit HvlMatchError(const HvlMatchFault& fault)
      : std::runtime_error("no added thickness gives the wanted first HVL"), fault(fault) {}
  HvlMatchFault fault;
};

// The fault in English, for the batch tool and the Python module, for example "a first HVL of
// 0.5 mm Al is softer than the beam without added aluminium (1.23456 mm Al)".
std::string DescribeHvlMatchFault(const HvlMatchFault& fault);

struct HvlMatch {
  double added_mm = 0;  // the thickness that replaces conditions.al_mm or conditions.cu_mm
  double hvl1_mm = 0;   // the first HVL in the metal with that thickness
};

// The added thickness of `metal` (replacing the al_mm or cu_mm of `conditions`) for which the
// first HVL, in that metal and weighted by air kerma as in PrimaryBeamQuality, of the primary
// spectrum behind `filters` equals target_hvl1_mm to a relative 1e-6. Adding a metal hardens the
// beam for layers of the same metal (the air kerma behind a layer is a sum of exponentials, whose
// logarithm is convex), so the HVL rises with the thickness and the root is unique: it is
// bracketed by 0 and the limit and found by Brent's method. A beam that the metal can never halve
// counts as infinitely hard. Throws HvlMatchError when the target cannot be reached,
// BeamQualityError when the beam with nothing added has no figures, and ModelError from the model.
HvlMatch MatchHvl(const PhysicalTables& tables, const ExposureConditions& conditions,
                  const std::vector<FilterLayer>& filters, const GridArray& air_mu_en_rho,
                  HvlMetal metal, double target_hvl1_mm);

}  // namespace xscatter
