// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <filesystem>
#include <future>
#include <string>
#include <thread>

#include "output/folder_lock.h"
#include "tests/core/fixture.h"

namespace xscatter {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

// Whether another open of the folder could take the lock now.
bool Lockable(const fs::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  const bool lockable = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  ::close(fd);
  return lockable;
}

TEST(FolderLock, HeldForItsLifetimeWithoutALockFile) {
  TempFolder folder;
  int waits = 0;
  {
    const FolderLock lock(folder.path, [&] { ++waits; });
    EXPECT_FALSE(Lockable(folder.path));
    EXPECT_TRUE(fs::is_empty(folder.path));
  }
  EXPECT_TRUE(Lockable(folder.path));
  EXPECT_EQ(waits, 0);
}

TEST(FolderLock, WaitsForTheHolderAndSaysSoOnce) {
  TempFolder folder;
  auto holder = std::make_unique<FolderLock>(folder.path);
  std::promise<void> waiting;
  int waits = 0;
  std::thread second([&] {
    const FolderLock lock(folder.path, [&] {
      ++waits;
      waiting.set_value();
    });
  });
  waiting.get_future().wait();  // the second run has told its user that it waits
  holder.reset();
  second.join();
  EXPECT_EQ(waits, 1);
  EXPECT_TRUE(Lockable(folder.path));
}

TEST(FolderLock, FoldersThatCannotBeLockedAreReported) {
  TempFolder folder;
  testing::WriteFile(folder.path / "file", "x");
  const struct {
    const char* name;
    fs::path folder;
    std::string message;
  } cases[] = {
      {"missing", folder.path / "none",
       "作業フォルダ " + (folder.path / "none").string() +
           " をロックできません（No such file or directory）。"},
      {"a file", folder.path / "file",
       "作業フォルダ " + (folder.path / "file").string() +
           " をロックできません（Not a directory）。"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      const FolderLock lock(c.folder);
      ADD_FAILURE() << "locked";
    } catch (const FolderLockError& error) {
      EXPECT_EQ(error.what(), c.message);
    }
  }
}

}  // namespace
}  // namespace xscatter
