// SPDX-License-Identifier: MIT
#include "table_files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "model/compton_profiles.h"
#include "nist_air.h"
#include "physics_library.h"
#include "scatter_grid.h"

namespace xscatter::tables {
namespace {

std::string Record(std::initializer_list<double> fields) {
  std::string line;
  for (const double value : fields) {
    if (!line.empty()) line += ',';
    line += Field(value);
  }
  return line + '\n';
}

// Where one row of Materials.csv takes its values from: an element by atomic number, or a NIST
// compound by name.
struct MaterialSource {
  const char* name;
  int z;
  const char* compound;
  double fixed_density;  // g/cm3; 0 takes the library's density
};

// Al, Cu and W keep the densities of Mus.dat, so that a filter of one of them attenuates exactly
// as the program's own aluminium, copper and target do.
constexpr MaterialSource kMaterials[] = {
    {"Be", kBeryllium, nullptr, 0},
    {"C", kCarbon, nullptr, 0},
    {"Al", kAluminium, nullptr, kAluminiumDensity},
    {"Ti", kTitanium, nullptr, 0},
    {"Cu", kCopper, nullptr, kCopperDensity},
    {"Mo", kMolybdenum, nullptr, 0},
    {"Sn", kTin, nullptr, 0},
    {"W", kTungsten, nullptr, kTungstenDensity},
    {"Pb", kLead, nullptr, 0},
    {"air", 0, kNistAir, 0},
    {"water", 0, kNistWater, 0},
    {"PMMA", 0, kNistPmma, 0},
    {"tissue", 0, kNistSoftTissue, 0},
};

double DensityOf(const MaterialSource& m) {
  if (m.fixed_density > 0) return m.fixed_density;
  return m.compound ? CompoundDensity(m.compound) : ElementDensityOf(m.z);
}

double MassAttenuationOf(const MaterialSource& m, double e) {
  return m.compound ? CompoundMassAttenuation(m.compound, e) : TotalMassAttenuation(m.z, e);
}

// The value exactly as the program will read it back from the file.
double AsWritten(double value) { return std::strtod(Field(value).c_str(), nullptr); }

// The momentum grid of WaterCompton.csv in atomic units: from 0, steps of `step` up to `end`,
// then the next segment. Fine where the profiles bend most, so that straight lines between rows
// follow them; coarse in the far tails, where they are thousands of times below their peaks.
struct MomentumSegment {
  double end;
  double step;
};
constexpr MomentumSegment kMomentumSegments[] = {
    {2, 0.02}, {6, 0.05}, {10, 0.1}, {30, 0.25}, {100, 2}};

std::vector<double> MomentumGrid() {
  std::vector<double> grid = {0};
  double start = 0;
  for (const MomentumSegment& segment : kMomentumSegments) {
    const int steps = static_cast<int>(std::lround((segment.end - start) / segment.step));
    for (int n = 1; n <= steps; ++n) grid.push_back(AsWritten(start + n * segment.step));
    start = segment.end;
  }
  if (grid.size() != static_cast<std::size_t>(kComptonProfileRows)) {
    throw std::logic_error("the momentum grid does not have the rows the program reads");
  }
  return grid;
}

}  // namespace

std::string Field(double value) {
  if (!std::isfinite(value)) {
    throw std::runtime_error("non-finite table value");
  }
  // snprintf formats in the "C" locale: this program never changes the locale.
  char text[32];
  std::snprintf(text, sizeof text, "%.6E", value);
  return text;
}

std::string AttenuationTable() {
  std::string text;
  for (int k = 1; k <= kLastBin; ++k) {
    const double e = kBinWidth * k;
    const double w = TotalMassAttenuation(kTungsten, e);
    const double al = TotalMassAttenuation(kAluminium, e);
    const double cu = TotalMassAttenuation(kCopper, e);
    text +=
        Record({e, w * kTungstenDensity, al * kAluminiumDensity, cu * kCopperDensity, w, al, cu});
  }
  return text;
}

std::string WaterWeightTable(WaterWeights kind) {
  std::string text;
  for (int k = 1; k <= kLastBin; ++k) {
    const double e = kBinWidth * k;
    if (kind == WaterWeights::Constant) {
      text += Record({e, kHalfElectronRadiusSquared, kHalfElectronRadiusSquared});
    } else {
      text += Record({e, WaterCoherentMassCrossSection(e), WaterIncoherentMassCrossSection(e)});
    }
  }
  return text;
}

std::string ScatterFunctionTable() {
  const ScatterGrid grid = DesignScatterGrid(kTableRows, kFirstScatterX, kLastScatterX,
                                             {WaterFormFactorSquared, WaterIncoherentFunction});
  std::string text;
  for (const double row : grid.x) {
    // The functions are evaluated at the rounded x that the file holds, not at the designed one.
    const double x = AsWritten(row);
    text += Record({x, std::sqrt(WaterFormFactorSquared(x)), WaterIncoherentFunction(x)});
  }
  return text;
}

std::string AirTable() {
  std::string text;
  for (int k = 1; k <= kLastBin; ++k) {
    const double e = kBinWidth * k;
    // Energy absorption from NIST (see nist_air.h), attenuation from xraylib, which agrees with
    // NIST's to 0.03 %. Below NIST's first energy (bin 1 only) its 1 keV value stands in.
    const double absorption = NistAirEnergyAbsorption(std::max(e, kNistAirTable[0].energy));
    text += Record({e, absorption, AirMassAttenuation(e)});
  }
  return text;
}

// The count of materials, then one record each: name, density, mass attenuation per bin.
std::string MaterialsTable() {
  std::string text = std::to_string(std::size(kMaterials)) + '\n';
  for (const MaterialSource& m : kMaterials) {
    text += m.name;
    text += ',' + Field(DensityOf(m));
    for (int k = 1; k <= kLastBin; ++k) text += ',' + Field(MassAttenuationOf(m, kBinWidth * k));
    text += '\n';
  }
  return text;
}

// The water shells (electrons, binding energy), then one row per pz: pz and each shell's profile.
std::string WaterComptonTable() {
  std::string text;
  for (int s = 0; s < kWaterComptonShells; ++s) {
    const WaterShell shell = WaterComptonShell(s);
    text += Record({shell.electrons, shell.binding_kev});
  }
  for (const double pz : MomentumGrid()) {
    text += Record({pz, WaterComptonProfile(0, pz), WaterComptonProfile(1, pz),
                    WaterComptonProfile(2, pz), WaterComptonProfile(3, pz)});
  }
  return text;
}

}  // namespace xscatter::tables
