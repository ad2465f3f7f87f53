// SPDX-License-Identifier: MIT
#pragma once

#include <stdexcept>
#include <string>

// The physical data the tables are made from, all taken from xraylib. Every call checks xraylib's
// error report and throws PhysicsLibraryError instead of returning a meaningless value.
namespace xscatter::tables {

class PhysicsLibraryError : public std::runtime_error {
  using std::runtime_error::runtime_error;
};

inline constexpr int kHydrogen = 1;
inline constexpr int kBeryllium = 4;
inline constexpr int kCarbon = 6;
inline constexpr int kOxygen = 8;
inline constexpr int kAluminium = 13;
inline constexpr int kTitanium = 22;
inline constexpr int kCopper = 29;
inline constexpr int kMolybdenum = 42;
inline constexpr int kTin = 50;
inline constexpr int kTungsten = 74;
inline constexpr int kLead = 82;

// Compounds by their names in xraylib's NIST list (GetCompoundDataNISTList), spelling included.
inline constexpr const char* kNistAir = "Air, Dry (near sea level)";
inline constexpr const char* kNistWater = "Water, Liquid";
inline constexpr const char* kNistPmma = "Polymethyl Methacralate (Lucite, Perspex)";
inline constexpr const char* kNistSoftTissue = "Tissue, Soft (ICRU four-component)";

// Densities in g/cm3 that turn mass into linear coefficients; fixed here so that the tables do not
// change with the library's density table.
inline constexpr double kTungstenDensity = 19.3;
inline constexpr double kAluminiumDensity = 2.699;
inline constexpr double kCopperDensity = 8.96;

// Classical electron radius squared over two, cm2/sr: the Thomson and Klein-Nishina prefactor.
inline constexpr double kHalfElectronRadiusSquared = 3.970394e-26;

// "4.0.0": the version of the library the program is linked against.
std::string LibraryVersion();

// Total attenuation including coherent scattering, cm2/g, at e keV.
double TotalMassAttenuation(int z, double e);

// Angle-integrated coherent and incoherent mass cross-sections of H2O, cm2/g.
double WaterCoherentMassCrossSection(double e);
double WaterIncoherentMassCrossSection(double e);

// Molecular coherent factor F^2 = 2 F_H^2 + F_O^2 and incoherent function S = 2 S_H + S_O of water
// in the independent-atom approximation, at x = sin(theta/2)/lambda in 1/Angstrom.
double WaterFormFactorSquared(double x);
double WaterIncoherentFunction(double x);

// A NIST compound: total mass attenuation including coherent scattering, cm2/g, at e keV, and its
// density in g/cm3.
double CompoundMassAttenuation(const char* nist_name, double e);
double CompoundDensity(const char* nist_name);

// Dry air near sea level: total mass attenuation, cm2/g, and density.
double AirMassAttenuation(double e);
double AirDensity();

// Library density of an element, g/cm3.
double ElementDensityOf(int z);

// The shells of the water molecule that scatter incoherently, in the order of WaterCompton.csv:
// H 1s (both atoms), O 1s, O 2s, O 2p. O 2p joins the library's L2 and L3 subshells.
inline constexpr int kWaterComptonShells = 4;
struct WaterShell {
  double electrons;    // per molecule
  double binding_kev;  // the subshells' lowest edge energy
};
WaterShell WaterComptonShell(int shell);
// The shell's Compton profile per electron at pz (atomic units): the subshells' profiles
// weighted by their electrons.
double WaterComptonProfile(int shell, double pz);

}  // namespace xscatter::tables
