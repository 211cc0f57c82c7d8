#include "platform/file_lock.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "platform/lock_holder_testutil.h"
#include "platform/process.h"
#include "tests/process_testutil.h"

namespace grulo {
namespace {

using test::LockHolder;
using test::PathExists;
using test::ReadFileBytes;
using test::TempDir;

// A lock held by another process is refused with that process's id; once
// that process is gone (however it ended) the lock can be taken.
TEST(FileLockTest, OneHolderAtATime) {
#ifdef _WIN32
  GTEST_SKIP() << "the other process is a forked child, which Windows does not have";
#else
  TempDir dir;
  const std::string path = dir.File("run.lock");
  LockHolder other(path);
  ASSERT_TRUE(other.held());
  const int64_t child = other.pid();
  EXPECT_EQ(ReadFileBytes(path), std::to_string(child) + "\n");

  std::unique_ptr<FileLock> lock;
  int64_t holder = 0;
  Status status = LockFile(path, &lock, &holder);
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(holder, child);
  EXPECT_EQ(status.message(), "held by process " + std::to_string(child));
  EXPECT_EQ(lock, nullptr);

  ASSERT_TRUE(other.Release());
  EXPECT_TRUE(PathExists(path));
  ASSERT_TRUE(LockFile(path, &lock, &holder).ok());
  EXPECT_EQ(holder, 0);
  EXPECT_EQ(ReadFileBytes(path), std::to_string(CurrentProcessId()) + "\n");
  lock.reset();
  EXPECT_FALSE(PathExists(path));
#endif
}

TEST(FileLockTest, DirectoryThatCannotHoldTheLockFile) {
  TempDir dir;
  std::unique_ptr<FileLock> lock;
  int64_t holder = 7;
  Status status = LockFile(dir.File("none/run.lock"), &lock, &holder);
  EXPECT_EQ(status.message(), "No such file or directory");
  EXPECT_EQ(holder, 0);
}

TEST(ProcessTest, TellsItsOwnExecutableAndClock) {
  EXPECT_EQ(CurrentProcessId(), static_cast<int64_t>(::getpid()));
  EXPECT_TRUE(ExecutablePath().ends_with(std::string("platform_test") + test::kExecutableSuffix))
      << ExecutablePath();
  int64_t a = MonotonicNanos();
  ::usleep(2000);
  EXPECT_GE(MonotonicNanos() - a, 2000000);
}

}  // namespace
}  // namespace grulo
