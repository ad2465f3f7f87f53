// SPDX-License-Identifier: MIT
#include "physics_library.h"

#include <xraylib.h>

#include <memory>
#include <stdexcept>

namespace xscatter::tables {
namespace {

struct ErrorFree {
  void operator()(xrl_error* error) const { xrl_error_free(error); }
};

std::string Describe(int z) { return "Z=" + std::to_string(z); }
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

}  // namespace xscatter::tables
