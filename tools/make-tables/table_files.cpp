#include "table_files.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <stdexcept>

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

// The value exactly as the program will read it back from the file.
double AsWritten(double value) { return std::strtod(Field(value).c_str(), nullptr); }

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
  for (int k = 1; k <= kBins; ++k) {
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
  for (int k = 1; k <= kBins; ++k) {
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
  const ScatterGrid grid = DesignScatterGrid(kScatterRows, kFirstScatterX, kLastScatterX,
                                             {WaterFormFactorSquared, WaterIncoherentFunction});
  std::string text;
  for (const double row : grid.x) {
    // The functions are evaluated at the rounded x that the file holds, not at the designed one.
    const double x = AsWritten(row);
    text += Record({x, std::sqrt(WaterFormFactorSquared(x)), WaterIncoherentFunction(x)});
  }
  return text;
}

}  // namespace xscatter::tables
