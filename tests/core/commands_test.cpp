#include <gtest/gtest.h>

#include <filesystem>

#include "model/commands.h"
#include "tests/core/core_fixture.h"

namespace xscatter {
namespace {

namespace fs = std::filesystem;
using testing::LoadedStore;

TEST(WarningTexts, AreExact) {
  EXPECT_EQ(kVoltageOutOfRange, "\xE3\x80\x80管電圧が範囲外 ");
  EXPECT_EQ(kReenterTargetAngle, "\xE3\x80\x80ターゲット角度を再入力\xE3\x80\x80");
  EXPECT_EQ(kReenterInherentFiltration, "\xE3\x80\x80固有ろ過を再入力\xE3\x80\x80");
  EXPECT_EQ(kScatterAngleOutOfRange, " 散乱角度が範囲外です ");
  EXPECT_EQ(kSpectrumNotComputable,
            "\xE3\x80\x80この条件ではスペクトルを計算できません\xE3\x80\x80");
}

TEST(CalculateCommand, ValidatesInItsFixedOrder) {
  const struct {
    const char *kv, *angle, *inherent;
    std::string_view warning;  // empty: accepted
    double bin_count;          // after the command; -1: unchanged from 77
    const char *angle_after, *inherent_after;
  } cases[] = {
      {"100", "12", "2.5", "", 200, "12", "2.5"},
      {"40", "1", "1", "", 80, "1", "1"},
      {"150", "120", "2.5", "", 300, "120", "2.5"},
      {"80.3", "12", "2.5", "", 160, "12", "2.5"},
      {"100kV", "12deg", "2.5", "", 200, "12deg", "2.5"},
      {"39.9", "12", "2.5", kVoltageOutOfRange, -1, "12", "2.5"},
      {"150.5", "12", "2.5", kVoltageOutOfRange, -1, "12", "2.5"},
      {"", "12", "2.5", kVoltageOutOfRange, -1, "12", "2.5"},
      {"kV", "0", "0", kVoltageOutOfRange, -1, "0", "0"},
      {"100", "0.5", "0", kReenterTargetAngle, 200, "12", "0"},
      {"100", "", "2.5", kReenterTargetAngle, 200, "12", "2.5"},
      {"120", "12", "0.9", kReenterInherentFiltration, 240, "12", "2.5"},
      {"120", "12", "", kReenterInherentFiltration, 240, "12", "2.5"},
      {"100", "179.99", "2.5", kSpectrumNotComputable, 200, "179.99", "2.5"},
  };
  for (const auto& c : cases) {
    LoadedStore s;
    s.m.BinCount = 77;
    s.panel.boxes[ConditionBox::TubeVoltage] = c.kv;
    s.panel.boxes[ConditionBox::TargetAngle] = c.angle;
    s.panel.boxes[ConditionBox::InherentFiltration] = c.inherent;
    const CommandStatus status = RunCalculateCommand(s.m);
    if (c.warning.empty()) {
      EXPECT_EQ(status, CommandStatus::Completed) << c.kv;
      EXPECT_TRUE(s.panel.warnings.empty());
      EXPECT_EQ(s.panel.yields, 1);
      EXPECT_EQ(s.m.PrimarySpectrum[2] > 0, true);
    } else {
      EXPECT_EQ(status, CommandStatus::Rejected) << c.kv;
      ASSERT_EQ(s.panel.warnings.size(), 1u) << c.kv;
      EXPECT_EQ(s.panel.warnings[0], c.warning);
      EXPECT_EQ(s.panel.yields, 0);
      EXPECT_EQ(s.m.PrimarySpectrum, GridArray{}) << c.kv;
    }
    EXPECT_EQ(s.m.BinCount, c.bin_count < 0 ? 77 : c.bin_count) << c.kv;
    EXPECT_EQ(s.panel.boxes[ConditionBox::TargetAngle], c.angle_after);
    EXPECT_EQ(s.panel.boxes[ConditionBox::InherentFiltration], c.inherent_after);
    EXPECT_TRUE(s.panel.errors.empty());
  }
}

TEST(CalculateCommand, RejectedAngleKeepsTheOldSpectrumButTakesTheNewBinCount) {
  LoadedStore s;
  ASSERT_EQ(RunCalculateCommand(s.m), CommandStatus::Completed);
  const GridArray before = s.m.PrimarySpectrum;
  s.panel.boxes[ConditionBox::TubeVoltage] = "60";
  s.panel.boxes[ConditionBox::TargetAngle] = "0";
  EXPECT_EQ(RunCalculateCommand(s.m), CommandStatus::Rejected);
  EXPECT_EQ(s.m.BinCount, 120);
  EXPECT_EQ(s.m.PrimarySpectrum, before);
}

// A primary spectrum at the default conditions, then a scatter run at `angle`.
struct ScatterRun : LoadedStore {
  explicit ScatterRun(const char* angle) {
    RunCalculateCommand(m);
    panel.yields = 0;
    panel.angle = angle;
  }
};

TEST(ScatterCommand, AngleRange) {
  const struct {
    const char* angle;
    bool accepted;
  } cases[] = {{"5", true},       {"175", true}, {"90", true},   {"90度", true}, {"4.99", false},
               {"175.01", false}, {"", false},   {"abc", false}, {"-90", false}, {"1E999", false}};
  for (const auto& c : cases) {
    ScatterRun s(c.angle);
    const CommandStatus status = RunScatterCommand(s.m);
    const bool files = fs::exists(s.folder.Path() / "Inc_Spectrum.dat") &&
                       fs::exists(s.folder.Path() / "Coh_Spectrum.dat");
    if (c.accepted) {
      EXPECT_EQ(status, CommandStatus::Completed) << c.angle;
      EXPECT_EQ(s.m.ScatterSaved, 1);
      EXPECT_EQ(s.panel.yields, 3);
      EXPECT_TRUE(files);
    } else {
      EXPECT_EQ(status, CommandStatus::Rejected) << c.angle;
      ASSERT_EQ(s.panel.warnings.size(), 1u);
      EXPECT_EQ(s.panel.warnings[0], kScatterAngleOutOfRange);
      EXPECT_EQ(s.m.ScatterSaved, 0);
      EXPECT_EQ(s.m.ScatterAngle, 0.0);
      EXPECT_EQ(s.panel.yields, 0);
      EXPECT_FALSE(files);
    }
  }
}

TEST(ScatterCommand, AngleInRadiansUsesFiveDecimalPi) {
  ScatterRun s("90");
  RunScatterCommand(s.m);
  EXPECT_EQ(s.m.ScatterAngle, 1.570795);
}

TEST(ScatterCommand, CommonMaximumMakesTheHigherSpectrumPeakAtOne) {
  for (const char* weights : {"coherent high", "incoherent high"}) {
    ScatterRun s("90");
    const bool coherent_high = std::string(weights) == "coherent high";
    for (int i = 1; i <= kLastBin; ++i) {
      s.m.WaterCoherent[i] = coherent_high ? 100 : 1e-6;
      s.m.WaterIncoherent[i] = coherent_high ? 1e-6 : 100;
    }
    ASSERT_EQ(RunScatterCommand(s.m), CommandStatus::Completed);
    const auto& inc = s.m.IncoherentSpectrum[2];
    const auto& coh = s.m.CoherentSpectrum;
    const double inc_max = *std::max_element(inc.begin() + 2, inc.end());
    const double coh_max = *std::max_element(coh.begin() + 2, coh.end());
    EXPECT_EQ(coherent_high ? coh_max : inc_max, 1.0) << weights;
    EXPECT_LT(coherent_high ? inc_max : coh_max, 1e-6) << weights;
    for (int i = 2; i <= kLastBin; ++i) {
      EXPECT_TRUE(inc[i] == 0 || inc[i] > 1e-100);
      EXPECT_TRUE(coh[i] == 0 || coh[i] > 1e-100);
    }
  }
}

TEST(ScatterCommand, ModelErrorsKeepThePreviousResults) {
  const struct {
    const char* what;
    void (*spoil)(Module1&);
  } cases[] = {
      {"テーブルの範囲外",
       [](Module1& m) {
         for (int r = 1; r <= kTableRows; ++r) m.ScatterX[r] = 0.001 * r;
       }},
      {"対数", [](Module1& m) { m.CoherentF[32] = -1; }},
      {"ゼロによる除算", [](Module1& m) { m.ScatterX[1] = m.ScatterX[2] = 0.5; }},
      {"正規化できません",
       [](Module1& m) {
         for (int i = 16; i <= kLastBin; ++i) m.PrimarySpectrum[i] = 0;
       }},
  };
  for (const auto& c : cases) {
    ScatterRun s("90");
    ASSERT_EQ(RunScatterCommand(s.m), CommandStatus::Completed);
    s.m.ScatterSaved = 0;
    const Module1 before = s.m;
    const std::string inc_file = testing::ReadFile(s.folder.Path() / "Inc_Spectrum.dat");
    c.spoil(s.m);
    s.panel.angle = "60";
    EXPECT_EQ(RunScatterCommand(s.m), CommandStatus::Failed) << c.what;
    ASSERT_EQ(s.panel.errors.size(), 1u);
    EXPECT_NE(s.panel.errors[0].find(c.what), std::string::npos) << s.panel.errors[0];
    EXPECT_EQ(s.m.IncoherentSpectrum, before.IncoherentSpectrum);
    EXPECT_EQ(s.m.CoherentSpectrum, before.CoherentSpectrum);
    EXPECT_EQ(s.m.ScatterAngle, before.ScatterAngle);
    EXPECT_EQ(s.m.CommonMaximum, before.CommonMaximum);
    EXPECT_EQ(s.m.ScatterSaved, 0);
    EXPECT_EQ(testing::ReadFile(s.folder.Path() / "Inc_Spectrum.dat"), inc_file);
  }
}

TEST(ScatterCommand, UnwritableFileIsReportedAndNotCountedAsSaved) {
  ScatterRun s("90");
  fs::create_directory(s.folder.Path() / "Coh_Spectrum.dat");
  EXPECT_EQ(RunScatterCommand(s.m), CommandStatus::Failed);
  ASSERT_EQ(s.panel.errors.size(), 1u);
  EXPECT_NE(s.panel.errors[0].find("Coh_Spectrum.dat"), std::string::npos);
  EXPECT_EQ(s.m.ScatterSaved, 0);
  EXPECT_EQ(fs::file_size(s.folder.Path() / "Inc_Spectrum.dat"), 6918u);
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(s.folder.Path())) ++entries;
  EXPECT_EQ(entries, 3);  // Data, Inc_Spectrum.dat and the folder in the way: no temporary left
}

TEST(LoadAndWriteCommands, ReportFailuresThroughThePanel) {
  testing::TempFolder empty;
  testing::FakePanel panel;
  Module1 m;
  m.AttachPanel(&panel);
  m.SetWorkingFolder(empty.Path());
  EXPECT_FALSE(RunLoadDataTables(m));
  ASSERT_EQ(panel.errors.size(), 1u);
  EXPECT_NE(panel.errors[0].find("Mus.dat"), std::string::npos);

  fs::create_directory(empty.Path() / "P_Spectrum.dat");
  EXPECT_FALSE(RunWritePrimarySpectrumFile(m));
  ASSERT_EQ(panel.errors.size(), 2u);
  EXPECT_NE(panel.errors[1].find("P_Spectrum.dat"), std::string::npos);
}

}  // namespace
}  // namespace xscatter
