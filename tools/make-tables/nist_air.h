// SPDX-License-Identifier: MIT
#pragma once

// The mass energy-absorption coefficient of dry air near sea level, from the NIST tables rather
// than from xraylib: xraylib 4.0.0's CS_Energy for air lies 6 to 34 % below them between 15 and
// 60 keV (below its own photoelectric coefficient from 15 to 40 keV), which would underweight the
// soft part of every air-kerma-weighted figure.
namespace xscatter::tables {

// One row of the NIST table: energy in keV, mu/rho and mu_en/rho in cm2/g.
struct NistAirRow {
  double energy;
  double mu_rho;
  double mu_en_rho;
};

// J. H. Hubbell and S. M. Seltzer, Tables of X-Ray Mass Attenuation Coefficients and Mass
// Energy-Absorption Coefficients, NIST Standard Reference Database 126, "Air, Dry (Near Sea
// Level)", from 1 to 200 keV. The argon K edge at 3.2029 keV has two rows, below and above it.
inline constexpr NistAirRow kNistAirTable[] = {
    {1.0, 3.606E+03, 3.599E+03},   {1.5, 1.191E+03, 1.188E+03},    {2.0, 5.279E+02, 5.262E+02},
    {3.0, 1.625E+02, 1.614E+02},   {3.2029, 1.340E+02, 1.330E+02}, {3.2029, 1.485E+02, 1.460E+02},
    {4.0, 7.788E+01, 7.636E+01},   {5.0, 4.027E+01, 3.931E+01},    {6.0, 2.341E+01, 2.270E+01},
    {8.0, 9.921E+00, 9.446E+00},   {10.0, 5.120E+00, 4.742E+00},   {15.0, 1.614E+00, 1.334E+00},
    {20.0, 7.779E-01, 5.389E-01},  {30.0, 3.538E-01, 1.537E-01},   {40.0, 2.485E-01, 6.833E-02},
    {50.0, 2.080E-01, 4.098E-02},  {60.0, 1.875E-01, 3.041E-02},   {80.0, 1.662E-01, 2.407E-02},
    {100.0, 1.541E-01, 2.325E-02}, {150.0, 1.356E-01, 2.496E-02},  {200.0, 1.233E-01, 2.672E-02},
};

// mu_en/rho of dry air at e keV, 1 <= e <= 200: the table's value at a tabulated energy, else
// linear in ln(mu_en/rho) against ln(E) between the neighbouring rows. At the argon K edge itself
// the value above the edge applies (a photon of exactly the binding energy can free a K electron);
// the two edge rows are never joined. Throws std::out_of_range outside the table.
double NistAirEnergyAbsorption(double e);

}  // namespace xscatter::tables
