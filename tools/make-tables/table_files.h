// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "model/grid.h"

namespace xscatter::tables {

// The scatter models reach x = sin(2.5 deg)*8/12.4 at the least and sin(87.5 deg)*150/12.4 at the
// most; the table brackets both with a margin.
inline constexpr double kFirstScatterX = 0.0275;
inline constexpr double kLastScatterX = 12.3;

enum class WaterWeights {
  Constant,       // r_e^2/2 in both columns: the models already hold all the energy dependence
  CrossSections,  // the angle-integrated coherent and incoherent mass cross-sections of H2O
};

// The complete text of each file, one record per line, comma-separated, LF line ends.
std::string AttenuationTable();                   // Mus.dat
std::string WaterWeightTable(WaterWeights kind);  // Water.csv
std::string ScatterFunctionTable();               // Water.xfs
std::string AirTable();                           // Air.csv
std::string MaterialsTable();                     // Materials.csv
std::string WaterComptonTable();                  // WaterCompton.csv

// One field as the program reads it: seven significant digits, exponent with E.
std::string Field(double value);

}  // namespace xscatter::tables
