// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>
#include <future>
#include <memory>
#include <thread>

#include "app/file_set.h"
#include "model/errors.h"
#include "tests/support/files.h"

namespace xscatter {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::TempFolder;

TEST(FileSets, NamesAndTexts) {
  GridArray primary{}, energy{}, incoherent{}, coherent{};
  primary[3] = 1;
  energy[3] = 1.497;
  incoherent[3] = 0.25;
  coherent[3] = 0.5;
  const FileSet p = PrimaryFileSet(primary);
  ASSERT_EQ(p.size(), 1u);
  EXPECT_EQ(p[0].first, "P_Spectrum.dat");
  EXPECT_EQ(p[0].second.substr(0, 82),
            " keV   Fluence\r\n5.000E-01  0.000E+00\r\n1.000E+00  0.000E+00\r\n"
            "1.500E+00  1.000E+00\r\n");
  ScatterResult scatter;
  scatter.energy = energy;
  scatter.incoherent = incoherent;
  scatter.coherent = coherent;
  const FileSet s = ScatterFileSet(scatter);
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s[0].first, "Inc_Spectrum.dat");
  EXPECT_EQ(s[1].first, "Coh_Spectrum.dat");
  EXPECT_NE(s[0].second.find("\r\n1.497E+00  2.5000E-01\r\n"), std::string::npos);
  EXPECT_NE(s[1].second.find("\r\n1.500E+00  5.0000E-01\r\n"), std::string::npos);
}

// A writer from another front end (here another thread; between processes flock behaves alike)
// holds the folder: the set is written only after it lets go, so the folder never holds files of
// two runs.
TEST(FolderWriter, WaitsForTheFoldersLockBeforeWriting) {
  TempFolder folder;
  auto batch_run = std::make_unique<FolderWriter>(folder.path);
  batch_run->Write({{"P_Spectrum.dat", "batch P"}});
  std::promise<void> waiting;
  std::thread window([&] {
    WriteFileSet(folder.path, {{"P_Spectrum.dat", "window P"}}, [&] { waiting.set_value(); });
  });
  waiting.get_future().wait();
  batch_run->Write({{"Inc_Spectrum.dat", "batch Inc"}, {"Coh_Spectrum.dat", "batch Coh"}});
  EXPECT_EQ(ReadFile(folder.path / "P_Spectrum.dat"), "batch P");
  batch_run.reset();
  window.join();
  EXPECT_EQ(ReadFile(folder.path / "P_Spectrum.dat"), "window P");
  EXPECT_EQ(ReadFile(folder.path / "Coh_Spectrum.dat"), "batch Coh");
}

TEST(FolderWriter, FailuresNameTheFileAndTheFolder) {
  TempFolder folder;
  fs::create_directory(folder.path / "P_Spectrum.dat");
  try {
    WriteFileSet(folder.path, {{"P_Spectrum.dat", "x"}});
    FAIL() << "a folder was replaced";
  } catch (const FileWriteError& error) {
    EXPECT_EQ(error.kind, "スペクトルファイル");
    EXPECT_EQ(error.file, folder.path / "P_Spectrum.dat");
    EXPECT_EQ(std::string(error.what()), "スペクトルファイル P_Spectrum.dat を書き込めません（" +
                                             error.reason +
                                             "）。\n保存先フォルダ: " + folder.path.string());
  }
  try {
    WriteFileSet(folder.path / "missing", {{"a.dat", "b"}});
    FAIL() << "written into a missing folder";
  } catch (const FileWriteError& error) {
    EXPECT_EQ(error.file, folder.path / "missing" / "a.dat");
    EXPECT_EQ(error.reason, "No such file or directory");
  }
}

}  // namespace
}  // namespace xscatter
