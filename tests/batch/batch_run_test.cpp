// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/files.h"
#include "tools/batch/batch_options.h"
#include "tools/batch/batch_run.h"

namespace xscatter::batch {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;

constexpr const char* kSpectrumFiles[] = {"P_Spectrum.dat", "Inc_Spectrum.dat", "Coh_Spectrum.dat"};

// The pieces of text between separators, without a line's trailing carriage return.
std::vector<std::string> Split(const std::string& text, char separator = '\n') {
  std::vector<std::string> pieces;
  std::istringstream in(text);
  for (std::string piece; std::getline(in, piece, separator);) {
    if (!piece.empty() && piece.back() == '\r') piece.pop_back();
    pieces.push_back(piece);
  }
  return pieces;
}

// A working folder holding a copy of the shipped tables.
struct Workplace {
  Workplace() { fs::copy(XSCATTER_DATA_DIR, folder.path / "Data"); }

  // Runs the tool's logic on the command line; standard output and error land in out and err.
  int Run(const std::vector<std::string>& args) {
    out.str("");
    err.str("");
    std::string error;
    const std::optional<BatchOptions> options = ParseBatchOptions(args, error);
    if (!options) {
      err << error;
      return kRejected;
    }
    return RunBatch(*options, {folder.path, folder.path / "Data"}, nullptr, out, err);
  }

  // A field of the first row of a CSV report.
  double CsvFigure(std::size_t column) const {
    return std::strtod(Split(Split(out.str())[1], ',').at(column).c_str(), nullptr);
  }

  int Files() const {
    int count = 0;
    for (const char* name : kSpectrumFiles) count += fs::exists(folder.path / name);
    return count;
  }

  testing::TempFolder folder;
  std::ostringstream out, err;
};

// The figures of the default case (100 kV, 12 degrees, 2.5 mm Al, 90 degrees) computed
// independently by reference/independent_figures.py from the shipped tables (Air.csv with NIST's
// energy absorption), in column order from bin_count on; single-run JSON carries the conditions
// and no scatter without an angle. A second check of HVL1: bisecting Σ φ·E·(μen/ρ)·exp(−μ_Al·t)
// in numpy over the run's own P_Spectrum.dat (four digits), Air.csv field 2 and Mus.dat field 3
// gives 3.253316 mm Al, 2e-6 below the 3.2533223 here by the rounding of the file.
TEST(BatchReport, DefaultCaseMatchesTheIndependentComputation) {
  Workplace w;
  ASSERT_EQ(w.Run({"--angle", "90", "--report", "csv"}), kDone) << w.err.str();
  const std::vector<std::string> lines = Split(w.out.str()), keys = Split(lines.at(0), ',');
  ASSERT_EQ(lines.size(), 2u);
  const std::vector<std::string> expected = Split(
      "200,48.13233281664644,40.75509915508146,3.253322344026933,5.099460952321443,"
      "0.6379737730016176,0.11546906664802375,0.22770549606912494,0.5070982854668147,"
      "34.629882512148754,43.04695830245893,31.88607045835221,0.036984986233438745,"
      "2.6044898173319875",
      ',');
  ASSERT_EQ(keys.size(), 8 + expected.size());
  for (std::size_t c = 8; c < keys.size(); ++c) {
    SCOPED_TRACE(keys[c]);
    const double value = std::strtod(expected[c - 8].c_str(), nullptr);
    EXPECT_NEAR(w.CsvFigure(c), value, value * 1e-9);
  }
  EXPECT_EQ(w.Files(), 3);

  ASSERT_EQ(w.Run({"--report", "json"}), kDone);
  const std::string json = w.out.str();
  EXPECT_EQ(json.front(), '{');
  for (const char* part :
       {"\"conditions\": {\"kv\": 100, \"target_angle_deg\": 12, \"inherent_mm_al\": 2.5, "
        "\"al_mm\": 0, \"cu_mm\": 0}",
        "\"primary\": {\"bin_count\": 200, \"mean_energy_kev\": ", "\"effective_energy_kev_al\""}) {
    EXPECT_NE(json.find(part), std::string::npos) << part << '\n' << json;
  }
  EXPECT_EQ(json.find("scatter"), std::string::npos);
}

// Rejected entries and failing tables or files: the message on standard error (the whole of it
// when the row's text ends in a line break), no report and no file.
TEST(BatchFailures, NameWhatFailedAndWriteNothing) {
  const struct {
    const char* name;
    std::vector<std::string> args;
    const char* remove;  // a table taken away first: the run fails (1); else it is rejected (2)
    const char* error;
  } cases[] = {
      {"Voltage", {"--kv", "39.9"}, "", "\u3000管電圧が範囲外 \n"},
      {"TargetAngle", {"--target-angle", "0.5"}, "", "\u3000ターゲット角度を再入力\u3000\n"},
      {"Angle", {"--angle", "175.01"}, "", " 散乱角度が範囲外です \n"},
      {"Uncomputable", {"--al", "1E6"}, "", "\u3000この条件ではスペクトルを計算できません\u3000\n"},
      {"UnknownMaterial", {"--filter", "Xx:1"}, "", "unknown filter material 'Xx'"},
      {"MissingPrimaryFile", {"--primary", "nowhere.dat", "--angle", "90"}, "", "nowhere.dat"},
      {"MissingMaterials", {"--filter", "Be:1"}, "Materials.csv", "Materials.csv"},
      {"MissingAir", {}, "Air.csv", "Air.csv"},
      {"MissingMus", {"--angle", "90"}, "Mus.dat", "Mus.dat"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Workplace w;
    if (*c.remove) fs::remove(w.folder.path / "Data" / c.remove);
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--report", "json"});
    EXPECT_EQ(w.Run(args), *c.remove ? kFailed : kRejected);
    const std::string error = c.error, err = w.err.str();
    EXPECT_TRUE(error.back() == '\n' ? err == error : err.find(error) != std::string::npos) << err;
    EXPECT_EQ(w.out.str(), "");
    EXPECT_EQ(w.Files(), 0);
  }
}

TEST(BatchTables, MissingReportTablesChangeNothingWithoutAReport) {
  Workplace w;
  fs::remove(w.folder.path / "Data" / "Air.csv");
  fs::remove(w.folder.path / "Data" / "Materials.csv");
  EXPECT_EQ(w.Run({"--angle", "90"}), kDone) << w.err.str();
  EXPECT_EQ(w.Files(), 3);
}

// Runs go in order with the last sweep fastest, and a rejected row neither stops the sweep nor
// hides from the exit status; both reports carry it.
TEST(BatchSweep, RunsInOrderAndKeepsGoingPastARejectedRow) {
  Workplace w;
  EXPECT_EQ(w.Run({"--sweep", "kv=60,30,80", "--sweep", "angle=4,90", "--report", "csv"}),
            kRejected);
  const std::vector<std::string> lines = Split(w.out.str());
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0],
            "run,status,kv,target_angle_deg,inherent_mm_al,al_mm,cu_mm,angle_deg,bin_count,"
            "mean_energy_kev,kerma_mean_energy_kev,hvl1_mm_al,hvl2_mm_al,homogeneity_al,"
            "hvl1_mm_cu,hvl2_mm_cu,homogeneity_cu,effective_energy_kev_al,"
            "incoherent_mean_energy_kev,coherent_mean_energy_kev,coherent_share,"
            "scatter_hvl1_mm_al");
  // A run stopped at the angle keeps its primary figures; one stopped at the voltage has none.
  const char* starts[] = {"1,\" 散乱角度が範囲外です \",60,12,2.5,0,0,4,120,",
                          "2,ok,60,12,2.5,0,0,90,120,",
                          "3,\"\u3000管電圧が範囲外 \",30,12,2.5,0,0,4,,,,,,,,,,,,,,",
                          "4,\"\u3000管電圧が範囲外 \",30,12,2.5,0,0,90,,,,,,,,,,,,,,",
                          "5,\" 散乱角度が範囲外です \",80,12,2.5,0,0,4,160,",
                          "6,ok,80,12,2.5,0,0,90,160,"};
  for (int r = 0; r < 6; ++r) EXPECT_EQ(lines[r + 1].rfind(starts[r], 0), 0u) << lines[r + 1];
  EXPECT_EQ(w.Files(), 0);  // a sweep writes files only with --spectra-dir
  EXPECT_NE(w.err.str().find("run 3: \u3000管電圧が範囲外 "), std::string::npos);

  EXPECT_EQ(w.Run({"--sweep", "kv=60,30,80", "--sweep", "angle=4,90", "--report", "json"}),
            kRejected);
  const std::string json = w.out.str();
  EXPECT_EQ(json.front(), '[');
  for (const char* part :
       {"\"run\": 1,\n    \"status\": \" 散乱角度が範囲外です \"",
        "\"run\": 2,\n    \"status\": \"ok\"",
        "\"run\": 3,\n    \"status\": \"\u3000管電圧が範囲外 \"", "\"scatter\": null"}) {
    EXPECT_NE(json.find(part), std::string::npos) << part << '\n' << json;
  }
}

TEST(BatchSweep, SpectraFoldersHoldTheFilesOfSingleRuns) {
  Workplace sweep;
  const fs::path out = sweep.folder.path / "out";
  ASSERT_EQ(sweep.Run({"--kv", "80.3", "--sweep", "angle=30,150", "--spectra-dir", out.string()}),
            kDone);
  for (const auto& [run, angle] : {std::pair{"0001", "30"}, std::pair{"0002", "150"}}) {
    SCOPED_TRACE(run);
    Workplace single;
    ASSERT_EQ(single.Run({"--kv", "80.3", "--angle", angle}), kDone);
    for (const char* name : kSpectrumFiles) {
      EXPECT_EQ(ReadFile(out / run / name), ReadFile(single.folder.path / name)) << name;
    }
  }
}

// Zero thicknesses leave the files alone; 1 mm of aluminium as a filter and as the added
// aluminium give the same beam to the digits the tables carry, harder than the bare beam's
// 3.253 mm first HVL.
TEST(BatchFilters, ZeroThicknessChangesNothingAndAFilterHardensTheBeam) {
  Workplace w;
  ASSERT_EQ(w.Run({"--angle", "90"}), kDone);
  std::vector<std::string> plain;
  for (const char* name : kSpectrumFiles) plain.push_back(ReadFile(w.folder.path / name));
  ASSERT_EQ(w.Run({"--angle", "90", "--filter", "Sn:0", "--filter", "air:0"}), kDone);
  for (int f = 0; f < 3; ++f) EXPECT_EQ(ReadFile(w.folder.path / kSpectrumFiles[f]), plain[f]);
  constexpr std::size_t kHvl1Al = 11;
  ASSERT_EQ(w.Run({"--filter", "Al:1", "--report", "csv"}), kDone);
  const double filtered = w.CsvFigure(kHvl1Al);
  ASSERT_EQ(w.Run({"--al", "1", "--report", "csv"}), kDone);
  EXPECT_NEAR(filtered, w.CsvFigure(kHvl1Al), 1e-6);
  EXPECT_GT(filtered, 3.253322344026933 + 0.1);
}

// Importing the primary file of a run and scattering it again gives the run's scatter files, to
// the printed precision wherever the four-digit rounding of the import does not show.
TEST(BatchPrimaryImport, RoundTripOfTheRunsOwnFile) {
  Workplace w;
  ASSERT_EQ(w.Run({"--angle", "60"}), kDone);
  const std::string before[] = {ReadFile(w.folder.path / kSpectrumFiles[1]),
                                ReadFile(w.folder.path / kSpectrumFiles[2])};
  fs::copy_file(w.folder.path / "P_Spectrum.dat", w.folder.path / "imported.dat");
  ASSERT_EQ(w.Run({"--primary", (w.folder.path / "imported.dat").string(), "--angle", "60"}), kDone)
      << w.err.str();
  for (int f = 1; f < 3; ++f) {
    SCOPED_TRACE(kSpectrumFiles[f]);
    const auto a = Split(before[f - 1]), b = Split(ReadFile(w.folder.path / kSpectrumFiles[f]));
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 1; i < a.size(); ++i) {
      EXPECT_EQ(std::strtod(a[i].c_str(), nullptr), std::strtod(b[i].c_str(), nullptr)) << i;
      // The imported primary carries four digits, so each scatter value, and the maximum the
      // values are divided by, can move by half a unit of the fourth digit.
      const double value = std::strtod(a[i].c_str() + 9, nullptr);
      EXPECT_NEAR(std::strtod(b[i].c_str() + 9, nullptr), value, 1.1e-3 * value) << i;
    }
  }
}

TEST(BatchLock, ASecondRunWaitsAndSaysSo) {
  Workplace w;
  const std::string command = "cd '" + w.folder.path.string() +
                              "' && (flock -x . sleep 1.5 &) && sleep 0.2 && '" XSCATTER_BATCH
                              "' 2> err.txt";
  ASSERT_EQ(WEXITSTATUS(std::system(command.c_str())), 0);
  EXPECT_NE(ReadFile(w.folder.path / "err.txt").find("waiting for another run"), std::string::npos);
  EXPECT_EQ(w.Files(), 1);
}

// The picture of a sweep overlays every run's curves, as repeated OK presses do on the screen, and
// a single run writes its picture as well as its files.
TEST(BatchPlot, SweepCurvesOverlayOnOnePicture) {
  Workplace w;
  const std::string command = "cd '" + w.folder.path.string() +
                              "' && '" XSCATTER_BATCH
                              "' --sweep angle=30,90,150 --plot sweep.svg 2> err.txt"
                              " && '" XSCATTER_BATCH "' --angle 90 --plot one.png 2>> err.txt";
  ASSERT_EQ(WEXITSTATUS(std::system(command.c_str())), 0) << ReadFile(w.folder.path / "err.txt");
  EXPECT_EQ(ReadFile(w.folder.path / "err.txt"), "");
  const std::string svg = ReadFile(w.folder.path / "sweep.svg");
  // One primary staircase and three incoherent curves in red, three coherent curves in blue.
  const auto count = [&svg](const char* what) {
    int n = 0;
    for (auto at = svg.find(what); at != std::string::npos; at = svg.find(what, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count("stroke=\"#ff0000\""), 1 + 3);
  EXPECT_EQ(count("stroke=\"#0000ff\""), 3);
  EXPECT_EQ(ReadFile(w.folder.path / "one.png").substr(1, 3), "PNG");
  EXPECT_EQ(w.Files(), 3);
}

// What the shell prints for a command line; its exit status in `status`.
std::string Shell(const std::string& command, int* status = nullptr) {
  std::string output;
  FILE* pipe = ::popen(command.c_str(), "r");
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    output.append(buffer, n);
  const int raw = ::pclose(pipe);
  if (status) *status = WEXITSTATUS(raw);
  return output;
}

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

// A run whose folder cannot be made is reported with its message; the runs after it are still
// made and reported, and the exit status tells of the failure.
TEST(BatchSweepFaults, AFailingRunIsReportedAndTheSweepGoesOn) {
  Workplace w;
  const fs::path out = w.folder.path / "out";
  fs::create_directories(out);
  testing::WriteFile(out / "0002", "not a folder");
  EXPECT_EQ(w.Run({"--sweep", "angle=30,60,90", "--spectra-dir", out.string(), "--report", "csv"}),
            kFailed);
  const std::vector<std::string> lines = Split(w.out.str());
  ASSERT_EQ(lines.size(), 4u) << w.out.str();
  const std::string failure =
      "cannot create the folder " + (out / "0002").string() + " for run 2 (File exists)";
  EXPECT_EQ(lines[1].rfind("1,ok,100,", 0), 0u);
  EXPECT_EQ(lines[2].rfind("2," + failure + ",100,", 0), 0u) << lines[2];
  EXPECT_EQ(lines[3].rfind("3,ok,100,", 0), 0u);
  EXPECT_NE(w.err.str().find("run 2: " + failure), std::string::npos) << w.err.str();
  for (const char* run : {"0001", "0003"}) {
    for (const char* name : kSpectrumFiles) EXPECT_TRUE(fs::is_regular_file(out / run / name));
  }
  EXPECT_EQ(ReadFile(out / "0002"), "not a folder");
}

// A second sweep into the same folder would leave the first one's folders among its own.
TEST(BatchSweepFaults, EarlierRunFoldersAreRefusedUnlessOverwritten) {
  Workplace w;
  const std::string out = (w.folder.path / "out").string();
  ASSERT_EQ(w.Run({"--sweep", "angle=30,60,90", "--spectra-dir", out}), kDone);
  EXPECT_EQ(w.Run({"--sweep", "angle=45,135", "--spectra-dir", out}), kRejected);
  EXPECT_EQ(w.err.str(), "xscatter-batch: " + out +
                             " already holds the run folders of an earlier sweep (0001 to 0003); "
                             "--overwrite removes them first\n");
  EXPECT_TRUE(fs::exists(w.folder.path / "out" / "0003"));
  ASSERT_EQ(w.Run({"--sweep", "angle=45,135", "--spectra-dir", out, "--overwrite"}), kDone);
  EXPECT_FALSE(fs::exists(w.folder.path / "out" / "0003"));
  Workplace single;
  ASSERT_EQ(single.Run({"--angle", "135"}), kDone);
  EXPECT_EQ(ReadFile(w.folder.path / "out" / "0002" / "Coh_Spectrum.dat"),
            ReadFile(single.folder.path / "Coh_Spectrum.dat"));
}

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define XSCATTER_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(XSCATTER_ADDRESS_SANITIZER)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif

// Each of 2,000 repeats of a 91,667-value sweep used to be expanded before the duplicate was
// seen: 1.5 GB, and an uncaught std::bad_alloc under a 400 MB limit.
TEST(BatchSweepFaults, ARepeatedSweepIsRefusedBeforeItsValuesAreMade) {
  if (kAddressSanitizer) {
    GTEST_SKIP() << "AddressSanitizer reserves its shadow memory beyond any ulimit -v";
  }
  std::string args;
  for (int i = 0; i < 2000; ++i) args += " --sweep kv=40:150:0.0012";
  int status = 0;
  const std::string err =
      Shell("ulimit -v 400000 && '" XSCATTER_BATCH "'" + args + " 2>&1 | head -c 300", &status);
  EXPECT_EQ(err.rfind("xscatter-batch: kv is given more than once\n", 0), 0u) << err;
}

TEST(BatchIndex, ListsEveryRunWithItsFolderStatusAndConditions) {
  Workplace w;
  const fs::path out = w.folder.path / "out";
  EXPECT_EQ(w.Run({"--kv", "80", "--filter", "Al:0.5", "--sweep", "angle=30,4", "--spectra-dir",
                   out.string()}),
            kRejected);
  EXPECT_EQ(ReadFile(out / "index.csv"),
            "run,folder,status,kv,target_angle_deg,inherent_mm_al,al_mm,cu_mm,angle_deg,filters,"
            "primary_file\r\n"
            "1,0001,ok,80,12,2.5,0,0,30,Al:0.5,\r\n"
            "2,,\" 散乱角度が範囲外です \",80,12,2.5,0,0,4,Al:0.5,\r\n");
  EXPECT_FALSE(fs::exists(out / "0002"));
}

TEST(BatchNoFiles, ReportsWithoutWritingAnySpectrumFile) {
  Workplace w;
  ASSERT_EQ(w.Run({"--angle", "90", "--no-files", "--report", "csv"}), kDone);
  EXPECT_EQ(Split(w.out.str()).size(), 2u);
  EXPECT_EQ(w.Files(), 0);
  const fs::path out = w.folder.path / "out";
  ASSERT_EQ(w.Run({"--sweep", "angle=30,90", "--spectra-dir", out.string(), "--no-files"}), kDone);
  EXPECT_FALSE(fs::exists(out));
}

// One object a line, each with the run, its status and what made it.
TEST(BatchReport, JsonLinesCarryRunStatusAndProvenance) {
  Workplace w;
  ASSERT_EQ(w.Run({"--sweep", "angle=30,4", "--report", "jsonl"}), kRejected);
  const std::vector<std::string> lines = Split(w.out.str());
  ASSERT_EQ(lines.size(), 2u);
  const std::string provenance = ", \"provenance\": {\"version\": \"" XSCATTER_VERSION
                                 "\", \"tables\": \"" +
                                 (w.folder.path / "Data").string() + "\", \"filters\": []}}";
  EXPECT_EQ(lines[0].rfind("{\"run\": 1, \"status\": \"ok\", \"conditions\": {\"kv\": 100, ", 0),
            0u)
      << lines[0];
  EXPECT_EQ(lines[1].rfind("{\"run\": 2, \"status\": \" 散乱角度が範囲外です \", ", 0), 0u);
  for (const std::string& line : lines) {
    EXPECT_EQ(line.substr(line.size() - provenance.size()), provenance);
  }
}

// The imported file is named with its SHA-256, as coreutils' sha256sum computes it.
TEST(BatchReport, ProvenanceNamesTheImportedFileAndTheFilters) {
  Workplace w;
  ASSERT_EQ(w.Run({"--kv", "70"}), kDone);
  const fs::path imported = w.folder.path / "imported.dat";
  fs::copy_file(w.folder.path / "P_Spectrum.dat", imported);
  const std::string sha = Shell("sha256sum " + Quoted(imported)).substr(0, 64);
  ASSERT_EQ(w.Run({"--primary", imported.string(), "--angle", "60", "--report", "json"}), kDone);
  EXPECT_NE(w.out.str().find("\"primary_file\": \"" + imported.string() +
                             "\", \"primary_sha256\": \"" + sha + "\""),
            std::string::npos)
      << w.out.str();
  ASSERT_EQ(w.Run({"--filter", "Al:1", "--filter", "Sn:0.25", "--report", "csv"}), kDone);
  const std::vector<std::string> lines = Split(w.out.str());
  EXPECT_NE(lines[0].find(",version,tables,filters,primary_file,primary_sha256,match_hvl"),
            std::string::npos);
  EXPECT_NE(lines[1].find("," + (w.folder.path / "Data").string() + ",Al:1 Sn:0.25,,,"),
            std::string::npos)
      << lines[1];
}

// --match-hvl finds the added metal whose beam has the wanted first HVL: given the HVL that 2 mm
// Al (or 0.1 mm Cu) gives, it finds 2 mm (0.1 mm) again, and the report's HVL is the one asked for.
TEST(BatchMatchHvl, FindsTheThicknessThatGivesTheHvl) {
  constexpr std::size_t kAl = 5, kCu = 6, kHvlAl = 11, kHvlCu = 14;
  const struct {
    const char* name;
    const char* option;
    const char* mm;
    std::size_t thickness_column, hvl_column;
  } cases[] = {{"Al", "--al", "2", kAl, kHvlAl}, {"Cu", "--cu", "0.1", kCu, kHvlCu}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Workplace w;
    ASSERT_EQ(w.Run({"--kv", "80", c.option, c.mm, "--report", "csv"}), kDone);
    const double hvl = w.CsvFigure(c.hvl_column);
    ASSERT_EQ(w.Run({"--kv", "80", "--match-hvl", std::string(c.name) + ":" + ExactNumber(hvl),
                     "--report", "csv"}),
              kDone)
        << w.err.str();
    EXPECT_NEAR(w.CsvFigure(c.thickness_column), std::strtod(c.mm, nullptr), 1e-4);
    EXPECT_NEAR(w.CsvFigure(c.hvl_column), hvl, 1e-6 * hvl);
    EXPECT_NE(w.out.str().find("," + std::string(c.name) + ":" + ExactNumber(hvl) + ",false\r\n"),
              std::string::npos);
  }
}

// --doppler changes only the incoherent spectrum's spread: P_Spectrum.dat is the same, both scatter
// files keep their layout, the report says so, and without Data/WaterCompton.csv the run fails with
// the table's message and writes nothing.
TEST(BatchDoppler, BroadensTheIncoherentSpectrumAndSaysSo) {
  Workplace w;
  ASSERT_EQ(w.Run({"--angle", "90"}), kDone);
  const std::string plain_p = testing::ReadFile(w.folder.path / "P_Spectrum.dat");
  const std::string plain_inc = testing::ReadFile(w.folder.path / "Inc_Spectrum.dat");
  ASSERT_EQ(w.Run({"--angle", "90", "--doppler", "--report", "json"}), kDone) << w.err.str();
  EXPECT_NE(w.out.str().find("\"doppler\": true"), std::string::npos) << w.out.str();
  EXPECT_EQ(testing::ReadFile(w.folder.path / "P_Spectrum.dat"), plain_p);
  const std::string inc = testing::ReadFile(w.folder.path / "Inc_Spectrum.dat");
  EXPECT_NE(inc, plain_inc);
  EXPECT_EQ(inc.size(), plain_inc.size());
  EXPECT_EQ(inc.substr(0, inc.find("\r\n")), " keV     Fluence");
  // The energy column holds the bin energies once broadened.
  EXPECT_NE(inc.find("\r\n1.000E+02  "), std::string::npos);

  fs::remove(w.folder.path / "Data" / "WaterCompton.csv");
  fs::remove(w.folder.path / "Inc_Spectrum.dat");
  EXPECT_EQ(w.Run({"--angle", "90", "--doppler"}), kFailed);
  EXPECT_NE(w.err.str().find("WaterCompton.csv"), std::string::npos) << w.err.str();
  EXPECT_FALSE(fs::exists(w.folder.path / "Inc_Spectrum.dat"));
}

// A measured spectrum with nothing at or above 8 keV scatters nothing: the entry is refused (exit
// 2), as conditions the model cannot compute are, and no scatter file is written.
TEST(BatchPrimary, ASpectrumBelowEightKeVIsRefused) {
  Workplace w;
  testing::WriteFile(w.folder.path / "low.txt", "1 1\n2 2\n5 1\n");
  EXPECT_EQ(w.Run({"--primary", (w.folder.path / "low.txt").string(), "--angle", "90"}), kRejected);
  EXPECT_NE(w.err.str().find("8 keV"), std::string::npos) << w.err.str();
  EXPECT_FALSE(fs::exists(w.folder.path / "Inc_Spectrum.dat"));
}

TEST(BatchMatchHvl, UnreachableValuesAreRefused) {
  const struct {
    const char* name;
    const char* target;
    const char* message;
  } cases[] = {
      {"Soft", "Al:0.5",
       "--match-hvl: a first HVL of 0.5 mm Al is softer than the beam without added aluminium ("},
      {"Hard", "Cu:9",
       "--match-hvl: a first HVL of 9 mm Cu is harder than 10 mm Cu of added copper can make the "
       "beam ("},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Workplace w;
    EXPECT_EQ(w.Run({"--match-hvl", c.target, "--angle", "90", "--report", "csv"}), kRejected);
    EXPECT_EQ(w.err.str().rfind(c.message, 0), 0u) << w.err.str();
    EXPECT_EQ(w.out.str(), "");
    EXPECT_EQ(w.Files(), 0);
  }
  std::string error;
  EXPECT_FALSE(ParseBatchOptions({"--al", "1", "--match-hvl", "Al:3"}, error));
  EXPECT_FALSE(ParseBatchOptions({"--match-hvl", "Sn:3"}, error));
}

// Every voltage of a sweep gets its own thickness; all have the same first HVL.
TEST(BatchMatchHvl, EachRunOfASweepIsMatched) {
  Workplace w;
  ASSERT_EQ(w.Run({"--sweep", "kv=80,100,120", "--match-hvl", "Al:5", "--report", "csv"}), kDone)
      << w.err.str();
  const std::vector<std::string> lines = Split(w.out.str());
  ASSERT_EQ(lines.size(), 4u);
  double previous = 1e9;
  for (std::size_t r = 1; r < 4; ++r) {
    SCOPED_TRACE(r);
    const std::vector<std::string> fields = Split(lines[r], ',');
    EXPECT_NEAR(std::strtod(fields[11].c_str(), nullptr), 5, 5e-6);
    const double al = std::strtod(fields[5].c_str(), nullptr);
    EXPECT_LT(al, previous);  // a harder beam needs less aluminium
    previous = al;
  }
}

TEST(BatchLock, TheWaitNamesTheFolderAbsolutely) {
  Workplace w;
  const std::string command = "cd " + Quoted(w.folder.path) +
                              " && (flock -x . sleep 1.5 &) && sleep 0.2 && '" XSCATTER_BATCH
                              "' --no-files 2>&1";
  EXPECT_EQ(Shell(command), "xscatter-batch: waiting for another run in " +
                                w.folder.path.lexically_normal().string() + " to finish\n");
}

// A report or list that cannot be written fails the command, with a message.
TEST(BatchOutput, AFullStandardOutputFailsTheCommand) {
  const char* cases[] = {"--report csv", "--sweep angle=30,90 --report json", "--list-materials",
                         "--help"};
  for (const char* args : cases) {
    SCOPED_TRACE(args);
    Workplace w;
    int status = 0;
    const std::string err = Shell(
        "cd " + Quoted(w.folder.path) + " && '" XSCATTER_BATCH "' " + args + " 2>&1 >/dev/full",
        &status);
    EXPECT_EQ(status, kFailed);
    EXPECT_NE(err.find("xscatter-batch: cannot write"), std::string::npos) << err;
  }
}

// A long material name is listed whole, a control character in it escaped.
TEST(BatchMaterials, NamesAreListedWholeAndEscaped) {
  Workplace w;
  const fs::path table = w.folder.path / "Data" / "Materials.csv";
  std::string text = ReadFile(table);
  const std::string name = "Beryllium, as cut from a very long and particular\tsheet";
  text.replace(text.find("\nBe,") + 1, 2, "\"" + name + "\"");
  testing::WriteFile(table, text);
  ASSERT_EQ(w.Run({"--list-materials"}), kDone) << w.err.str();
  EXPECT_NE(
      w.out.str().find("\nBeryllium, as cut from a very long and particular\\x09sheet  1.848\n"),
      std::string::npos)
      << w.out.str();
}

// SIGINT or SIGTERM in the middle of a sweep: the run in hand is finished, every finished run is
// reported and has its whole folder, no temporary file is left, and the status tells the signal.
TEST(BatchSignals, AnInterruptedSweepReportsItsFinishedRuns) {
  const std::pair<const char*, int> cases[] = {{"INT", 130}, {"TERM", 143}};
  for (const auto& [signal, expected] : cases) {
    SCOPED_TRACE(signal);
    Workplace w;
    int status = 0;
    // Signalled once twenty rows are out, so the sweep is under way whatever the machine's speed.
    Shell("cd " + Quoted(w.folder.path) +
              " && : > report.csv && ('" XSCATTER_BATCH
              "' --sweep kv=40:150:0.01 --sweep angle=30,90 --spectra-dir out --report csv "
              "> report.csv 2> err.txt & pid=$!; "
              "while kill -0 $pid 2> /dev/null && [ $(wc -l < report.csv) -lt 20 ]; do "
              "sleep 0.05; done; kill -" +
              signal + " $pid; wait $pid; echo $? > status)",
          &status);
    EXPECT_EQ(std::stoi(ReadFile(w.folder.path / "status")), expected);
    const std::vector<std::string> rows = Split(ReadFile(w.folder.path / "report.csv"));
    ASSERT_GT(rows.size(), 1u);
    ASSERT_LT(rows.size(), 22003u);  // interrupted, not finished: 22,002 runs and the header
    int folders = 0;
    for (const auto& entry : fs::directory_iterator(w.folder.path / "out")) {
      if (entry.path().filename() == "index.csv") continue;
      ++folders;
      int files = 0;
      for (const auto& file : fs::directory_iterator(entry.path())) {
        ++files;
        EXPECT_NE(file.path().filename().string().front(), '.') << file.path();
      }
      EXPECT_EQ(files, 3) << entry.path();
    }
    EXPECT_EQ(folders + 1u, rows.size());
    EXPECT_EQ(Split(ReadFile(w.folder.path / "out" / "index.csv")).size(), rows.size());
  }
}

// Qt is loaded for --plot only: the program itself does not link it, and without its picture
// module --plot fails with a message while everything else still works.
TEST(BatchPlot, QtIsLoadedOnlyForPictures) {
  EXPECT_EQ(Shell("ldd '" XSCATTER_BATCH "' | grep -c libQt"), "0\n");
  Workplace w;
  fs::copy_file(XSCATTER_BATCH, w.folder.path / "alone");
  int status = 0;
  const std::string err =
      Shell("cd " + Quoted(w.folder.path) + " && ./alone --plot a.svg 2>&1", &status);
  EXPECT_EQ(status, kFailed);
  EXPECT_EQ(err.rfind("xscatter-batch: cannot draw pictures: the picture module "
                      "xscatter-batch-plot.so is not installed beside ",
                      0),
            0u)
      << err;
  Shell("cd " + Quoted(w.folder.path) + " && ./alone --angle 90", &status);
  EXPECT_EQ(status, kDone);
  EXPECT_EQ(w.Files(), 3);
}

// The progress line goes to a terminal only (util-linux's script gives the tool one), is cleared
// when the sweep ends, and --quiet silences it; standard error that is no terminal gets nothing.
TEST(BatchProgress, ShownOnATerminalOnlyAndClearedAtTheEnd) {
  if (Shell("command -v script").empty()) GTEST_SKIP() << "no script(1) to make a terminal";
  const struct {
    const char* name;
    const char* args;
    const char* shown;
  } cases[] = {
      {"Terminal", "", "\r221/221 runs, "},
      {"Quiet", " --quiet", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Workplace w;
    const std::string terminal =
        Shell("cd " + Quoted(w.folder.path) +
              " && script -qec \"'" XSCATTER_BATCH "' --sweep kv=40:150:0.5 --no-files" + c.args +
              " > /dev/null\" /dev/null");
    if (*c.shown) {
      EXPECT_NE(terminal.find(c.shown), std::string::npos) << terminal;
      EXPECT_TRUE(terminal.ends_with(" s left\033[K\r\033[K")) << terminal;
    } else {
      EXPECT_EQ(terminal, "");
    }
    int status = 0;
    EXPECT_EQ(Shell("cd " + Quoted(w.folder.path) +
                        " && '" XSCATTER_BATCH "' --sweep kv=40:150:0.5 --no-files 2>&1 >/dev/null",
                    &status),
              "");
  }
}

// A single run with --spectra-dir writes into DIR/0001 as it always did, again on a second run.
TEST(BatchSpectraDir, ASingleRunWritesItsFolderAgainAndAgain) {
  Workplace w;
  const fs::path out = w.folder.path / "out";
  for (const char* angle : {"30", "150"}) {
    SCOPED_TRACE(angle);
    ASSERT_EQ(w.Run({"--angle", angle, "--spectra-dir", out.string()}), kDone) << w.err.str();
    Workplace single;
    ASSERT_EQ(single.Run({"--angle", angle}), kDone);
    for (const char* name : kSpectrumFiles) {
      EXPECT_EQ(ReadFile(out / "0001" / name), ReadFile(single.folder.path / name)) << name;
    }
  }
  EXPECT_EQ(w.Files(), 0);
}

}  // namespace
}  // namespace xscatter::batch
