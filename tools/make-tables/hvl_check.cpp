// hvl-check: the first half-value layer, in mm aluminium, of the program's primary spectrum for a
// 20 degree tungsten target with 2.5 mm Al inherent filtration, against published measurements.
// Run it in the working folder that holds Data/, or pass that folder.

#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <string>

#include "model/commands.h"
#include "model/state.h"
#include "model/text_panel.h"
#include "physics_library.h"

namespace {

using xscatter::ConditionBox;
using xscatter::Module1;
using namespace xscatter::tables;

struct Measurement {
  double kv;
  double hvl_mm_al;
};

// First HVLs measured for a 20 degree tungsten target, 2.5 mm Al, about 1 mm Be and 95 cm of air.
constexpr Measurement kMeasured[] = {
    {40, 1.36}, {60, 2.02}, {80, 2.59}, {100, 3.23}, {120, 3.88}, {150, 5.01},
};

constexpr double kTargetAngle = 20;
constexpr double kInherentAl = 2.5;  // mm
constexpr double kBerylliumCm = 0.1;
constexpr double kAirCm = 95;

// A warning or an error means the conditions were not usable, so both stop the check.
class ThrowingPanel : public xscatter::TextPanel {
 public:
  void Warn(const std::string& text) override { throw std::runtime_error(text); }
  void ReportError(const std::string& text) override { throw std::runtime_error(text); }
};

std::string Text(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", value);
  return text;
}

void Compute(Module1& m, ThrowingPanel& panel, double kv, double inherent_mm) {
  panel.SetConditionText(ConditionBox::TubeVoltage, Text(kv));
  panel.SetConditionText(ConditionBox::TargetAngle, Text(kTargetAngle));
  panel.SetConditionText(ConditionBox::InherentFiltration, Text(inherent_mm));
  panel.SetConditionText(ConditionBox::AddedAluminium, "0");
  panel.SetConditionText(ConditionBox::AddedCopper, "0");
  if (xscatter::RunCalculateCommand(m) != xscatter::CommandStatus::Completed) {
    throw std::runtime_error("the primary spectrum at " + Text(kv) + " kV was not computed");
  }
}

// Air kerma of the current spectrum, in arbitrary units, after a further attenuation
// exp(-exponent(i)) of bin i: fluence times energy times the air energy-absorption coefficient.
double AirKerma(const Module1& m, const std::function<double(int)>& exponent) {
  double kerma = 0;
  for (int i = 1; i <= static_cast<int>(m.BinCount); ++i) {
    if (m.PrimarySpectrum[i] == 0) continue;
    const double e = 0.5 * i;
    kerma += m.PrimarySpectrum[i] * e * AirEnergyAbsorption(e) * std::exp(-exponent(i));
  }
  return kerma;
}

// Aluminium thickness in cm that brings the air kerma down to `wanted`, by bisection.
double AluminiumFor(const Module1& m, double wanted) {
  double thin = 0;
  double thick = 10;
  for (int step = 0; step < 60; ++step) {
    const double mid = 0.5 * (thin + thick);
    const double kerma = AirKerma(m, [&](int i) { return m.MuAl[i] * mid; });
    (kerma > wanted ? thin : thick) = mid;
  }
  return 0.5 * (thin + thick);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2) {
    std::fprintf(stderr, "usage: hvl-check [WORKING_FOLDER]\n");
    return 2;
  }
  try {
    Module1 m;
    ThrowingPanel panel;
    m.SetWorkingFolder(argc == 2 ? std::filesystem::path(argv[1]) : std::filesystem::path("."));
    m.AttachPanel(&panel);
    m.LoadDataTables();

    const double be_density = ElementDensityOf(kBeryllium);
    const double air_density = AirDensity();
    std::printf(
        "| kV | Be + air as Al (mm) | measured HVL (mm Al) | computed HVL (mm Al) | "
        "difference |\n");
    std::printf("|---:|---:|---:|---:|---:|\n");
    for (const Measurement& measured : kMeasured) {
      // Fold the beryllium window and the air path into the inherent filtration as the aluminium
      // thickness that absorbs the same air kerma from this beam.
      Compute(m, panel, measured.kv, kInherentAl);
      const double behind_be_air = AirKerma(m, [&](int i) {
        const double e = 0.5 * i;
        return TotalMassAttenuation(kBeryllium, e) * be_density * kBerylliumCm +
               AirMassAttenuation(e) * air_density * kAirCm;
      });
      const double equivalent_mm = 10 * AluminiumFor(m, behind_be_air);

      Compute(m, panel, measured.kv, kInherentAl + equivalent_mm);
      const double hvl_mm = 10 * AluminiumFor(m, 0.5 * AirKerma(m, [](int) { return 0.0; }));
      std::printf("| %.0f | %.3f | %.2f | %.2f | %+.1f %% |\n", measured.kv, equivalent_mm,
                  measured.hvl_mm_al, hvl_mm, 100 * (hvl_mm / measured.hvl_mm_al - 1));
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "hvl-check: %s\n", error.what());
    return 1;
  }
  return 0;
}
