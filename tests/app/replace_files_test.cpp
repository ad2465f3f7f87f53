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
#include "output/replace_files.h"
#include "tests/support/files.h"

namespace xscatter {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::TempFolder;

std::set<std::string> Entries(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
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

}  // namespace
}  // namespace xscatter
