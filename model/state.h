// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <filesystem>

#include <vector>

#include "model/grid.h"
#include "model/physical_tables.h"
#include "model/primary_model.h"

namespace xscatter {

class CommandPanel;

// The one calculation store of the program: the data tables, the spectra and the scalars that the
// commands share. The procedures take no data arguments; the box texts they need and the yields
// between steps go through the attached CommandPanel.
class Module1 {
 public:
  // Tables, filled once by LoadDataTables.
  GridArray MuTarget{};
  GridArray MuAl{};
  GridArray MuCu{};
  GridArray WaterCoherent{};
  GridArray WaterIncoherent{};
  TableArray ScatterX{};
  TableArray CoherentF{};
  TableArray IncoherentS{};

  // Spectra.
  GridArray PrimarySpectrum{};
  GridArray UnfilteredSpectrum{};
  // [1][i]: energy in keV of the photon scattered from bin i; [2][i]: its fluence; [0] unused.
  std::array<GridArray, 3> IncoherentSpectrum{};
  GridArray CoherentSpectrum{};

  double Pi = 0;
  double ScatterAngle = 0;
  double BinCount = 0;
  double CommonMaximum = 0;
  int ScatterSaved = 0;

  // The panel supplies the box texts and the yield hook; without one, texts read empty and yields
  // do nothing.
  void AttachPanel(CommandPanel* panel) { panel_ = panel; }
  CommandPanel* Panel() const { return panel_; }

  // Further filter layers for the primary model, behind the inherent, aluminium and copper ones;
  // none unless a tool sets them.
  void SetExtraFilters(std::vector<FilterLayer> filters) { extra_filters_ = std::move(filters); }

  // The eight table arrays as the engine takes them.
  PhysicalTables Tables() const;

  // Folder that holds Data/ and receives the spectrum files: the current directory unless a test
  // points it elsewhere.
  void SetWorkingFolder(std::filesystem::path folder) { folder_ = std::move(folder); }
  const std::filesystem::path& WorkingFolder() const { return folder_; }
  // Folder the tables are read from: WorkingFolder() / "Data" unless set to another one.
  void SetDataFolder(std::filesystem::path folder) { data_folder_ = std::move(folder); }
  std::filesystem::path DataFolder() const {
    return data_folder_.empty() ? folder_ / "Data" : data_folder_;
  }

  // Reads the tables from DataFolder(). Throws TableError; on failure no table array or Pi has
  // changed.
  void LoadDataTables();
  // Throws ModelError when the conditions give no finite spectrum; the spectra are then unchanged.
  void ComputePrimarySpectrum();
  // Both throw ScatterModelError; they leave the spectra partly computed, as the caller restores.
  void ComputeIncoherentSpectrum();
  void ComputeCoherentSpectrum();
  // Both throw FileWriteError and FolderLockError; they wait while another writer holds the
  // working folder's lock, and an existing file is replaced only by a complete new one.
  void WritePrimarySpectrumFile() const;
  void WriteScatterSpectrumFiles() const;

 private:
  void YieldToUi() const;

  CommandPanel* panel_ = nullptr;
  std::vector<FilterLayer> extra_filters_;
  std::filesystem::path folder_ = ".";
  std::filesystem::path data_folder_;  // empty: WorkingFolder() / "Data"
};

}  // namespace xscatter
