#include "tests/tables/shipped_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "model/commands.h"
#include "model/errors.h"
#include "model/state.h"

namespace xscatter::tables_test {
namespace {

class ShippedTables : public ::testing::Test {
 protected:
  void SetUp() override {
    m.SetWorkingFolder(folder.WithShippedTables());
    ASSERT_NO_THROW(m.LoadDataTables());
  }
  ScratchFolder folder;
  Module1 m;
};

TEST_F(ShippedTables, LoadAndSetPi) { EXPECT_EQ(m.Pi, 3.14159); }

TEST_F(ShippedTables, EveryTabulatedValueIsFiniteAndPositive) {
  const struct {
    const char* name;
    const GridArray& values;
  } grids[] = {{"MuTarget", m.MuTarget},
               {"MuAl", m.MuAl},
               {"MuCu", m.MuCu},
               {"WaterCoherent", m.WaterCoherent},
               {"WaterIncoherent", m.WaterIncoherent}};
  for (const auto& grid : grids) {
    for (int k = 1; k <= kLastBin; ++k) {
      EXPECT_TRUE(std::isfinite(grid.values[k]) && grid.values[k] > 0)
          << grid.name << "(" << k << ") = " << grid.values[k];
    }
  }
  const struct {
    const char* name;
    const TableArray& values;
  } rows[] = {{"ScatterX", m.ScatterX}, {"CoherentF", m.CoherentF}, {"IncoherentS", m.IncoherentS}};
  for (const auto& column : rows) {
    for (int k = 1; k <= kTableRows; ++k) {
      EXPECT_TRUE(std::isfinite(column.values[k]) && column.values[k] > 0)
          << column.name << "(" << k << ") = " << column.values[k];
    }
  }
}

TEST_F(ShippedTables, ScatterXAscendsAndBracketsEveryModelX) {
  for (int k = 2; k <= kTableRows; ++k) {
    EXPECT_GT(m.ScatterX[k], m.ScatterX[k - 1]) << "row " << k;
  }
  EXPECT_LT(m.ScatterX[1], kSmallestModelX);
  EXPECT_GT(m.ScatterX[kTableRows], kLargestModelX);
}

TEST_F(ShippedTables, ScatterFunctionsHaveTheirPhysicalShape) {
  // Coherent factor falls and incoherent function rises with x; S tends to the ten electrons of
  // the molecule, F^2 at small x to 2*1 + 8*8 = 66 without interference between the atoms.
  for (int k = 2; k <= kTableRows; ++k) {
    EXPECT_LT(m.CoherentF[k], m.CoherentF[k - 1]) << "row " << k;
    EXPECT_GE(m.IncoherentS[k], m.IncoherentS[k - 1]) << "row " << k;
  }
  EXPECT_NEAR(m.IncoherentS[kTableRows], 10.0, 1e-3);
  const double f2_first = m.CoherentF[1] * m.CoherentF[1];
  EXPECT_GT(f2_first, 63.0);
  EXPECT_LT(f2_first, 66.0);
}

TEST_F(ShippedTables, WaterWeightsAreTheThomsonPrefactor) {
  // r_e^2 / 2 with r_e = 2.8179403262E-13 cm, rounded to the seven digits the file holds.
  for (int k = 1; k <= kLastBin; ++k) {
    EXPECT_EQ(m.WaterCoherent[k], 3.970394e-26) << "bin " << k;
    EXPECT_EQ(m.WaterIncoherent[k], 3.970394e-26) << "bin " << k;
  }
}

TEST_F(ShippedTables, LinearAttenuationMatchesTheNistTables) {
  // Mass attenuation with coherent scattering from the NIST X-ray attenuation tables (Hubbell and
  // Seltzer), times the densities 19.3, 2.699 and 8.96.
  const struct {
    const char* element;
    const GridArray& linear;
    double density;
    double kev;
    double nist_mass;
  } cases[] = {
      {"W", m.MuTarget, 19.3, 20, 65.73},  {"W", m.MuTarget, 19.3, 50, 5.949},
      {"W", m.MuTarget, 19.3, 60, 3.713},  {"W", m.MuTarget, 19.3, 80, 7.810},
      {"W", m.MuTarget, 19.3, 100, 4.438}, {"W", m.MuTarget, 19.3, 150, 1.581},
      {"Al", m.MuAl, 2.699, 20, 3.441},    {"Al", m.MuAl, 2.699, 30, 1.128},
      {"Al", m.MuAl, 2.699, 50, 0.3681},   {"Al", m.MuAl, 2.699, 100, 0.1704},
      {"Al", m.MuAl, 2.699, 150, 0.1378},  {"Cu", m.MuCu, 8.96, 10, 215.9},
      {"Cu", m.MuCu, 8.96, 20, 33.79},     {"Cu", m.MuCu, 8.96, 50, 2.613},
      {"Cu", m.MuCu, 8.96, 100, 0.4584},   {"Cu", m.MuCu, 8.96, 150, 0.2217},
  };
  for (const auto& c : cases) {
    const int bin = static_cast<int>(std::lround(2 * c.kev));
    const double expected = c.nist_mass * c.density;
    EXPECT_NEAR(c.linear[bin], expected, 0.005 * expected)
        << c.element << " at " << c.kev << " keV";
  }
}

TEST_F(ShippedTables, AbsorptionEdgesFallInTheirBins) {
  // Each edge lies inside the half-keV bin named here: the coefficient jumps up from the bin below,
  // and falls from bin to bin everywhere else above the lowest bin checked.
  const struct {
    const char* element;
    const GridArray& linear;
    int first_checked_bin;
    std::set<int> edge_bins;
  } elements[] = {
      // W M edges end at 2.82 keV; L3 10.207, L2 11.544, L1 12.100, K 69.525 keV.
      {"W", m.MuTarget, 7, {21, 24, 25, 140}},
      // Al K 1.560 keV.
      {"Al", m.MuAl, 2, {4}},
      // Cu L1 1.096 keV, K 8.979 keV.
      {"Cu", m.MuCu, 4, {18}},
  };
  for (const auto& e : elements) {
    for (int k = e.first_checked_bin; k <= kLastBin; ++k) {
      if (e.edge_bins.count(k)) {
        EXPECT_GT(e.linear[k], 1.02 * e.linear[k - 1]) << e.element << ": no edge at bin " << k;
      } else {
        EXPECT_LT(e.linear[k], e.linear[k - 1]) << e.element << ": rise at bin " << k;
      }
    }
  }
  EXPECT_GT(m.MuTarget[140], 4 * m.MuTarget[139]) << "K edge of tungsten";
}

void SetConditions(ConditionsPanel& panel, const char* kv) {
  panel.SetConditionText(ConditionBox::TubeVoltage, kv);
  panel.SetConditionText(ConditionBox::TargetAngle, "12");
  panel.SetConditionText(ConditionBox::InherentFiltration, "2.5");
  panel.SetConditionText(ConditionBox::AddedAluminium, "0");
  panel.SetConditionText(ConditionBox::AddedCopper, "0");
}

TEST_F(ShippedTables, ScatterModelsStayInsideTheTablesAtTheExtremeAngles) {
  // 150 kV fills every bin up to 150 keV, so 5 and 175 degrees reach the smallest and the largest
  // x of all; the calculation must complete with finite, non-negative spectra.
  ConditionsPanel panel;
  SetConditions(panel, "150");
  m.AttachPanel(&panel);
  ASSERT_EQ(RunCalculateCommand(m), CommandStatus::Completed);
  for (const char* angle : {"5", "90", "175"}) {
    panel.SetAngleText(angle);
    ASSERT_EQ(RunScatterCommand(m), CommandStatus::Completed) << angle << " degrees";
    EXPECT_TRUE(std::isfinite(m.CommonMaximum) && m.CommonMaximum > 0) << angle << " degrees";
    for (int i = 16; i <= kLastBin; ++i) {
      EXPECT_TRUE(std::isfinite(m.CoherentSpectrum[i]) && m.CoherentSpectrum[i] >= 0)
          << angle << " degrees, bin " << i;
      EXPECT_TRUE(std::isfinite(m.IncoherentSpectrum[2][i]) && m.IncoherentSpectrum[2][i] >= 0)
          << angle << " degrees, bin " << i;
    }
  }
}

TEST_F(ShippedTables, DefaultRunAt100kVShowsTheLinesAndTheKEdge) {
  ConditionsPanel panel;
  SetConditions(panel, "100");
  m.AttachPanel(&panel);
  ASSERT_EQ(RunCalculateCommand(m), CommandStatus::Completed);
  ASSERT_EQ(m.BinCount, 200);
  const GridArray& p = m.PrimarySpectrum;

  // K-alpha2, K-alpha1, K-beta1 and K-beta2 lines stand out; K-alpha1 is the highest bin.
  for (const int line : {116, 119, 134, 138}) {
    EXPECT_GT(p[line], 1.2 * p[line - 1]) << "line bin " << line;
    EXPECT_GT(p[line], 1.2 * p[line + 1]) << "line bin " << line;
  }
  EXPECT_EQ(p[119], 1.0);

  // Self-absorption in the target steps up at the tungsten K edge (69.525 keV): the fluence drops
  // sharply from 69.5 to 70 keV, and falls in small steps everywhere else from 50 keV to the tube
  // voltage.
  EXPECT_GT(p[139] - p[140], 0.02);
  const std::set<int> lines_and_edge = {116, 117, 119, 120, 134, 135, 138, 139, 140};
  for (int i = 101; i <= 200; ++i) {
    if (lines_and_edge.count(i)) continue;
    EXPECT_LT(p[i], p[i - 1]) << "bin " << i;
    EXPECT_LT(p[i - 1] - p[i], 0.008) << "bin " << i;
  }
}

}  // namespace
}  // namespace xscatter::tables_test
