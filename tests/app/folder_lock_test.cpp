// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <filesystem>
#include <future>
#include <memory>
#include <string>
#include <thread>

#include "output/folder_lock.h"
#include "tests/support/files.h"

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

TEST(FolderLock, HeldWithoutALockFileWhileASecondHolderWaitsAndSaysSoOnce) {
  TempFolder folder;
  int first_waits = 0, second_waits = 0;
  auto first = std::make_unique<FolderLock>(folder.path, [&] { ++first_waits; });
  EXPECT_FALSE(Lockable(folder.path));
  EXPECT_TRUE(fs::is_empty(folder.path));
  std::promise<void> waiting;
  std::thread second([&] {
    const FolderLock lock(folder.path, [&] {
      ++second_waits;
      waiting.set_value();
    });
  });
  waiting.get_future().wait();  // the second holder has told its user that it waits
  first.reset();
  second.join();
  EXPECT_EQ(first_waits, 0);
  EXPECT_EQ(second_waits, 1);
  EXPECT_TRUE(Lockable(folder.path));  // released by both at the end of their lifetimes
}

TEST(FolderLock, FoldersThatCannotBeLockedAreReported) {
  TempFolder folder;
  testing::WriteFile(folder.path / "file", "x");
  const struct {
    const char *leaf, *reason;
  } cases[] = {{"none", "No such file or directory"}, {"file", "Not a directory"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.leaf);
    try {
      const FolderLock lock(folder.path / c.leaf);
      ADD_FAILURE() << "locked";
    } catch (const FolderLockError& error) {
      EXPECT_EQ(error.what(), "作業フォルダ " + (folder.path / c.leaf).string() +
                                  " をロックできません（" + c.reason + "）。");
    }
  }
}

}  // namespace
}  // namespace xscatter
