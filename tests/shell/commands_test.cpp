// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "app/file_set.h"
#include "model/commands.h"
#include "model/errors.h"
#include "tests/shell/fixture.h"

namespace xscatter {
namespace {

namespace fs = std::filesystem;
using testing::LoadedStore;
using testing::ReadFile;
using enum CommandStatus;

constexpr const char* kSpectrumFiles[] = {"P_Spectrum.dat", "Inc_Spectrum.dat", "Coh_Spectrum.dat"};

// Rows with a warning are rejected; BinCount 77 means untouched. A rejected target angle,
// inherent filtration or added filter box is reset to its default; the others keep their text.
TEST(CalculateCommand, ValidatesInItsFixedOrder) {
  const struct {
    const char *kv, *angle, *inherent, *al, *cu;
    std::string_view warning;  // empty: accepted
    double bin_count;
  } cases[] = {
      {"40", "1", "1", "0", "0", "", 80},
      {"150", "89.99", "2.5", "0", "0", "", 300},
      {"80.3kV", "12deg", "2.5", "0", "0", "", 160},
      {"１００", "１２", "２．５", "２", "０．１", "", 200},  // typed through an input method
      {"39.9", "0", "2.5", "-1", "0", "\u3000管電圧が範囲外 ", 77},
      {"150.5", "12", "2.5", "0", "0", kVoltageOutOfRange, 77},
      {"", "12", "2.5", "0", "0", kVoltageOutOfRange, 77},
      {"100", "0.5", "0", "0", "0", "\u3000ターゲット角度を再入力\u3000", 200},
      {"100", "", "2.5", "0", "0", kReenterTargetAngle, 200},
      {"120", "12", "0.9", "0", "0", "\u3000固有ろ過を再入力\u3000", 240},
      {"120", "120", "", "0", "0", kReenterInherentFiltration, 240},
      {"100", "90", "2.5", "-1", "0", kReenterTargetAngle, 200},
      {"100", "1000", "2.5", "0", "0", kReenterTargetAngle, 200},
      {"100", "12", "2.5", "-3", "-1", "\u3000アルミ付加フィルタを再入力\u3000", 200},
      {"100", "12", "2.5", "－０．１", "0", kReenterAddedAluminium, 200},
      {"100", "12", "2.5", "0", "-0.001", "\u3000銅付加フィルタを再入力\u3000", 200},
      {"100", "12", "2.5", "1E6", "0", "\u3000この条件ではスペクトルを計算できません\u3000", 200}};
  using enum ConditionBox;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("'") + c.kv + "', '" + c.angle + "', '" + c.inherent + "', '" + c.al +
                 "', '" + c.cu + "'");
    LoadedStore s;
    s.m.BinCount = 77;
    s.panel.boxes[TubeVoltage] = c.kv;
    s.panel.boxes[TargetAngle] = c.angle;
    s.panel.boxes[InherentFiltration] = c.inherent;
    s.panel.boxes[AddedAluminium] = c.al;
    s.panel.boxes[AddedCopper] = c.cu;
    const bool accepted = c.warning.empty();
    EXPECT_EQ(RunCalculateCommand(s.m), accepted ? Completed : Rejected);
    EXPECT_EQ(s.panel.warnings, std::vector<std::string>(!accepted, std::string(c.warning)));
    EXPECT_EQ(s.panel.yields, accepted ? 1 : 0);
    EXPECT_EQ(s.m.PrimarySpectrum[60] > 0, accepted);
    EXPECT_EQ(s.m.BinCount, c.bin_count);
    EXPECT_EQ(s.panel.boxes[TubeVoltage], c.kv);
    EXPECT_EQ(s.panel.boxes[TargetAngle], c.warning == kReenterTargetAngle ? "12" : c.angle);
    EXPECT_EQ(s.panel.boxes[InherentFiltration],
              c.warning == kReenterInherentFiltration ? "2.5" : c.inherent);
    EXPECT_EQ(s.panel.boxes[AddedAluminium], c.warning == kReenterAddedAluminium ? "0" : c.al);
    EXPECT_EQ(s.panel.boxes[AddedCopper], c.warning == kReenterAddedCopper ? "0" : c.cu);
  }
}

// Full-width entries give the very files of their ASCII forms.
TEST(CalculateCommand, FullWidthEntriesGiveTheFilesOfTheirAsciiForms) {
  std::string files[2];
  for (const bool full_width : {false, true}) {
    LoadedStore s;
    using enum ConditionBox;
    s.panel.boxes[TubeVoltage] = full_width ? "８０" : "80";
    s.panel.boxes[AddedAluminium] = full_width ? "２" : "2";
    s.panel.angle = full_width ? "６０" : "60";
    ASSERT_EQ(RunCalculateCommand(s.m), Completed);
    ASSERT_TRUE(RunWritePrimarySpectrumFile(s.m));
    ASSERT_EQ(RunScatterCommand(s.m), Completed);
    for (const char* name : kSpectrumFiles) files[full_width] += ReadFile(s.folder.path / name);
  }
  EXPECT_EQ(files[0], files[1]);
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

// The conditions screen's OK writes P_Spectrum.dat only when no other writer (a batch run, a
// Python script) holds the working folder, so the folder never ends with files of two runs.
TEST(SpectrumFiles, TheWindowsWaitForTheFoldersLock) {
  LoadedStore s;
  ASSERT_EQ(RunCalculateCommand(s.m), Completed);
  auto batch_run = std::make_unique<FolderWriter>(s.folder.path);
  std::atomic<bool> written = false;
  std::thread ok([&] { written = RunWritePrimarySpectrumFile(s.m); });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_FALSE(written);
  EXPECT_FALSE(fs::exists(s.folder.path / "P_Spectrum.dat"));
  batch_run.reset();
  ok.join();
  EXPECT_TRUE(written);
  EXPECT_EQ(ReadFile(s.folder.path / "P_Spectrum.dat").size(), 6616u);
}

}  // namespace
}  // namespace xscatter
