#include "platform/file_lock.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "platform/process.h"
#include "tests/process_testutil.h"

namespace grulo {
namespace {

using test::PathExists;
using test::ReadFileBytes;
using test::TempDir;

// A lock held by another process is refused with that process's id; once
// that process is gone (however it ended) the lock can be taken.
TEST(FileLockTest, OneHolderAtATime) {
  TempDir dir;
  const std::string path = dir.File("run.lock");
  int ready[2], release[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(release), 0);
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(release[1]);
    std::unique_ptr<FileLock> lock;
    int64_t holder = 0;
    char byte = LockFile(path, &lock, &holder).ok() ? 'y' : 'n';
    (void)!::write(ready[1], &byte, 1);
    (void)!::read(release[0], &byte, 1);
    ::_exit(0);  // the lock goes with the process, its file stays
  }
  ::close(release[0]);
  char byte = 0;
  ASSERT_EQ(::read(ready[0], &byte, 1), 1);
  ASSERT_EQ(byte, 'y');
  EXPECT_EQ(ReadFileBytes(path), std::to_string(child) + "\n");

  std::unique_ptr<FileLock> lock;
  int64_t holder = 0;
  Status status = LockFile(path, &lock, &holder);
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(holder, child);
  EXPECT_EQ(status.message(), "held by process " + std::to_string(child));
  EXPECT_EQ(lock, nullptr);

  ::close(release[1]);
  int child_status = 0;
  ASSERT_EQ(::waitpid(child, &child_status, 0), child);
  EXPECT_TRUE(PathExists(path));
  ASSERT_TRUE(LockFile(path, &lock, &holder).ok());
  EXPECT_EQ(holder, 0);
  EXPECT_EQ(ReadFileBytes(path), std::to_string(CurrentProcessId()) + "\n");
  lock.reset();
  EXPECT_FALSE(PathExists(path));
  ::close(ready[0]);
  ::close(ready[1]);
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
  EXPECT_TRUE(ExecutablePath().ends_with("/platform_test")) << ExecutablePath();
  int64_t a = MonotonicNanos();
  ::usleep(2000);
  EXPECT_GE(MonotonicNanos() - a, 2000000);
}

}  // namespace
}  // namespace grulo
