// SPDX-License-Identifier: MIT
#include "tools/batch/batch_run.h"

#include <cstdio>
#include <exception>
#include <new>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "app/computation.h"
#include "app/entries.h"
#include "app/failure_text.h"
#include "app/file_set.h"
#include "app/table_set.h"
#include "model/errors.h"
#include "model/foreign_spectrum.h"
#include "model/hvl_match.h"
#include "model/materials.h"
#include "model/table_messages.h"
#include "output/charts.h"
#include "output/number_format.h"
#include "tools/batch/interrupt.h"
#include "tools/batch/progress.h"
#include "tools/batch/report.h"
#include "tools/batch/sha256.h"
#include "tools/batch/spectra_folder.h"

namespace xscatter::batch {
namespace {

namespace fs = std::filesystem;

std::string Tell(const std::string& text) { return "xscatter-batch: " + text; }

fs::path Absolute(const fs::path& folder) {
  std::error_code ec;
  fs::path absolute = fs::absolute(folder, ec);
  if (ec) return folder;
  absolute = absolute.lexically_normal();
  // "/work/." normalises to "/work/"; the folder is named without the separator.
  return absolute.has_filename() || absolute == absolute.root_path() ? absolute
                                                                     : absolute.parent_path();
}

// The box texts of one run: the screens' defaults, the plain options, then the swept values.
struct RunTexts {
  ConditionTexts boxes;
  std::optional<std::string> angle;
};

std::size_t RunCount(const BatchOptions& options) {
  std::size_t runs = 1;
  for (const Sweep& sweep : options.sweeps) runs *= sweep.values.size();
  return runs;
}

// The texts of run `index` (from 0): the sweeps' values in the order of the sweeps, the last
// varying fastest.
RunTexts TextsOfRun(const BatchOptions& options, std::size_t index) {
  RunTexts texts{DefaultConditionTexts(), options.angle};
  for (const auto& [box, text] : options.boxes) texts.boxes[box] = text;
  for (std::size_t s = options.sweeps.size(); s-- > 0;) {
    const Sweep& sweep = options.sweeps[s];
    const std::string text = ShortestText(sweep.values[index % sweep.values.size()]);
    index /= sweep.values.size();
    if (sweep.box) {
      texts.boxes[*sweep.box] = text;
    } else {
      texts.angle = text;
    }
  }
  return texts;
}

bool Same(const ExposureConditions& a, const ExposureConditions& b) {
  return a.kv == b.kv && a.target_angle_deg == b.target_angle_deg &&
         a.inherent_mm_al == b.inherent_mm_al && a.al_mm == b.al_mm && a.cu_mm == b.cu_mm;
}

// A primary spectrum with what the runs need of it, kept while the next runs share its conditions.
struct Primary {
  std::optional<ExposureConditions> entered;  // as read from the boxes; none for --primary
  ExposureConditions conditions;              // with a matched thickness in place
  GridArray spectrum{};
  int bin_count = 0;
  std::optional<PrimaryQuality> quality;
  FileSet file;  // P_Spectrum.dat, formatted once for all the runs sharing it
};

// Why a run stopped: its status text, and whether an entry was refused or something failed.
struct Stop {
  std::string status;
  bool rejected;
};

std::string Escaped(const std::string& name) {
  std::string shown;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", byte);
      shown += escape;
    } else {
      shown += c;
    }
  }
  return shown;
}

class Batch {
 public:
  Batch(const BatchOptions& options, const BatchFolders& folders, Picture* picture,
        std::ostream& out, std::ostream& err, std::FILE* terminal)
      : options_(options),
        folders_(folders),
        picture_(picture),
        out_(out),
        err_(err),
        progress_(terminal, RunCount(options)) {}

  int Run(const FolderWriter& working);

 private:
  bool LoadTables();
  bool UseFilters();
  bool UseForeignPrimary();
  void MakeProvenance();
  bool WritesFiles() const {
    return !options_.no_files && (options_.spectra_dir || options_.sweeps.empty());
  }
  void Say(const std::string& text) {
    progress_.Clear();
    err_ << text << '\n';
  }
  // The primary spectrum of the run's conditions: the last one when they are the same.
  std::optional<Stop> UsePrimary(const RunTexts& texts, RunRecord& record);
  std::optional<PrimaryQuality> Measure(const GridArray& spectrum, int bin_count,
                                        const std::string& run);
  std::optional<Stop> RunOne(const RunTexts& texts, RunRecord& record, FileSet& files);
  void AddIndexRow(const RunRecord& record, const std::string& folder);
  int Finish(int status);

  const BatchOptions& options_;
  const BatchFolders& folders_;
  Picture* picture_;
  std::ostream& out_;
  std::ostream& err_;
  Progress progress_;

  std::optional<TableSet> tables_;
  std::optional<ScatterFigureTables> figure_tables_;  // when reporting
  std::vector<FilterLayer> filters_;
  std::optional<Primary> primary_;
  std::optional<Provenance> provenance_;
  std::string index_;
  bool failed_ = false;
  bool rejected_ = false;
};

bool Batch::LoadTables() {
  try {
    tables_.emplace(folders_.data);
    if (options_.report != ReportFormat::None || options_.match_hvl) tables_->Air();
    if (options_.report != ReportFormat::None) {
      figure_tables_.emplace(tables_->Physical().mu_al, tables_->Air().mu_en_rho);
    }
    return true;
  } catch (const TableError& error) {
    Say(DescribeTableError(error));
  } catch (const std::bad_alloc&) {
    Say("データテーブルを読み込めません（メモリが足りません）。");
  } catch (const std::exception& error) {
    Say(std::string("データテーブルを読み込めません（") + error.what() + "）。");
  }
  return false;
}

bool Batch::UseFilters() {
  if (options_.filters.empty()) return true;
  const std::vector<Material>* materials = nullptr;
  try {
    materials = &tables_->Materials();
  } catch (const TableError& error) {
    Say(DescribeTableError(error));
    failed_ = true;
    return false;
  }
  for (const FilterOption& filter : options_.filters) {
    const Material* material = FindMaterial(*materials, filter.material);
    if (!material) {
      Say(Tell("unknown filter material '" + filter.material +
               "' (--list-materials shows the materials of Materials.csv)"));
      rejected_ = true;
      return false;
    }
    filters_.push_back(MakeFilterLayer(*material, filter.mm));
  }
  return true;
}

std::optional<PrimaryQuality> Batch::Measure(const GridArray& spectrum, int bin_count,
                                             const std::string& run) {
  if (options_.report == ReportFormat::None) return std::nullopt;
  const PhysicalTables& t = tables_->Physical();
  try {
    return PrimaryBeamQuality(spectrum, bin_count, t.mu_al, t.mu_cu, tables_->Air().mu_en_rho);
  } catch (const BeamQualityError& error) {
    Say(Tell(run + "no beam-quality figures: " + error.what()));
  }
  return std::nullopt;
}

bool Batch::UseForeignPrimary() {
  ForeignSpectrum foreign;
  try {
    foreign = ReadForeignSpectrum(*options_.primary_file);
  } catch (const SpectrumFileError& error) {
    Say(error.what());
    rejected_ = true;
    return false;
  }
  if (foreign.dropped_above_grid > 0) {
    Say(Tell("note: " + std::to_string(foreign.dropped_above_grid) + " point(s) above 150 keV in " +
             options_.primary_file->string() + " were dropped"));
  }
  Primary& primary = primary_.emplace();
  primary.spectrum = foreign.spectrum;
  primary.bin_count = foreign.bin_count;
  primary.quality = Measure(primary.spectrum, primary.bin_count, "");
  if (WritesFiles()) primary.file = PrimaryFileSet(primary.spectrum);
  return true;
}

// Reports carry what shaped their results beyond the five conditions whenever something did (a
// further filter, an imported spectrum, a matched HVL, Doppler broadening), and always as JSON
// lines.
void Batch::MakeProvenance() {
  const bool shaped =
      !options_.filters.empty() || options_.primary_file || options_.match_hvl || options_.doppler;
  if (!shaped && options_.report != ReportFormat::Jsonl) return;
  Provenance& p = provenance_.emplace();
  p.version = XSCATTER_VERSION;
  p.tables = tables_->Folder().string();
  for (const FilterOption& filter : options_.filters)
    p.filters.emplace_back(filter.material, filter.mm);
  if (options_.primary_file) {
    p.primary_file = Absolute(*options_.primary_file).string();
    p.primary_sha256 = FileSha256Hex(*options_.primary_file).value_or("");
  }
  if (options_.match_hvl) p.match_hvl.emplace(options_.match_hvl->material, options_.match_hvl->mm);
  p.doppler = options_.doppler;
}

std::optional<Stop> Batch::UsePrimary(const RunTexts& texts, RunRecord& record) {
  const ExposureConditions entered = ReadConditions(texts.boxes);
  record.conditions = entered;
  if (primary_ && primary_->entered && Same(*primary_->entered, entered)) {
    record.conditions = primary_->conditions;
    record.primary = primary_->quality;
    return std::nullopt;
  }
  primary_.reset();
  const std::string run = "run " + std::to_string(record.run) + ": ";
  ExposureConditions conditions = entered;
  try {
    if (const auto refusal = CheckConditions(conditions)) throw ConditionError(*refusal);
    if (options_.match_hvl) {
      const HvlMatch match =
          MatchHvl(tables_->Physical(), conditions, filters_, tables_->Air().mu_en_rho,
                   options_.match_hvl->material == "Al" ? HvlMetal::Aluminium : HvlMetal::Copper,
                   options_.match_hvl->mm);
      (options_.match_hvl->material == "Al" ? conditions.al_mm : conditions.cu_mm) = match.added_mm;
      record.conditions = conditions;
    }
    const PrimaryResult result = ComputePrimaryRun(tables_->Physical(), conditions, filters_);
    Primary& primary = primary_.emplace();
    primary.entered = entered;
    primary.conditions = conditions;
    primary.spectrum = result.spectrum;
    primary.bin_count = result.bin_count;
  } catch (const ConditionError& error) {
    return Stop{error.what(), true};
  } catch (const ModelError&) {
    return Stop{std::string(RefusalText(Refusal::NotComputable)), true};
  } catch (const HvlMatchError& error) {
    return Stop{"--match-hvl: " + DescribeHvlMatchFault(error.fault), true};
  } catch (const std::exception& error) {
    return Stop{FailureText(error, "一次Ｘ線スペクトル"), false};
  }
  primary_->quality = Measure(primary_->spectrum, primary_->bin_count, run);
  record.primary = primary_->quality;
  if (WritesFiles()) primary_->file = PrimaryFileSet(primary_->spectrum);
  if (picture_) DrawPrimaryCurve(primary_->spectrum, picture_->PrimaryChart());
  return std::nullopt;
}

std::optional<Stop> Batch::RunOne(const RunTexts& texts, RunRecord& record, FileSet& files) {
  if (texts.angle) record.angle_deg = ReadBoxNumber(*texts.angle);
  if (!options_.primary_file) {
    if (auto stop = UsePrimary(texts, record)) return stop;
  } else {
    record.primary = primary_->quality;
  }
  if (WritesFiles()) files = primary_->file;
  if (!texts.angle) return std::nullopt;

  std::optional<Stop> stop;
  const ScatterResult scatter = [&]() -> ScatterResult {
    try {
      return ComputeScatterRun(tables_->Physical(), primary_->spectrum, *record.angle_deg,
                               options_.doppler ? &tables_->WaterCompton() : nullptr);
    } catch (const ConditionError& error) {
      stop = Stop{error.what(), true};
    } catch (const NormalisationError& error) {
      // A spectrum with nothing at or above 8 keV scatters nothing: the entry is refused, like
      // conditions the model cannot compute, rather than failing as a file or table would.
      stop = Stop{FailureText(error, "散乱スペクトル"), error.nothing_scattered};
    } catch (const std::exception& error) {
      stop = Stop{FailureText(error, "散乱スペクトル"), false};
    }
    return {};
  }();
  if (stop) {
    files.clear();
    return stop;
  }
  if (options_.report != ReportFormat::None) {
    try {
      record.scatter = ScatterBeamQuality(scatter, *figure_tables_);
    } catch (const std::exception& error) {
      Say(Tell("run " + std::to_string(record.run) + ": no scatter figures: " + error.what()));
    }
  }
  if (WritesFiles()) {
    for (auto& file : ScatterFileSet(scatter)) files.push_back(std::move(file));
  }
  if (picture_) {
    DrawScatterCurves({scatter.energy, scatter.incoherent, scatter.coherent, primary_->bin_count},
                      picture_->ScatterChart());
  }
  return std::nullopt;
}

void Batch::AddIndexRow(const RunRecord& r, const std::string& folder) {
  const auto number = [](const std::optional<double>& value) {
    return value ? ExactNumber(*value) : std::string();
  };
  std::string filters;
  for (const FilterOption& filter : options_.filters) {
    filters += (filters.empty() ? "" : " ") + filter.material + ":" + ExactNumber(filter.mm);
  }
  const auto c = r.conditions;
  index_ += std::to_string(r.run) + ',' + folder + ',' + CsvField(r.status) + ',' +
            number(c ? std::optional(c->kv) : std::nullopt) + ',' +
            number(c ? std::optional(c->target_angle_deg) : std::nullopt) + ',' +
            number(c ? std::optional(c->inherent_mm_al) : std::nullopt) + ',' +
            number(c ? std::optional(c->al_mm) : std::nullopt) + ',' +
            number(c ? std::optional(c->cu_mm) : std::nullopt) + ',' + number(r.angle_deg) + ',' +
            CsvField(filters) + ',' +
            CsvField(options_.primary_file ? options_.primary_file->string() : "") + "\r\n";
}

int Batch::Finish(int status) {
  out_.flush();
  if (!out_) {
    Say(Tell("cannot write the report to standard output"));
    return kFailed;
  }
  return status;
}

int Batch::Run(const FolderWriter& working) {
  if (!LoadTables()) return kFailed;
  if (!UseFilters()) return failed_ ? kFailed : kRejected;
  if (options_.primary_file && !UseForeignPrimary()) return kRejected;
  MakeProvenance();
  if (picture_) {
    PrepareEmptyChart(picture_->PrimaryChart());
    PrepareScatterChart(picture_->ScatterChart());
    if (options_.primary_file) DrawPrimaryCurve(primary_->spectrum, picture_->PrimaryChart());
  }

  const bool sweep = !options_.sweeps.empty();
  const std::size_t count = RunCount(options_);
  std::optional<SpectraFolder> spectra;
  if (sweep && WritesFiles()) {
    try {
      spectra.emplace(*options_.spectra_dir, count, options_.overwrite, [this] {
        Say(Tell("waiting for another run in " + Absolute(*options_.spectra_dir).string() +
                 " to finish"));
      });
    } catch (const SpectraFolderError& error) {
      Say(Tell(error.what()));
      return error.kind == SpectraFolderError::Kind::EarlierSweep ? kRejected : kFailed;
    }
    index_ =
        "run,folder,status,kv,target_angle_deg,inherent_mm_al,al_mm,cu_mm,angle_deg,filters,"
        "primary_file\r\n";
  }

  ReportWriter report(out_, options_.report, sweep, options_.Scatters(),
                      provenance_ ? &*provenance_ : nullptr);
  // From here a signal ends the sweep between runs; before, nothing is written and its default
  // ends the program even while it waits for a lock.
  CatchInterrupts();
  if (sweep) report.Begin();
  RunRecord single;
  FileSet files;
  std::size_t done = 0;
  for (; done < count && !InterruptSignal(); ++done) {
    RunRecord record;
    record.run = static_cast<int>(done) + 1;
    files.clear();
    if (const auto stop = RunOne(TextsOfRun(options_, done), record, files)) {
      record.status = stop->status;
      (stop->rejected ? rejected_ : failed_) = true;
      if (!sweep) {
        Say(record.status);
        return failed_ ? kFailed : kRejected;
      }
      Say(Tell("run " + std::to_string(record.run) + ": " + record.status));
    } else if (spectra) {
      try {
        spectra->WriteRun(record.run, files);
      } catch (const std::exception& error) {
        record.status = error.what();
        failed_ = true;
        Say(Tell("run " + std::to_string(record.run) + ": " + record.status));
      }
    }
    if (spectra) AddIndexRow(record, record.status == "ok" ? spectra->RunName(record.run) : "");
    if (!sweep) {
      single = std::move(record);
      continue;
    }
    report.Add(record);
    progress_.Done(done + 1);
    if (!out_) break;  // the report can no longer be written: stop early, and say so below
  }
  progress_.Clear();
  const int signal = InterruptSignal();

  if (picture_ && options_.plot_file) {
    try {
      picture_->Save(*options_.plot_file);
    } catch (const FileWriteError& error) {
      Say(error.what());
      failed_ = true;
    }
  }
  if (spectra) {
    try {
      spectra->WriteIndex(index_);
      spectra->MakeDurable();
    } catch (const std::exception& error) {
      Say(Tell(error.what()));
      failed_ = true;
    }
  }
  if (sweep) {
    report.End();
  } else if (done == 1) {
    // A single run writes its files last, once every step, the picture included, has succeeded.
    if (failed_) return kFailed;
    if (WritesFiles()) {
      try {
        if (options_.spectra_dir) {
          // A single run's folder is DIR/0001, as each run's of a sweep, and holds its own lock.
          const fs::path folder = *options_.spectra_dir / "0001";
          std::error_code ec;
          fs::create_directories(folder, ec);
          if (ec) {
            Say(Tell("cannot create the folder " + folder.string() + " for run 1 (" + ec.message() +
                     ")"));
            return kFailed;
          }
          WriteFileSet(folder, files);
        } else {
          working.Write(files);
        }
      } catch (const std::exception& error) {
        Say(error.what());
        return kFailed;
      }
    }
    report.Begin();
    report.Add(single);
    report.End();
  }
  if (signal) return Finish(128 + signal);
  if (failed_) return Finish(kFailed);
  return Finish(rejected_ ? kRejected : kDone);
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
    std::string name = Escaped(material.name);
    if (name.size() < 8) name.resize(8, ' ');
    out << name << "  " << FormatGeneral(material.density, 6) << '\n';
  }
  out.flush();
  if (!out) {
    err << Tell("cannot write the list to standard output") << '\n';
    return kFailed;
  }
  return kDone;
}

}  // namespace

int RunBatch(const BatchOptions& options, const BatchFolders& folders, Picture* picture,
             std::ostream& out, std::ostream& err, std::FILE* terminal) {
  try {
    if (options.list_materials) return ListMaterials(folders.data, out, err);
    const FolderWriter working(folders.working, [&] {
      err << Tell("waiting for another run in " + Absolute(folders.working).string() + " to finish")
          << '\n';
    });
    return Batch(options, folders, picture, out, err, terminal).Run(working);
  } catch (const std::bad_alloc&) {
    err << Tell("out of memory") << '\n';
    return kFailed;
  } catch (const std::exception& error) {
    err << Tell(error.what()) << '\n';
    return kFailed;
  }
}

}  // namespace xscatter::batch
