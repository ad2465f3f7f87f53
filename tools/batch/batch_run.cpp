// SPDX-License-Identifier: MIT
#include "tools/batch/batch_run.h"

#include <array>
#include <cstdio>
#include <exception>
#include <map>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "model/air_table.h"
#include "model/beam_quality.h"
#include "model/commands.h"
#include "model/errors.h"
#include "model/foreign_spectrum.h"
#include "model/lenient_number.h"
#include "model/materials.h"
#include "model/scatter_models.h"
#include "model/state.h"
#include "model/table_messages.h"
#include "model/text_panel.h"
#include "output/charts.h"
#include "output/folder_lock.h"
#include "output/number_format.h"
#include "output/replace_files.h"
#include "output/spectrum_files.h"
#include "tools/batch/report.h"

namespace xscatter::batch {
namespace {

namespace fs = std::filesystem;

constexpr ConditionBox kBoxes[] = {ConditionBox::TubeVoltage, ConditionBox::TargetAngle,
                                   ConditionBox::InherentFiltration, ConditionBox::AddedAluminium,
                                   ConditionBox::AddedCopper};

// Stands in for the screens: the boxes hold the run's texts; messages are kept for the caller.
class BatchPanel : public TextPanel {
 public:
  void Warn(const std::string& text) override { message_ = text; }
  void ReportError(const std::string& text) override { message_ = text; }
  std::string TakeMessage() { return std::exchange(message_, std::string()); }

 private:
  std::string message_;
};

using BoxTexts = std::map<ConditionBox, std::string>;

// The box texts of one run: the screens' defaults, the plain options, then the swept values.
struct RunTexts {
  BoxTexts boxes;
  std::optional<std::string> angle;
};

std::vector<RunTexts> ExpandRuns(const BatchOptions& options) {
  RunTexts base;
  base.boxes = TextPanel().boxes;
  for (const auto& [box, text] : options.boxes) base.boxes[box] = text;
  base.angle = options.angle;
  std::vector<RunTexts> runs;
  for (const std::vector<std::size_t>& combination : Combinations(options.sweeps)) {
    RunTexts run = base;
    for (std::size_t s = 0; s < options.sweeps.size(); ++s) {
      const Sweep& sweep = options.sweeps[s];
      const std::string text = ShortestText(sweep.values[combination[s]]);
      if (sweep.box) {
        run.boxes[*sweep.box] = text;
      } else {
        run.angle = text;
      }
    }
    runs.push_back(std::move(run));
  }
  return runs;
}

ExposureConditions ConditionsOf(const BoxTexts& boxes) {
  return {ReadBoxNumber(boxes.at(ConditionBox::TubeVoltage)),
          ReadBoxNumber(boxes.at(ConditionBox::TargetAngle)),
          ReadBoxNumber(boxes.at(ConditionBox::InherentFiltration)),
          ReadBoxNumber(boxes.at(ConditionBox::AddedAluminium)),
          ReadBoxNumber(boxes.at(ConditionBox::AddedCopper))};
}

std::string RunFolderName(int run) {
  char name[16];
  std::snprintf(name, sizeof name, "%04d", run);
  return name;
}

class Batch {
 public:
  Batch(const BatchOptions& options, const BatchFolders& folders, Picture* picture,
        std::ostream& out, std::ostream& err)
      : options_(options), folders_(folders), picture_(picture), out_(out), err_(err) {}

  int Run();

 private:
  bool LoadTables();
  bool UseFilters();
  bool UseForeignPrimary();
  RunRecord RunOne(int run, const RunTexts& texts);
  // True for a completed command; otherwise the run takes the command's message as its status.
  bool Completed(CommandStatus status, RunRecord& record);
  // The figures of the primary spectrum in the store, when a report asks for them; `run` prefixes
  // the note when there are none.
  void MeasurePrimary(const std::string& run);
  bool ComputePrimary(const RunTexts& texts, RunRecord& record);
  void ComputeScatter(const std::string& angle, RunRecord& record);
  bool WriteRunFiles(int run, const fs::path& folder);
  void Report(const std::vector<RunRecord>& records) const;

  fs::path RunFolder(int run) const {
    return options_.spectra_dir ? *options_.spectra_dir / RunFolderName(run) : folders_.working;
  }
  std::string Tell(const std::string& text) const { return "xscatter-batch: " + text; }

  const BatchOptions& options_;
  const BatchFolders& folders_;
  Picture* picture_;
  std::ostream& out_;
  std::ostream& err_;

  Module1 m_;
  BatchPanel panel_;
  std::optional<AirTable> air_;
  // The texts of the last calculation when it was the last command to run: the same texts give
  // the same spectrum, so a sweep over the angle computes the primary spectrum once.
  std::optional<BoxTexts> computed_texts_;
  std::optional<PrimaryQuality> primary_quality_;
  std::vector<std::pair<std::string, std::string>> files_;
  bool failed_ = false;
  bool rejected_ = false;
};

bool Batch::LoadTables() {
  m_.AttachPanel(&panel_);
  m_.SetWorkingFolder(folders_.working);
  m_.SetDataFolder(folders_.data);
  if (!RunLoadDataTables(m_)) {
    err_ << panel_.TakeMessage() << '\n';
    return false;
  }
  if (options_.report == ReportFormat::None) return true;
  try {
    air_ = LoadAirTable(folders_.data);
  } catch (const TableError& error) {
    err_ << DescribeTableError(error) << '\n';
    return false;
  }
  return true;
}

bool Batch::UseFilters() {
  if (options_.filters.empty()) return true;
  std::vector<Material> materials;
  try {
    materials = LoadMaterials(folders_.data);
  } catch (const TableError& error) {
    err_ << DescribeTableError(error) << '\n';
    failed_ = true;
    return false;
  }
  std::vector<FilterLayer> layers;
  for (const FilterOption& filter : options_.filters) {
    const Material* material = FindMaterial(materials, filter.material);
    if (!material) {
      err_ << Tell("unknown filter material '" + filter.material +
                   "' (--list-materials shows the materials of Materials.csv)")
           << '\n';
      rejected_ = true;
      return false;
    }
    layers.push_back(MakeFilterLayer(*material, filter.mm));
  }
  m_.SetExtraFilters(std::move(layers));
  return true;
}

bool Batch::UseForeignPrimary() {
  ForeignSpectrum foreign;
  try {
    foreign = ReadForeignSpectrum(*options_.primary_file);
  } catch (const SpectrumFileError& error) {
    err_ << error.what() << '\n';
    rejected_ = true;
    return false;
  }
  if (foreign.dropped_above_grid > 0) {
    err_ << Tell("note: " + std::to_string(foreign.dropped_above_grid) +
                 " point(s) above 150 keV in " + options_.primary_file->string() + " were dropped")
         << '\n';
  }
  for (int i = 1; i <= kLastBin; ++i) m_.PrimarySpectrum[i] = foreign.spectrum[i];
  m_.BinCount = foreign.bin_count;
  MeasurePrimary("");
  return true;
}

bool Batch::Completed(CommandStatus status, RunRecord& record) {
  if (status == CommandStatus::Completed) return true;
  record.status = panel_.TakeMessage();
  (status == CommandStatus::Rejected ? rejected_ : failed_) = true;
  return false;
}

void Batch::MeasurePrimary(const std::string& run) {
  if (!air_) return;
  try {
    primary_quality_ = PrimaryBeamQuality(m_.PrimarySpectrum, static_cast<int>(m_.BinCount),
                                          m_.MuAl, m_.MuCu, air_->mu_en_rho);
  } catch (const BeamQualityError& error) {
    err_ << Tell(run + "no beam-quality figures: " + error.what()) << '\n';
  }
}

bool Batch::ComputePrimary(const RunTexts& texts, RunRecord& record) {
  record.conditions = ConditionsOf(texts.boxes);
  if (computed_texts_ == texts.boxes) {
    record.primary = primary_quality_;
    return true;
  }
  computed_texts_.reset();
  primary_quality_.reset();
  for (const auto& [box, text] : texts.boxes) panel_.SetConditionText(box, text);
  if (!Completed(RunCalculateCommand(m_), record)) return false;
  computed_texts_ = texts.boxes;
  MeasurePrimary("run " + std::to_string(record.run) + ": ");
  record.primary = primary_quality_;
  if (picture_) DrawPrimaryCurve(m_.PrimarySpectrum, picture_->PrimaryChart());
  return true;
}

void Batch::ComputeScatter(const std::string& angle, RunRecord& record) {
  panel_.angle = angle;
  if (!Completed(RunScatterCalculation(m_), record)) return;
  if (air_) {
    try {
      const ScatterResult scatter =
          xscatter::ComputeScatter(m_.Tables(), m_.PrimarySpectrum, m_.ScatterAngle);
      record.scatter = ScatterBeamQuality(scatter, m_.MuAl, air_->mu_en_rho);
    } catch (const std::exception& error) {
      err_ << Tell("run " + std::to_string(record.run) + ": no scatter figures: " + error.what())
           << '\n';
    }
  }
}

RunRecord Batch::RunOne(int run, const RunTexts& texts) {
  RunRecord record;
  record.run = run;
  if (texts.angle) record.angle_deg = ReadBoxNumber(*texts.angle);
  files_.clear();
  if (!options_.primary_file) {
    if (!ComputePrimary(texts, record)) return record;
  } else {
    record.primary = primary_quality_;
  }
  const bool write = options_.spectra_dir || options_.sweeps.empty();
  if (write) files_.emplace_back("P_Spectrum.dat", PrimarySpectrumText(m_.PrimarySpectrum));
  if (!texts.angle) return record;

  ComputeScatter(*texts.angle, record);
  if (record.status != "ok") {
    files_.clear();
    return record;
  }
  if (write) {
    files_.emplace_back("Inc_Spectrum.dat",
                        IncoherentSpectrumText(m_.IncoherentSpectrum[1], m_.IncoherentSpectrum[2]));
    files_.emplace_back("Coh_Spectrum.dat", CoherentSpectrumText(m_.CoherentSpectrum));
  }
  if (picture_)
    DrawScatterCurves({m_.IncoherentSpectrum[1], m_.IncoherentSpectrum[2], m_.CoherentSpectrum,
                       static_cast<int>(m_.BinCount)},
                      picture_->ScatterChart());
  return record;
}

bool Batch::WriteRunFiles(int run, const fs::path& folder) {
  if (files_.empty()) return true;
  try {
    if (options_.spectra_dir) {
      std::error_code ec;
      fs::create_directories(folder, ec);
      if (ec) {
        err_ << Tell("cannot create the folder " + folder.string() + " for run " +
                     std::to_string(run) + " (" + ec.message() + ")")
             << '\n';
        return false;
      }
    }
    ReplaceFiles(folder, files_);
  } catch (const FileWriteError& error) {
    err_ << error.what() << '\n';
    return false;
  }
  return true;
}

void Batch::Report(const std::vector<RunRecord>& records) const {
  const bool sweep = !options_.sweeps.empty();
  const bool scatters = options_.Scatters();
  switch (options_.report) {
    case ReportFormat::None:
      break;
    case ReportFormat::Json:
      WriteJson(out_, records, sweep, scatters);
      break;
    case ReportFormat::Csv:
      WriteCsv(out_, records);
      break;
    case ReportFormat::Text:
      WriteText(out_, records, sweep, scatters);
      break;
  }
}

int Batch::Run() {
  if (!LoadTables()) return kFailed;
  if (!UseFilters()) return failed_ ? kFailed : kRejected;
  if (options_.primary_file && !UseForeignPrimary()) return kRejected;
  if (picture_) {
    PrepareEmptyChart(picture_->PrimaryChart());
    PrepareScatterChart(picture_->ScatterChart());
    if (options_.primary_file) DrawPrimaryCurve(m_.PrimarySpectrum, picture_->PrimaryChart());
  }

  const bool sweep = !options_.sweeps.empty();
  const std::vector<RunTexts> runs = ExpandRuns(options_);
  std::vector<RunRecord> records;
  records.reserve(runs.size());
  for (std::size_t r = 0; r < runs.size(); ++r) {
    const int run = static_cast<int>(r) + 1;
    records.push_back(RunOne(run, runs[r]));
    if (records.back().status != "ok") {
      if (!sweep) {
        err_ << records.back().status << '\n';
        return failed_ ? kFailed : kRejected;
      }
      err_ << Tell("run " + std::to_string(run) + ": " + records.back().status) << '\n';
      continue;
    }
    if (sweep && !WriteRunFiles(run, RunFolder(run))) return kFailed;
  }

  if (picture_ && options_.plot_file) {
    try {
      picture_->Save(*options_.plot_file);
    } catch (const FileWriteError& error) {
      err_ << error.what() << '\n';
      return kFailed;
    }
  }
  // A single run writes its files last, once every step, the picture included, has succeeded.
  if (!sweep && !WriteRunFiles(1, RunFolder(1))) return kFailed;
  Report(records);
  if (failed_) return kFailed;
  return rejected_ ? kRejected : kDone;
}

int ListMaterials(const fs::path& data_folder, std::ostream& out, std::ostream& err) {
  std::vector<Material> materials;
  try {
    materials = LoadMaterials(data_folder);
  } catch (const TableError& error) {
    err << DescribeTableError(error) << '\n';
    return kFailed;
  }
  out << "material  density (g/cm3)\n";
  for (const Material& material : materials) {
    std::string name = material.name;
    if (name.size() < 8) name.resize(8, ' ');
    out << name << "  " << FormatGeneral(material.density, 6) << '\n';
  }
  return kDone;
}

}  // namespace

int RunBatch(const BatchOptions& options, const BatchFolders& folders, Picture* picture,
             std::ostream& out, std::ostream& err) {
  try {
    if (options.list_materials) return ListMaterials(folders.data, out, err);
    const FolderLock lock(folders.working, [&] {
      err << "xscatter-batch: waiting for another run in " << folders.working.string()
          << " to finish\n";
    });
    return Batch(options, folders, picture, out, err).Run();
  } catch (const FolderLockError& error) {
    err << "xscatter-batch: " << error.what() << '\n';
    return kFailed;
  } catch (const std::exception& error) {
    err << "xscatter-batch: " << error.what() << '\n';
    return kFailed;
  }
}

}  // namespace xscatter::batch
