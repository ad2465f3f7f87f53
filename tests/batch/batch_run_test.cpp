// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace xscatter::batch
