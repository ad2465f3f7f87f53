// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/core/fixture.h"
#include "tools/batch/batch_options.h"
#include "tools/batch/batch_run.h"

namespace xscatter::batch {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;

constexpr const char* kSpectrumFiles[] = {"P_Spectrum.dat", "Inc_Spectrum.dat", "Coh_Spectrum.dat"};

// A working folder holding a copy of the shipped tables.
struct Workplace {
  Workplace() {
    fs::create_directories(folder.path / "Data");
    for (const auto& entry : fs::directory_iterator(XSCATTER_DATA_DIR)) {
      if (entry.path().extension() != ".md") {
        fs::copy_file(entry.path(), folder.path / "Data" / entry.path().filename());
      }
    }
  }

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

  int FileCount(const fs::path& where) const {
    int count = 0;
    for (const char* name : kSpectrumFiles) count += fs::exists(where / name);
    return count;
  }

  testing::TempFolder folder;
  std::ostringstream out, err;
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The figures of the default case (100 kV, 12 degrees, 2.5 mm Al, 90 degrees) computed
// independently by reference/independent_figures.py from the shipped tables.
TEST(BatchReport, DefaultCaseMatchesTheIndependentComputation) {
  Workplace w;
  ASSERT_EQ(w.Run({"--angle", "90", "--report", "csv"}), kDone) << w.err.str();
  const std::vector<std::string> lines = Lines(w.out.str());
  ASSERT_EQ(lines.size(), 2u);
  std::vector<std::string> keys, values;
  for (auto [line, into] : {std::pair{lines[0], &keys}, std::pair{lines[1], &values}}) {
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, ',');) into->push_back(field);
  }
  const std::pair<const char*, double> expected[] = {
      {"bin_count", 200},
      {"mean_energy_kev", 48.13233281664644},
      {"kerma_mean_energy_kev", 42.733341107006694},
      {"hvl1_mm_al", 3.63571852848387},
      {"hvl2_mm_al", 5.641478289093321},
      {"homogeneity_al", 0.6444620261169506},
      {"hvl1_mm_cu", 0.13357934654429793},
      {"hvl2_mm_cu", 0.2660962763721333},
      {"homogeneity_cu", 0.5019963013593185},
      {"effective_energy_kev_al", 36.30232618238831},
      {"incoherent_mean_energy_kev", 43.04695830245893},
      {"coherent_mean_energy_kev", 31.88607045835221},
      {"coherent_share", 0.036984986233438745},
      {"scatter_hvl1_mm_al", 2.867261899704517},
  };
  for (const auto& [key, value] : expected) {
    SCOPED_TRACE(key);
    const auto column = std::find(keys.begin(), keys.end(), key);
    ASSERT_NE(column, keys.end());
    EXPECT_NEAR(std::strtod(values[column - keys.begin()].c_str(), nullptr), value, value * 1e-9);
  }
  EXPECT_EQ(w.FileCount(w.folder.path), 3);
}

TEST(BatchReport, JsonOfASingleRunHasTheKeysAndNoScatterWithoutAnAngle) {
  Workplace w;
  ASSERT_EQ(w.Run({"--report", "json"}), kDone);
  const std::string json = w.out.str();
  for (const char* key :
       {"\"conditions\": {\"kv\": 100, \"target_angle_deg\": 12, \"inherent_mm_al\": 2.5, "
        "\"al_mm\": 0, \"cu_mm\": 0}",
        "\"primary\": {\"bin_count\": 200, \"mean_energy_kev\": ", "\"effective_energy_kev_al\""}) {
    EXPECT_NE(json.find(key), std::string::npos) << key << '\n' << json;
  }
  EXPECT_EQ(json.find("scatter"), std::string::npos);
  EXPECT_EQ(json.front(), '{');
}

struct RejectedCase {
  const char* name;
  std::vector<std::string> args;
  const char* warning;
};

// The row's name, not its bytes, in test listings.
void PrintTo(const RejectedCase& row, std::ostream* out) { *out << row.name; }

class RejectedSingleRun : public ::testing::TestWithParam<RejectedCase> {};

// A rejected entry: the warning on standard error, nothing on standard output, no file written.
TEST_P(RejectedSingleRun, WritesNothing) {
  const RejectedCase& c = GetParam();
  Workplace w;
  std::vector<std::string> args = c.args;
  args.insert(args.end(), {"--report", "json"});
  EXPECT_EQ(w.Run(args), kRejected);
  EXPECT_EQ(w.err.str(), std::string(c.warning) + "\n");
  EXPECT_EQ(w.out.str(), "");
  EXPECT_EQ(w.FileCount(w.folder.path), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, RejectedSingleRun,
    ::testing::Values(RejectedCase{"Voltage", {"--kv", "39.9"}, "\u3000管電圧が範囲外 "},
                      RejectedCase{"TargetAngle",
                                   {"--target-angle", "0.5"},
                                   "\u3000ターゲット角度を再入力\u3000"},
                      RejectedCase{"Angle", {"--angle", "175.01"}, " 散乱角度が範囲外です "},
                      RejectedCase{"Uncomputable",
                                   {"--al", "1E6"},
                                   "\u3000この条件ではスペクトルを計算できません\u3000"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BatchSweep, RunsInOrderAndKeepsGoingPastARejectedRow) {
  Workplace w;
  EXPECT_EQ(w.Run({"--sweep", "kv=60,30,80", "--sweep", "angle=5,90", "--report", "csv"}),
            kRejected);
  const std::vector<std::string> lines = Lines(w.out.str());
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0],
            "run,status,kv,target_angle_deg,inherent_mm_al,al_mm,cu_mm,angle_deg,bin_count,"
            "mean_energy_kev,kerma_mean_energy_kev,hvl1_mm_al,hvl2_mm_al,homogeneity_al,"
            "hvl1_mm_cu,hvl2_mm_cu,homogeneity_cu,effective_energy_kev_al,"
            "incoherent_mean_energy_kev,coherent_mean_energy_kev,coherent_share,"
            "scatter_hvl1_mm_al");
  const char* starts[] = {"1,ok,60,12,2.5,0,0,5,120,",
                          "2,ok,60,12,2.5,0,0,90,120,",
                          "3,\"\u3000管電圧が範囲外 \",30,12,2.5,0,0,5,,,,,,,,,,,,,,",
                          "4,\"\u3000管電圧が範囲外 \",30,12,2.5,0,0,90,,,,,,,,,,,,,,",
                          "5,ok,80,12,2.5,0,0,5,160,",
                          "6,ok,80,12,2.5,0,0,90,160,"};
  for (int r = 0; r < 6; ++r) {
    SCOPED_TRACE(r + 1);
    EXPECT_EQ(lines[r + 1].rfind(starts[r], 0), 0u) << lines[r + 1];
  }
  EXPECT_EQ(w.FileCount(w.folder.path), 0);  // a sweep writes files only with --spectra-dir
  EXPECT_NE(w.err.str().find("run 3: \u3000管電圧が範囲外 "), std::string::npos);
}

TEST(BatchSweep, JsonArrayCarriesRunAndStatus) {
  Workplace w;
  EXPECT_EQ(w.Run({"--sweep", "angle=4,90", "--report", "json"}), kRejected);
  const std::string json = w.out.str();
  EXPECT_EQ(json.front(), '[');
  EXPECT_NE(json.find("\"run\": 1,\n    \"status\": \" 散乱角度が範囲外です \""), std::string::npos)
      << json;
  EXPECT_NE(json.find("\"run\": 2,\n    \"status\": \"ok\""), std::string::npos);
  EXPECT_NE(json.find("\"scatter\": null"), std::string::npos);
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

TEST(BatchFilters, ZeroThicknessChangesNothingAndAFilterHardensTheBeam) {
  Workplace w;
  ASSERT_EQ(w.Run({"--angle", "90"}), kDone);
  std::vector<std::string> plain;
  for (const char* name : kSpectrumFiles) plain.push_back(ReadFile(w.folder.path / name));
  ASSERT_EQ(w.Run({"--angle", "90", "--filter", "Sn:0", "--filter", "air:0"}), kDone);
  for (int f = 0; f < 3; ++f) EXPECT_EQ(ReadFile(w.folder.path / kSpectrumFiles[f]), plain[f]);

  // 1 mm of aluminium as a filter and as the added aluminium give the same beam to the digits
  // the tables carry.
  ASSERT_EQ(w.Run({"--filter", "Al:1", "--report", "csv"}), kDone);
  const std::string filtered = Lines(w.out.str())[1];
  ASSERT_EQ(w.Run({"--al", "1", "--report", "csv"}), kDone);
  const std::string added = Lines(w.out.str())[1];
  const auto hvl = [](const std::string& row) {
    std::istringstream in(row);
    std::string field;
    for (int c = 0; c <= 11; ++c) std::getline(in, field, ',');
    return std::strtod(field.c_str(), nullptr);
  };
  EXPECT_NEAR(hvl(filtered), hvl(added), 1e-6);
  ASSERT_EQ(w.Run({"--report", "csv"}), kDone);
  EXPECT_LT(hvl(Lines(w.out.str())[1]), hvl(added) - 0.1);
}

struct FailureCase {
  const char* name;
  std::vector<std::string> args;
  const char* remove;  // a table taken away first, or ""
  int status;
  const char* error;
};

// The row's name, not its bytes, in test listings.
void PrintTo(const FailureCase& row, std::ostream* out) { *out << row.name; }

class BatchFailures : public ::testing::TestWithParam<FailureCase> {};

TEST_P(BatchFailures, NameWhatFailedAndWriteNothing) {
  const FailureCase& c = GetParam();
  Workplace w;
  if (*c.remove) fs::remove(w.folder.path / "Data" / c.remove);
  EXPECT_EQ(w.Run(c.args), c.status);
  EXPECT_NE(w.err.str().find(c.error), std::string::npos) << w.err.str();
  EXPECT_EQ(w.FileCount(w.folder.path), 0);
  EXPECT_EQ(w.out.str(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Failures, BatchFailures,
    ::testing::Values(
        FailureCase{"UnknownMaterial",
                    {"--filter", "Unobtainium:1"},
                    "",
                    kRejected,
                    "unknown filter material 'Unobtainium'"},
        FailureCase{
            "MissingMaterials", {"--filter", "Be:1"}, "Materials.csv", kFailed, "Materials.csv"},
        FailureCase{"MissingAir", {"--report", "text"}, "Air.csv", kFailed, "Air.csv"},
        FailureCase{"MissingPrimaryFile",
                    {"--primary", "nowhere.dat", "--angle", "90"},
                    "",
                    kRejected,
                    "nowhere.dat"},
        FailureCase{"MissingMus", {"--angle", "90"}, "Mus.dat", kFailed, "Mus.dat"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BatchTables, AMissingAirTableChangesNothingWithoutAReport) {
  Workplace w;
  fs::remove(w.folder.path / "Data" / "Air.csv");
  fs::remove(w.folder.path / "Data" / "Materials.csv");
  EXPECT_EQ(w.Run({"--angle", "90"}), kDone) << w.err.str();
  EXPECT_EQ(w.FileCount(w.folder.path), 3);
}

// Importing the primary file of a run and scattering it again gives the run's scatter files, to
// the printed precision wherever the four-digit rounding of the import does not show.
TEST(BatchPrimaryImport, RoundTripOfTheRunsOwnFile) {
  Workplace w;
  ASSERT_EQ(w.Run({"--angle", "60"}), kDone);
  const std::string inc = ReadFile(w.folder.path / "Inc_Spectrum.dat");
  const std::string coh = ReadFile(w.folder.path / "Coh_Spectrum.dat");
  fs::copy_file(w.folder.path / "P_Spectrum.dat", w.folder.path / "imported.dat");
  ASSERT_EQ(w.Run({"--primary", (w.folder.path / "imported.dat").string(), "--angle", "60"}), kDone)
      << w.err.str();
  for (const auto& [name, before] :
       {std::pair{"Inc_Spectrum.dat", inc}, {"Coh_Spectrum.dat", coh}}) {
    SCOPED_TRACE(name);
    const std::vector<std::string> a = Lines(before), b = Lines(ReadFile(w.folder.path / name));
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 1; i < a.size(); ++i) {
      const double energy_a = std::strtod(a[i].c_str(), nullptr);
      const double energy_b = std::strtod(b[i].c_str(), nullptr);
      const double value_a = std::strtod(a[i].c_str() + 9, nullptr);
      const double value_b = std::strtod(b[i].c_str() + 9, nullptr);
      EXPECT_EQ(energy_a, energy_b) << i;
      // The imported primary carries four digits, so each scatter value, and the maximum the
      // values are divided by, can move by half a unit of the fourth digit.
      EXPECT_NEAR(value_b, value_a, 1.1e-3 * value_a) << i;
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
  EXPECT_EQ(w.FileCount(w.folder.path), 1);
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
  const auto count = [&svg](const std::string& what) {
    int n = 0;
    for (std::size_t at = svg.find(what); at != std::string::npos; at = svg.find(what, at + 1)) ++n;
    return n;
  };
  // One primary staircase and three incoherent curves in red, three coherent curves in blue.
  EXPECT_EQ(count("stroke=\"#ff0000\""), 1 + 3);
  EXPECT_EQ(count("stroke=\"#0000ff\""), 3);
  EXPECT_EQ(ReadFile(w.folder.path / "one.png").substr(1, 3), "PNG");
  EXPECT_EQ(w.FileCount(w.folder.path), 3);
}

}  // namespace
}  // namespace xscatter::batch
