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

// The default files are compared whole in commands_test; these lines are ones a default run never
// writes.
TEST(SpectrumFiles, LinesByteForByte) {
  GridArray zero{}, primary{}, energy{}, fluence{}, coherent{};
  primary[50] = 2.5E-120;
  energy[200] = 83.633;
  fluence[200] = 0.5;
  coherent[1] = 0.999996;
  EXPECT_EQ(Line(PrimarySpectrumText(primary), 50), "2.500E+01  2.500E-120");
  EXPECT_EQ(PrimarySpectrumText(primary).size(), 6617u);  // one byte longer, nothing padded
  EXPECT_EQ(Line(IncoherentSpectrumText(zero, zero), 1), "0.000E+00  0.0000E+00");
  EXPECT_EQ(Line(IncoherentSpectrumText(energy, fluence), 200), "8.363E+01  5.0000E-01");
  EXPECT_EQ(Line(CoherentSpectrumText(coherent), 1), "5.000E-01  1.0000E+00");
}

TEST(FormatScientific, AnyNumberOfDecimals) {
  EXPECT_EQ(FormatScientific(0.35, -4), "3E-01");  // negative decimals read as none
  EXPECT_EQ(FormatScientific(1.7976931348623157E308, 16), "1.7976931348623157E+308");
  const std::string subnormal = FormatScientific(4.9406564584124654E-324, 766);  // every digit
  EXPECT_EQ(subnormal.size(), 773u);
  EXPECT_TRUE(
      subnormal.starts_with("4.9406564584124654417656879286822137236505980261432476442558"));
  EXPECT_TRUE(subnormal.ends_with("4472656250000000000000000E-324")) << subnormal;
  const std::string third = FormatScientific(1.0 / 3, 5000);  // beyond the limit
  EXPECT_EQ(third.size(), 1006u);
  EXPECT_TRUE(third.starts_with("3.33333333333333314829616256247")) << third.substr(0, 40);
  EXPECT_TRUE(third.ends_with("0000E-01")) << third.substr(990);
}

TEST(ReplaceFiles, ReplacesWholeFilesWithNormalPermissionsAndClearsOnlyDeadLeftovers) {
  // Leftovers of a.dat's killed writer, of its writer still alive, of another name, and a name
  // unlike a temporary file.
  const std::string dead = ".a.dat.Ab3dEf6hIj9k", live = ".a.dat.LiveWriter00",
                    other = ".c.dat.Ab3dEf6hIj9k", unlike = ".a.dat.short";
  for (const auto& [mask, mode] : {std::pair<mode_t, mode_t>{027, 0640}, {0, 0666}}) {
    SCOPED_TRACE(::testing::Message() << "umask " << std::oct << mask);
    TempFolder folder;
    testing::WriteFile(folder.path / "a.dat", std::string(10000, 'x'));
    ::chmod((folder.path / "a.dat").c_str(), 0600);
    for (const std::string& name : {dead, live, other, unlike}) {
      testing::WriteFile(folder.path / name, "partial");
    }
    const int writer = ::open((folder.path / live).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(writer, LOCK_EX | LOCK_NB), 0);
    const mode_t previous = ::umask(mask);
    ReplaceFiles(folder.path, {{"a.dat", "new a"}, {"b.dat", "new b"}});
    ::umask(previous);
    ::close(writer);
    EXPECT_EQ(Entries(folder.path), (std::set<std::string>{"a.dat", "b.dat", live, other, unlike}));
    for (const char* name : {"a.dat", "b.dat"}) {
      EXPECT_EQ(ReadFile(folder.path / name), std::string("new ") + name[0]);
      struct stat status {};
      ASSERT_EQ(::stat((folder.path / name).c_str(), &status), 0);
      EXPECT_EQ(status.st_mode & 07777, mode) << name;
    }
  }
}

// However a write fails, a.dat keeps its old content and no temporary file remains.
TEST(ReplaceFiles, FailuresReplaceNothingAndLeaveNoTemporaryFile) {
  const rlimit small{4000, RLIM_INFINITY};
  const struct {
    const char* name;
    std::function<void(const fs::path&)> spoil;
    const char* target;  // null: the test folder; ".": the test folder as working folder
    const char *file, *reason;
  } cases[] = {
      {"read-only target", [](const fs::path& f) { ::chmod((f / "b.dat").c_str(), 0444); }, nullptr,
       "b.dat", "読み取り専用のファイルです"},
      // Named as the absolute folder, without a trailing "/".
      {"folder of the same name, relative folder",
       [](const fs::path& f) {
         fs::remove(f / "b.dat");
         fs::create_directory(f / "b.dat");
       },
       ".", "b.dat", "同じ名前のフォルダがあります"},
      {"file size limit reached while writing",
       [&](const fs::path&) { ::setrlimit(RLIMIT_FSIZE, &small); }, nullptr, "b.dat",
       "File too large"},
      {"missing folder", [](const fs::path&) {}, "/no/such/folder", "a.dat",
       "No such file or directory"},
  };
  std::signal(SIGXFSZ, SIG_IGN);  // a write beyond the limit fails instead of killing the test
  rlimit unlimited{};
  ::getrlimit(RLIMIT_FSIZE, &unlimited);
  const fs::path working = fs::current_path();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    testing::WriteFile(folder.path / "a.dat", "old a");
    testing::WriteFile(folder.path / "b.dat", "old b");
    c.spoil(folder.path);
    if (c.target && *c.target == '.') fs::current_path(folder.path);
    const std::set<std::string> before = Entries(folder.path);
    try {
      ReplaceFiles(c.target ? c.target : folder.path,
                   {{"a.dat", "new a"}, {"b.dat", std::string(5000, 'b')}});
      ADD_FAILURE() << "no error";
    } catch (const FileWriteError& error) {
      const bool elsewhere = c.target && *c.target == '/';
      EXPECT_EQ(error.what(),
                std::string("スペクトルファイル ") + c.file + " を書き込めません（" + c.reason +
                    "）。\n保存先フォルダ: " + (elsewhere ? c.target : folder.path.string()));
    }
    ::setrlimit(RLIMIT_FSIZE, &unlimited);
    fs::current_path(working);
    EXPECT_EQ(ReadFile(folder.path / "a.dat"), "old a");
    EXPECT_EQ(Entries(folder.path), before);
  }
  std::signal(SIGXFSZ, SIG_DFL);
}

TEST(SpectrumFiles, ScatterFilesAreReplacedTogether) {
  testing::LoadedStore s;
  s.m.WriteScatterSpectrumFiles();
  const std::string inc = ReadFile(s.folder.path / "Inc_Spectrum.dat");
  ::chmod((s.folder.path / "Coh_Spectrum.dat").c_str(), 0444);
  s.m.IncoherentSpectrum[2][100] = 1;
  EXPECT_THROW(s.m.WriteScatterSpectrumFiles(), FileWriteError);
  EXPECT_EQ(ReadFile(s.folder.path / "Inc_Spectrum.dat"), inc);
}

}  // namespace
}  // namespace xscatter
