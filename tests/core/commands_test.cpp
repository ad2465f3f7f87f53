// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "model/commands.h"
#include "model/lenient_number.h"
#include "tests/core/fixture.h"

namespace xscatter {
namespace {

namespace fs = std::filesystem;
using testing::LoadedStore;
using testing::ReadFile;
using enum CommandStatus;

constexpr const char* kSpectrumFiles[] = {"P_Spectrum.dat", "Inc_Spectrum.dat", "Coh_Spectrum.dat"};

// Rows with a warning are rejected; BinCount 77 means untouched. A rejected target angle or
// inherent filtration box is reset to its default.
TEST(CalculateCommand, ValidatesInItsFixedOrder) {
  // kV, target angle, inherent filtration, warning (empty: accepted), bin count.
  const std::tuple<const char*, const char*, const char*, std::string_view, double> cases[] = {
      {"40", "1", "1", "", 80},
      {"150", "120", "2.5", "", 300},
      {"80.3kV", "12deg", "2.5", "", 160},
      {"39.9", "0", "2.5", "\u3000管電圧が範囲外 ", 77},
      {"150.5", "12", "2.5", kVoltageOutOfRange, 77},
      {"", "12", "2.5", kVoltageOutOfRange, 77},
      {"100", "0.5", "0", "\u3000ターゲット角度を再入力\u3000", 200},
      {"100", "", "2.5", kReenterTargetAngle, 200},
      {"120", "12", "0.9", "\u3000固有ろ過を再入力\u3000", 240},
      {"120", "12", "", kReenterInherentFiltration, 240},
      {"100", "179.99", "2.5", "\u3000この条件ではスペクトルを計算できません\u3000", 200}};
  using enum ConditionBox;
  for (const auto& [kv, angle, inherent, warning, bin_count] : cases) {
    SCOPED_TRACE(std::string("'") + kv + "', '" + angle + "', '" + inherent + "'");
    LoadedStore s;
    s.m.BinCount = 77;
    s.panel.boxes[TubeVoltage] = kv;
    s.panel.boxes[TargetAngle] = angle;
    s.panel.boxes[InherentFiltration] = inherent;
    const bool accepted = warning.empty();
    EXPECT_EQ(RunCalculateCommand(s.m), accepted ? Completed : Rejected);
    EXPECT_EQ(s.panel.warnings, std::vector<std::string>(!accepted, std::string(warning)));
    EXPECT_EQ(s.panel.yields, accepted ? 1 : 0);
    EXPECT_EQ(s.m.PrimarySpectrum[60] > 0, accepted);
    EXPECT_EQ(s.m.BinCount, bin_count);
    EXPECT_EQ(s.panel.boxes[TargetAngle], warning == kReenterTargetAngle ? "12" : angle);
    EXPECT_EQ(s.panel.boxes[InherentFiltration],
              warning == kReenterInherentFiltration ? "2.5" : inherent);
    // The same checks on numbers, as callers of the engine make them.
    if (warning == kSpectrumNotComputable) continue;
    const ExposureConditions numbers{LenientNumber(kv), LenientNumber(angle),
                                     LenientNumber(inherent), 0, 0};
    EXPECT_EQ(ConditionsWarning(numbers).value_or(""), warning);
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
    EXPECT_EQ(RunScatterCommand(s.m), accepted ? Completed : Rejected);
    EXPECT_EQ(s.panel.warnings, std::vector<std::string>(!accepted, " 散乱角度が範囲外です "));
    EXPECT_EQ(s.m.ScatterSaved, accepted ? 1 : 0);
    EXPECT_EQ(s.panel.yields, accepted ? 3 : 0);
    EXPECT_EQ(fs::exists(s.folder.path / "Coh_Spectrum.dat"), accepted);
  }
}

TEST(ScatterCommand, CommonMaximumMakesTheHigherSpectrumPeakAtOne) {
  for (bool coherent_high : {true, false}) {
    ScatterRun s("90");
    s.m.WaterCoherent.fill(coherent_high ? 100 : 1e-6);
    s.m.WaterIncoherent.fill(coherent_high ? 1e-6 : 100);
    ASSERT_EQ(RunScatterCommand(s.m), Completed);
    const auto &inc = s.m.IncoherentSpectrum[2], &coh = s.m.CoherentSpectrum;
    const double inc_max = *std::ranges::max_element(inc), coh_max = *std::ranges::max_element(coh);
    EXPECT_EQ(coherent_high ? coh_max : inc_max, 1.0);
    EXPECT_LT(coherent_high ? inc_max : coh_max, 1e-6);
    for (int i = 2; i <= kLastBin; ++i) EXPECT_TRUE(inc[i] == 0 || inc[i] > 1e-100);
  }
}

TEST(ScatterCommand, FailuresKeepThePreviousResultsAndAreNotSaved) {
  const std::pair<const char*, void (*)(ScatterRun&)> cases[] = {
      {"テーブルの範囲外",
       [](ScatterRun& s) { std::ranges::for_each(s.m.ScatterX, [](double& x) { x *= 1e-3; }); }},
      {"対数", [](ScatterRun& s) { s.m.CoherentF[32] = -1; }},
      // Bins 16 to 300 emptied: nothing left to scatter.
      {"正規化できません", [](ScatterRun& s) { std::fill_n(&s.m.PrimarySpectrum[16], 285, 0.0); }},
      {"Coh_Spectrum.dat を書き込めません（同じ名前のフォルダがあります）", [](ScatterRun& s) {
         fs::rename(s.folder.path / "Coh_Spectrum.dat", s.folder.path / "x");
         fs::create_directory(s.folder.path / "Coh_Spectrum.dat");
       }}};
  for (const auto& [message, spoil] : cases) {
    SCOPED_TRACE(message);
    ScatterRun s("90");
    ASSERT_EQ(RunScatterCommand(s.m), Completed);
    s.m.ScatterSaved = 0;
    const Module1 before = s.m;
    const std::string inc_file = ReadFile(s.folder.path / "Inc_Spectrum.dat");
    spoil(s);
    s.panel.angle = "60";
    EXPECT_EQ(RunScatterCommand(s.m), Failed);
    ASSERT_EQ(s.panel.errors.size(), 1u);
    EXPECT_NE(s.panel.errors[0].find(message), std::string::npos) << s.panel.errors[0];
    EXPECT_EQ(s.m.ScatterSaved, 0);
    if (message[0] == 'C') continue;  // a file failed; the spectra themselves were fine
    EXPECT_EQ(s.m.IncoherentSpectrum, before.IncoherentSpectrum);
    EXPECT_EQ(s.m.CoherentSpectrum, before.CoherentSpectrum);
    EXPECT_EQ(s.m.ScatterAngle, before.ScatterAngle);
    EXPECT_EQ(ReadFile(s.folder.path / "Inc_Spectrum.dat"), inc_file);
  }
}

TEST(SpectrumFiles, DefaultRunMatchesAnIndependentImplementationByteForByte) {
  LoadedStore s;
  ASSERT_EQ(RunCalculateCommand(s.m), Completed);
  ASSERT_TRUE(RunWritePrimarySpectrumFile(s.m));
  ASSERT_EQ(RunScatterCommand(s.m), Completed);
  EXPECT_EQ(s.m.ScatterAngle, 1.570795);  // 90 degrees with five-decimal pi
  for (const char* name : kSpectrumFiles) {
    const std::string written = ReadFile(s.folder.path / name);
    EXPECT_EQ(written, ReadFile(fs::path(XSCATTER_REFERENCE_DIR) / name)) << name;
    EXPECT_EQ(written.size(), name[0] == 'P' ? 6616u : 6918u) << name;
  }
}

// The tool's own exit statuses and messages; its options and runs are tested in tests/batch.
TEST(BatchTool, ExitStatusesMessagesAndFiles) {
  const std::tuple<const char*, bool, int, const char*, int> cases[] = {
      {"--kv 100 --target-angle 12 --inherent 2.5 --al 0 --cu 0 --angle 90", true, 0, "", 3},
      {"--kv=", true, 2, "\u3000管電圧が範囲外 ", 0},
      {"--bogus 1", true, 2, "unknown option --bogus", 0},
      {"", false, 1, "Mus.dat を開けません", 0}};
  for (const auto& [args, tables, status, err, files] : cases) {
    SCOPED_TRACE(std::string("'") + args + (tables ? "'" : "' without tables"));
    testing::TempFolder folder;
    if (tables) testing::WriteTestTables(folder.path);
    const std::string command =
        "cd '" + folder.path.string() + "' && '" XSCATTER_BATCH "' " + args + " 2> err.txt";
    EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), status);
    const std::string text = ReadFile(folder.path / "err.txt");
    EXPECT_TRUE(*err ? text.find(err) != std::string::npos : text.empty()) << text;
    int written = 0;
    for (const char* name : kSpectrumFiles) written += fs::exists(folder.path / name);
    EXPECT_EQ(written, files);
  }
}

}  // namespace
}  // namespace xscatter
