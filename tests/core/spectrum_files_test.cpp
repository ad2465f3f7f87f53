// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <csignal>
#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include "model/errors.h"
#include "output/number_format.h"
#include "output/replace_files.h"
#include "output/spectrum_files.h"
#include "tests/core/fixture.h"

namespace xscatter {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::TempFolder;
using Files = std::vector<std::pair<std::string, std::string>>;

// Line `line` (0 = header) of a file text, without its CR LF.
std::string Line(const std::string& text, int line) {
  std::size_t start = 0;
  for (int i = 0; i < line; ++i) start = text.find("\r\n", start) + 2;
  return text.substr(start, text.find("\r\n", start) - start);
}

std::set<std::string> Entries(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

TEST(SpectrumFiles, LayoutsByteForByte) {
  GridArray zero{}, primary{}, energy{}, fluence{}, coherent{};
  primary[200] = 0.5;
  primary[50] = 2.5E-120;
  energy[200] = 83.633;
  fluence[200] = 0.5;
  fluence[300] = 1;
  coherent[200] = 0.5;
  coherent[1] = 0.999996;
  const struct {
    const char* name;
    std::string text;
    std::size_t size;
    int line;
    const char* expected;
  } cases[] = {
      {"primary first line", PrimarySpectrumText(zero), 6616, 1, "5.000E-01  0.000E+00"},
      {"primary last line", PrimarySpectrumText(zero), 6616, 300, "1.500E+02  0.000E+00"},
      {"primary 100 keV", PrimarySpectrumText(primary), 6617, 200, "1.000E+02  5.000E-01"},
      {"primary three-digit exponent", PrimarySpectrumText(primary), 6617, 50,
       "2.500E+01  2.500E-120"},
      {"incoherent without scatter", IncoherentSpectrumText(zero, zero), 6918, 1,
       "0.000E+00  0.0000E+00"},
      {"incoherent scattered energy", IncoherentSpectrumText(energy, fluence), 6918, 200,
       "8.363E+01  5.0000E-01"},
      {"incoherent maximum", IncoherentSpectrumText(energy, fluence), 6918, 300,
       "0.000E+00  1.0000E+00"},
      {"coherent rounding into the exponent", CoherentSpectrumText(coherent), 6918, 1,
       "5.000E-01  1.0000E+00"},
      {"coherent 100 keV", CoherentSpectrumText(coherent), 6918, 200, "1.000E+02  5.0000E-01"},
      {"coherent last line", CoherentSpectrumText(coherent), 6918, 300, "1.500E+02  0.0000E+00"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.text.size(), c.size);
    EXPECT_EQ(Line(c.text, c.line), c.expected);
  }
}

TEST(FormatScientific, AnyNumberOfDecimals) {
  const struct {
    const char* name;
    double value;
    int decimals;
    std::size_t size;
    const char* begins;
    const char* ends;
  } cases[] = {
      {"no decimals", 0.25, 0, 5, "2E-01", "2E-01"},
      {"negative decimals read as none", 0.35, -4, 5, "3E-01", "3E-01"},
      {"thirty decimals", -0.5, 30, 37, "-5.0000000000", "00000E-01"},
      {"smallest subnormal, every digit", 4.9406564584124654E-324, 766, 773,
       "4.9406564584124654417656879286822137236505980261432476442558",
       "4472656250000000000000000E-324"},
      {"beyond the limit", 1.0 / 3, 5000, 1006, "3.33333333333333314829616256247", "0000E-01"},
      {"largest double", 1.7976931348623157E308, 16, 23, "1.7976931348623157E+308",
       "1.7976931348623157E+308"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string text = FormatScientific(c.value, c.decimals);
    EXPECT_EQ(text.size(), c.size);
    EXPECT_TRUE(text.starts_with(c.begins)) << text.substr(0, 60);
    EXPECT_TRUE(text.ends_with(c.ends)) << text.substr(text.size() - 20);
  }
}

// Holds an exclusive lock on a file, as a live writer holds its temporary file.
struct HeldLock {
  explicit HeldLock(const fs::path& path) : fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    EXPECT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
  }
  ~HeldLock() { ::close(fd); }
  int fd;
};

TEST(ReplaceFiles, ReplacesWholeFilesWithNormalPermissionsAndNoLitter) {
  const struct {
    const char* name;
    mode_t umask;
    mode_t mode;
  } cases[] = {{"umask 022", 022, 0644}, {"umask 027", 027, 0640}, {"umask 0", 0, 0666}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    testing::WriteFile(folder.path / "a.dat", std::string(10000, 'x'));
    ::chmod((folder.path / "a.dat").c_str(), 0600);
    const mode_t previous = ::umask(c.umask);
    ReplaceFiles(folder.path, {{"a.dat", "new a"}, {"b.dat", "new b"}});
    ::umask(previous);
    EXPECT_EQ(ReadFile(folder.path / "a.dat"), "new a");
    EXPECT_EQ(ReadFile(folder.path / "b.dat"), "new b");
    EXPECT_EQ(Entries(folder.path), (std::set<std::string>{"a.dat", "b.dat"}));
    for (const char* name : {"a.dat", "b.dat"}) {
      struct stat status {};
      ASSERT_EQ(::stat((folder.path / name).c_str(), &status), 0);
      EXPECT_EQ(status.st_mode & 07777, c.mode) << name;
    }
  }
}

TEST(ReplaceFiles, FailuresReplaceNothingAndLeaveNoTemporaryFile) {
  const struct {
    const char* name;
    std::function<void(const fs::path&)> spoil;
    const char* reason;  // of b.dat
  } cases[] = {
      {"read-only target", [](const fs::path& f) { ::chmod((f / "b.dat").c_str(), 0444); },
       "読み取り専用のファイルです"},
      {"folder of the same name",
       [](const fs::path& f) {
         fs::remove(f / "b.dat");
         fs::create_directory(f / "b.dat");
       },
       "同じ名前のフォルダがあります"},
      {"file size limit reached while writing",
       [](const fs::path&) {
         const rlimit limit{4000, RLIM_INFINITY};
         ::setrlimit(RLIMIT_FSIZE, &limit);
       },
       "File too large"},
  };
  std::signal(SIGXFSZ, SIG_IGN);  // a write beyond the limit fails instead of killing the test
  rlimit unlimited{};
  ::getrlimit(RLIMIT_FSIZE, &unlimited);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    testing::WriteFile(folder.path / "a.dat", "old a");
    testing::WriteFile(folder.path / "b.dat", "old b");
    c.spoil(folder.path);
    const std::set<std::string> before = Entries(folder.path);
    try {
      ReplaceFiles(folder.path, {{"a.dat", "new a"}, {"b.dat", std::string(5000, 'b')}});
      ADD_FAILURE() << "no error";
    } catch (const FileWriteError& error) {
      EXPECT_EQ(std::string(error.what()),
                std::string("スペクトルファイル b.dat を書き込めません（") + c.reason +
                    "）。\n保存先フォルダ: " + folder.path.string());
    }
    ::setrlimit(RLIMIT_FSIZE, &unlimited);
    EXPECT_EQ(ReadFile(folder.path / "a.dat"), "old a");
    EXPECT_EQ(Entries(folder.path), before);
  }
  std::signal(SIGXFSZ, SIG_DFL);

  // A relative folder is named as the absolute folder, without a trailing "/" for ".".
  TempFolder folder;
  fs::create_directory(folder.path / "P_Spectrum.dat");
  const fs::path previous = fs::current_path();
  fs::current_path(folder.path);
  try {
    ReplaceFiles(".", {{"P_Spectrum.dat", "x"}});
    ADD_FAILURE() << "no error";
  } catch (const FileWriteError& error) {
    EXPECT_EQ(std::string(error.what()),
              "スペクトルファイル P_Spectrum.dat を書き込めません（同じ名前のフォルダがあります）。"
              "\n保存先フォルダ: " +
                  folder.path.string());
  }
  fs::current_path(previous);
  try {
    ReplaceFiles("/no/such/folder", {{"P_Spectrum.dat", "x"}});
    ADD_FAILURE() << "no error";
  } catch (const FileWriteError& error) {
    EXPECT_STREQ(error.what(),
                 "スペクトルファイル P_Spectrum.dat を書き込めません（No such file or "
                 "directory）。\n保存先フォルダ: /no/such/folder");
  }
}

TEST(ReplaceFiles, RemovesLeftoversOfItsOwnNameUnlessTheirWriterIsAlive) {
  TempFolder folder;
  const std::string stale = ".P_Spectrum.dat.Ab3dEf6hIj9k";  // left by a killed writer
  const std::string live = ".P_Spectrum.dat.LiveWriter00";   // another process still writes
  const std::string other = ".Coh_Spectrum.dat.Ab3dEf6hIj9k";
  const std::string unlike = ".P_Spectrum.dat.short";
  for (const std::string& name : {stale, live, other, unlike}) {
    testing::WriteFile(folder.path / name, "partial");
  }
  const HeldLock writer(folder.path / live);
  ReplaceFiles(folder.path, {{"P_Spectrum.dat", "complete"}});
  EXPECT_EQ(Entries(folder.path), (std::set<std::string>{"P_Spectrum.dat", live, other, unlike}));
  EXPECT_EQ(ReadFile(folder.path / "P_Spectrum.dat"), "complete");
}

TEST(SpectrumFiles, ScatterFilesAreReplacedTogether) {
  testing::LoadedStore s;
  s.m.IncoherentSpectrum[2][100] = 0.5;
  s.m.CoherentSpectrum[100] = 0.25;
  s.m.WriteScatterSpectrumFiles();
  const std::string inc = ReadFile(s.folder.path / "Inc_Spectrum.dat");
  EXPECT_EQ(Line(inc, 100), "0.000E+00  5.0000E-01");
  EXPECT_EQ(Line(ReadFile(s.folder.path / "Coh_Spectrum.dat"), 100), "5.000E+01  2.5000E-01");

  ::chmod((s.folder.path / "Coh_Spectrum.dat").c_str(), 0444);
  s.m.IncoherentSpectrum[2][100] = 1;
  EXPECT_THROW(s.m.WriteScatterSpectrumFiles(), FileWriteError);
  EXPECT_EQ(ReadFile(s.folder.path / "Inc_Spectrum.dat"), inc);

  s.m.PrimarySpectrum[2] = 1;
  s.m.WritePrimarySpectrumFile();
  EXPECT_EQ(Line(ReadFile(s.folder.path / "P_Spectrum.dat"), 2), "1.000E+00  1.000E+00");
}

}  // namespace
}  // namespace xscatter
