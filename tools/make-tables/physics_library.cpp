// SPDX-License-Identifier: MIT
#include "physics_library.h"

#include <xraylib.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

namespace xscatter::tables {
namespace {

struct ErrorFree {
  void operator()(xrl_error* error) const { xrl_error_free(error); }
};

std::string Describe(int z) { return "Z=" + std::to_string(z); }
std::string Describe(std::pair<int, int> z_shell) {
  return "Z=" + std::to_string(z_shell.first) + ", shell " + std::to_string(z_shell.second);
}
std::string Describe(const char* compound) { return compound; }

// Runs one xraylib call and throws with the library's message and the call's arguments if it
// reported an error.
template <typename Subject, typename Call>
double Checked(const char* function, Subject subject, double argument, Call call) {
  xrl_error* raw = nullptr;
  const double value = call(&raw);
  const std::unique_ptr<xrl_error, ErrorFree> error(raw);
  if (error) {
    throw PhysicsLibraryError(std::string("xraylib: ") + function + "(" + Describe(subject) + ", " +
                              std::to_string(argument) + "): " + error->message);
  }
  return value;
}

// A shell of the water molecule: `atoms` atoms of element z, each with the library's subshells
// `subshells` (xraylib shell numbers).
struct WaterShellSource {
  int z;
  int atoms;
  std::vector<int> subshells;
};

const WaterShellSource& WaterShellOf(int shell) {
  static const WaterShellSource kShells[kWaterComptonShells] = {
      {kHydrogen, 2, {K_SHELL}},
      {kOxygen, 1, {K_SHELL}},
      {kOxygen, 1, {L1_SHELL}},
      {kOxygen, 1, {L2_SHELL, L3_SHELL}},
  };
  if (shell < 0 || shell >= kWaterComptonShells) {
    throw PhysicsLibraryError("no water shell " + std::to_string(shell));
  }
  return kShells[shell];
}

double SubshellElectrons(int z, int subshell) {
  return Checked("ElectronConfig", std::pair{z, subshell}, 0,
                 [&](xrl_error** err) { return ElectronConfig(z, subshell, err); });
}

}  // namespace

std::string LibraryVersion() {
  return std::to_string(XRAYLIB_MAJOR) + "." + std::to_string(XRAYLIB_MINOR) + "." +
         std::to_string(XRAYLIB_MICRO);
}

double TotalMassAttenuation(int z, double e) {
  return Checked("CS_Total", z, e, [&](xrl_error** err) { return CS_Total(z, e, err); });
}

double WaterCoherentMassCrossSection(double e) {
  return Checked("CS_Rayl_CP", "H2O", e,
                 [&](xrl_error** err) { return CS_Rayl_CP("H2O", e, err); });
}

double WaterIncoherentMassCrossSection(double e) {
  return Checked("CS_Compt_CP", "H2O", e,
                 [&](xrl_error** err) { return CS_Compt_CP("H2O", e, err); });
}

double WaterFormFactorSquared(double x) {
  const double h =
      Checked("FF_Rayl", kHydrogen, x, [&](xrl_error** err) { return FF_Rayl(kHydrogen, x, err); });
  const double o =
      Checked("FF_Rayl", kOxygen, x, [&](xrl_error** err) { return FF_Rayl(kOxygen, x, err); });
  return 2 * h * h + o * o;
}

double WaterIncoherentFunction(double x) {
  const double h = Checked("SF_Compt", kHydrogen, x,
                           [&](xrl_error** err) { return SF_Compt(kHydrogen, x, err); });
  const double o =
      Checked("SF_Compt", kOxygen, x, [&](xrl_error** err) { return SF_Compt(kOxygen, x, err); });
  return 2 * h + o;
}

double CompoundMassAttenuation(const char* nist_name, double e) {
  return Checked("CS_Total_CP", nist_name, e,
                 [&](xrl_error** err) { return CS_Total_CP(nist_name, e, err); });
}

double CompoundDensity(const char* nist_name) {
  xrl_error* raw = nullptr;
  compoundDataNIST* data = GetCompoundDataNISTByName(nist_name, &raw);
  const std::unique_ptr<xrl_error, ErrorFree> error(raw);
  if (error || data == nullptr) {
    throw PhysicsLibraryError(std::string("xraylib: no NIST compound ") + nist_name +
                              (error ? std::string(": ") + error->message : std::string()));
  }
  const double density = data->density;
  FreeCompoundDataNIST(data);
  return density;
}

double AirMassAttenuation(double e) { return CompoundMassAttenuation(kNistAir, e); }

double AirDensity() { return CompoundDensity(kNistAir); }

double ElementDensityOf(int z) {
  return Checked("ElementDensity", z, 0, [&](xrl_error** err) { return ElementDensity(z, err); });
}

WaterShell WaterComptonShell(int shell) {
  const WaterShellSource& source = WaterShellOf(shell);
  WaterShell result{0, 0};
  bool first = true;
  for (const int subshell : source.subshells) {
    result.electrons += source.atoms * SubshellElectrons(source.z, subshell);
    const double edge =
        Checked("EdgeEnergy", std::pair{source.z, subshell}, 0,
                [&](xrl_error** err) { return EdgeEnergy(source.z, subshell, err); });
    result.binding_kev = first ? edge : std::min(result.binding_kev, edge);
    first = false;
  }
  return result;
}

double WaterComptonProfile(int shell, double pz) {
  const WaterShellSource& source = WaterShellOf(shell);
  double weighted = 0, electrons = 0;
  for (const int subshell : source.subshells) {
    const double n = SubshellElectrons(source.z, subshell);
    weighted += n * Checked("ComptonProfile_Partial", std::pair{source.z, subshell}, pz,
                            [&](xrl_error** err) {
                              return ComptonProfile_Partial(source.z, subshell, pz, err);
                            });
    electrons += n;
  }
  return weighted / electrons;
}

}  // namespace xscatter::tables
