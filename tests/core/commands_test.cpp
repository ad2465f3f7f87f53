// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "model/commands.h"
#include "model/lenient_number.h"
#include "tests/core/fixture.h"

namespace xscatter {
namespace {

namespace fs = std::filesystem;
using testing::LoadedStore;
using testing::ReadFile;

TEST(CalculateCommand, ValidatesInItsFixedOrder) {
  const struct {
    const char *kv, *angle, *inherent;
    std::string_view warning;  // empty: accepted
    double bin_count;          // 77: untouched
    const char *angle_after, *inherent_after;
  } cases[] = {
      {"40", "1", "1", "", 80, "1", "1"},
      {"150", "120", "2.5", "", 300, "120", "2.5"},
      {"80.3kV", "12deg", "2.5", "", 160, "12deg", "2.5"},
      {"39.9", "0", "2.5", "\u3000管電圧が範囲外 ", 77, "0", "2.5"},
      {"150.5", "12", "2.5", kVoltageOutOfRange, 77, "12", "2.5"},
      {"", "12", "2.5", kVoltageOutOfRange, 77, "12", "2.5"},
      {"100", "0.5", "0", "\u3000ターゲット角度を再入力\u3000", 200, "12", "0"},
      {"100", "", "2.5", kReenterTargetAngle, 200, "12", "2.5"},
      {"120", "12", "0.9", "\u3000固有ろ過を再入力\u3000", 240, "12", "2.5"},
      {"120", "12", "", kReenterInherentFiltration, 240, "12", "2.5"},
      {"100", "179.99", "2.5", "\u3000この条件ではスペクトルを計算できません\u3000", 200, "179.99",
       "2.5"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("kV '") + c.kv + "', angle '" + c.angle + "', inherent '" +
                 c.inherent + "'");
    LoadedStore s;
    s.m.BinCount = 77;
    s.panel.boxes[ConditionBox::TubeVoltage] = c.kv;
    s.panel.boxes[ConditionBox::TargetAngle] = c.angle;
    s.panel.boxes[ConditionBox::InherentFiltration] = c.inherent;
    const bool accepted = c.warning.empty();
    EXPECT_EQ(RunCalculateCommand(s.m),
              accepted ? CommandStatus::Completed : CommandStatus::Rejected)
        << c.kv;
    EXPECT_EQ(s.panel.warnings, accepted ? std::vector<std::string>{}
                                         : std::vector<std::string>{std::string(c.warning)});
    EXPECT_EQ(s.panel.yields, accepted ? 1 : 0);
    EXPECT_EQ(s.m.PrimarySpectrum[60] > 0, accepted);
    EXPECT_EQ(s.m.BinCount, c.bin_count) << c.kv;
    EXPECT_EQ(s.panel.boxes[ConditionBox::TargetAngle], c.angle_after);
    EXPECT_EQ(s.panel.boxes[ConditionBox::InherentFiltration], c.inherent_after);
    // The same checks on numbers, as callers of the engine make them.
    const ExposureConditions numbers{LenientNumber(c.kv), LenientNumber(c.angle),
                                     LenientNumber(c.inherent), 0, 0};
    if (c.warning != kSpectrumNotComputable) {
      EXPECT_EQ(ConditionsWarning(numbers).value_or(""), c.warning) << c.kv;
    }
  }
}

// A primary spectrum at the default conditions, ready for a scatter run at `angle`.
struct ScatterRun : LoadedStore {
  explicit ScatterRun(const char* angle) {
    RunCalculateCommand(m);
    panel.yields = 0;
    panel.angle = angle;
  }
};

TEST(ScatterCommand, AngleRange) {
  const std::pair<const char*, bool> cases[] = {{"5", true},     {"175", true},     {"90度", true},
                                                {"4.99", false}, {"175.01", false}, {"", false},
                                                {"abc", false}};
  for (const auto& [angle, accepted] : cases) {
    SCOPED_TRACE(std::string("angle '") + angle + "'");
    ScatterRun s(angle);
    EXPECT_EQ(RunScatterCommand(s.m),
              accepted ? CommandStatus::Completed : CommandStatus::Rejected);
    EXPECT_EQ(s.panel.warnings.size(), accepted ? 0u : 1u) << angle;
    if (!accepted) {
      EXPECT_EQ(s.panel.warnings[0], " 散乱角度が範囲外です ");
    }
    EXPECT_EQ(s.m.ScatterSaved, accepted ? 1 : 0);
    EXPECT_EQ(s.panel.yields, accepted ? 3 : 0);
    EXPECT_EQ(fs::exists(s.folder.path / "Coh_Spectrum.dat"), accepted);
  }
  ScatterRun s("90");
  RunScatterCommand(s.m);
  EXPECT_EQ(s.m.ScatterAngle, 1.570795);  // five-decimal pi
}

TEST(ScatterCommand, CommonMaximumMakesTheHigherSpectrumPeakAtOne) {
  for (bool coherent_high : {true, false}) {
    ScatterRun s("90");
    s.m.WaterCoherent.fill(coherent_high ? 100 : 1e-6);
    s.m.WaterIncoherent.fill(coherent_high ? 1e-6 : 100);
    ASSERT_EQ(RunScatterCommand(s.m), CommandStatus::Completed);
    const auto &inc = s.m.IncoherentSpectrum[2], &coh = s.m.CoherentSpectrum;
    const double inc_max = *std::max_element(inc.begin(), inc.end());
    const double coh_max = *std::max_element(coh.begin(), coh.end());
    EXPECT_EQ(coherent_high ? coh_max : inc_max, 1.0);
    EXPECT_LT(coherent_high ? inc_max : coh_max, 1e-6);
    for (int i = 2; i <= kLastBin; ++i) EXPECT_TRUE(inc[i] == 0 || inc[i] > 1e-100);
  }
}

TEST(ScatterCommand, FailuresKeepThePreviousResultsAndAreNotSaved) {
  const struct {
    const char* message;
    void (*spoil)(ScatterRun&);
  } cases[] = {
      {"テーブルの範囲外",
       [](ScatterRun& s) {
         for (int r = 1; r <= kTableRows; ++r) s.m.ScatterX[r] = 0.001 * r;
       }},
      {"対数", [](ScatterRun& s) { s.m.CoherentF[32] = -1; }},
      {"正規化できません",
       [](ScatterRun& s) {
         std::fill(s.m.PrimarySpectrum.begin() + 16, s.m.PrimarySpectrum.end(), 0);
       }},
      {"Coh_Spectrum.dat を書き込めません（同じ名前のフォルダがあります）",
       [](ScatterRun& s) {
         fs::rename(s.folder.path / "Coh_Spectrum.dat", s.folder.path / "x");
         fs::create_directory(s.folder.path / "Coh_Spectrum.dat");
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    ScatterRun s("90");
    ASSERT_EQ(RunScatterCommand(s.m), CommandStatus::Completed);
    s.m.ScatterSaved = 0;
    const Module1 before = s.m;
    const std::string inc_file = ReadFile(s.folder.path / "Inc_Spectrum.dat");
    c.spoil(s);
    s.panel.angle = "60";
    EXPECT_EQ(RunScatterCommand(s.m), CommandStatus::Failed) << c.message;
    ASSERT_EQ(s.panel.errors.size(), 1u);
    EXPECT_NE(s.panel.errors[0].find(c.message), std::string::npos) << s.panel.errors[0];
    EXPECT_EQ(s.m.ScatterSaved, 0);
    if (std::string(c.message).find("Coh_") == 0) continue;  // the spectra themselves were fine
    EXPECT_EQ(s.m.IncoherentSpectrum, before.IncoherentSpectrum);
    EXPECT_EQ(s.m.CoherentSpectrum, before.CoherentSpectrum);
    EXPECT_EQ(s.m.ScatterAngle, before.ScatterAngle);
    EXPECT_EQ(ReadFile(s.folder.path / "Inc_Spectrum.dat"), inc_file);
  }
}

TEST(SpectrumFiles, DefaultRunMatchesAnIndependentImplementationByteForByte) {
  LoadedStore s;
  ASSERT_EQ(RunCalculateCommand(s.m), CommandStatus::Completed);
  ASSERT_TRUE(RunWritePrimarySpectrumFile(s.m));
  ASSERT_EQ(RunScatterCommand(s.m), CommandStatus::Completed);
  for (const char* name : {"P_Spectrum.dat", "Inc_Spectrum.dat", "Coh_Spectrum.dat"}) {
    const std::string written = ReadFile(s.folder.path / name);
    EXPECT_EQ(written, ReadFile(fs::path(XSCATTER_REFERENCE_DIR) / name)) << name;
    EXPECT_EQ(written.size(), name[0] == 'P' ? 6616u : 6918u) << name;
  }
}

TEST(BatchTool, ExitStatusesMessagesAndFiles) {
  const struct {
    const char* args;
    int status;
    const char* err;  // part of standard error
    int files;
  } cases[] = {
      {"--kv 100 --target-angle 12 --inherent 2.5 --al 0 --cu 0 --angle 90", 0, "", 3},
      {"--kv=100kV", 0, "", 1},
      {"--kv=", 2, "\u3000管電圧が範囲外 ", 0},
      {"--angle 4", 2, " 散乱角度が範囲外です ", 0},  // nothing written for a rejected entry
      {"--bogus", 2, "unknown option --bogus", 0},
      {"--bogus 1", 2, "unknown option --bogus", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    testing::TempFolder folder;
    testing::WriteTestTables(folder.path);
    const std::string command =
        "cd '" + folder.path.string() + "' && '" XSCATTER_BATCH "' " + c.args + " 2> err.txt";
    const int raw = std::system(command.c_str());
    EXPECT_EQ(WEXITSTATUS(raw), c.status) << c.args;
    const std::string err = ReadFile(folder.path / "err.txt");
    EXPECT_TRUE(*c.err ? err.find(c.err) != std::string::npos : err.empty()) << c.args << err;
    int files = 0;
    for (const char* name : {"P_Spectrum.dat", "Inc_Spectrum.dat", "Coh_Spectrum.dat"}) {
      files += fs::exists(folder.path / name);
    }
    EXPECT_EQ(files, c.files) << c.args;
  }
  testing::TempFolder no_tables;
  const std::string command = "cd '" + no_tables.path.string() + "' && '" XSCATTER_BATCH "' 2> e";
  EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), 1);
  EXPECT_NE(ReadFile(no_tables.path / "e").find("Mus.dat を開けません"), std::string::npos);
}

}  // namespace
}  // namespace xscatter
