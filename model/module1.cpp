// SPDX-License-Identifier: MIT
#include <algorithm>

#include "app/entries.h"
#include "app/file_set.h"
#include "model/command_panel.h"
#include "model/primary_model.h"
#include "model/scatter_models.h"
#include "model/state.h"

// The store's procedures: each reads its inputs from the boxes or the store, runs the engine and
// puts the result into the store's arrays.
namespace xscatter {
namespace {

double BoxNumber(const CommandPanel* panel, ConditionBox box) {
  return panel ? ReadBoxNumber(panel->ConditionText(box)) : 0.0;
}

}  // namespace

void Module1::LoadDataTables() {
  const PhysicalTables tables = LoadPhysicalTables(DataFolder());
  std::copy(tables.mu_target.begin() + 1, tables.mu_target.end(), MuTarget.begin() + 1);
  std::copy(tables.mu_al.begin() + 1, tables.mu_al.end(), MuAl.begin() + 1);
  std::copy(tables.mu_cu.begin() + 1, tables.mu_cu.end(), MuCu.begin() + 1);
  std::copy(tables.water_coherent.begin() + 1, tables.water_coherent.end(),
            WaterCoherent.begin() + 1);
  std::copy(tables.water_incoherent.begin() + 1, tables.water_incoherent.end(),
            WaterIncoherent.begin() + 1);
  std::copy(tables.scatter_x.begin() + 1, tables.scatter_x.end(), ScatterX.begin() + 1);
  std::copy(tables.coherent_f.begin() + 1, tables.coherent_f.end(), CoherentF.begin() + 1);
  std::copy(tables.incoherent_s.begin() + 1, tables.incoherent_s.end(), IncoherentS.begin() + 1);
  Pi = kProgramPi;
}

PhysicalTables Module1::Tables() const {
  return {MuTarget, MuAl, MuCu, WaterCoherent, WaterIncoherent, ScatterX, CoherentF, IncoherentS};
}

void Module1::ComputePrimarySpectrum() {
  const ExposureConditions conditions{
      BoxNumber(panel_, ConditionBox::TubeVoltage),
      BoxNumber(panel_, ConditionBox::TargetAngle),
      BoxNumber(panel_, ConditionBox::InherentFiltration),
      BoxNumber(panel_, ConditionBox::AddedAluminium),
      BoxNumber(panel_, ConditionBox::AddedCopper),
  };
  const PrimaryResult result = ComputePrimary(Tables(), conditions, extra_filters_);
  for (int i = 1; i <= kLastBin; ++i) PrimarySpectrum[i] = result.spectrum[i];
  // Bins outside 2..N keep whatever an earlier run left in the unfiltered spectrum.
  for (int i = 2; i <= result.bin_count; ++i) UnfilteredSpectrum[i] = result.unfiltered[i];
}

void Module1::ComputeIncoherentSpectrum() {
  ScatterResult result;
  ComputeIncoherentScatter(Tables(), PrimarySpectrum, ScatterAngle, result,
                           [this] { YieldToUi(); });
  for (int i = 1; i <= kLastBin; ++i) {
    if (result.energy[i] == 0) continue;
    IncoherentSpectrum[1][i] = result.energy[i];
    IncoherentSpectrum[2][i] = result.incoherent[i];
  }
}

void Module1::ComputeCoherentSpectrum() {
  ScatterResult result;
  ComputeCoherentScatter(Tables(), PrimarySpectrum, ScatterAngle, result);
  for (int i = kFirstScatterBin; i <= kLastBin; ++i) {
    if (PrimarySpectrum[i] != 0) CoherentSpectrum[i] = result.coherent[i];
  }
}

void Module1::WritePrimarySpectrumFile() const {
  WriteFileSet(folder_, PrimaryFileSet(PrimarySpectrum));
}

void Module1::WriteScatterSpectrumFiles() const {
  WriteFileSet(folder_,
               ScatterFileSet(IncoherentSpectrum[1], IncoherentSpectrum[2], CoherentSpectrum));
}

void Module1::YieldToUi() const {
  if (panel_) panel_->Yield();
}

}  // namespace xscatter
