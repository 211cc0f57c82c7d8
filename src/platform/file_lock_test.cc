#include "platform/file_lock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <filesystem>
#include <functional>
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

// Nothing but a regular file of one name is taken as a lock file, and what a
// planted name points to is never written.
TEST(FileLockTest, RefusesWhatIsNoLockFile) {
#ifdef _WIN32
  GTEST_SKIP() << "the cases are symbolic links, a hard link and a FIFO, made as POSIX systems make them";
#else
  TempDir dir;
  test::WriteFileBytes(dir.File("victim"), "precious");
  std::filesystem::create_symlink(dir.File("victim"), dir.File("link.lock"));
  std::filesystem::create_symlink(dir.File("nowhere"), dir.File("dangling.lock"));
  ASSERT_EQ(::link(dir.File("victim").c_str(), dir.File("hard.lock").c_str()), 0);
  std::filesystem::create_directory(dir.File("dir.lock"));
  ASSERT_EQ(::mkfifo(dir.File("fifo.lock").c_str(), 0644), 0);
  const struct {
    const char* name;
    const char* reason;
  } cases[] = {
      {"link.lock", "it is a symbolic link, which grulo never writes through; remove it"},
      {"dangling.lock", "it is a symbolic link, which grulo never writes through; remove it"},
      {"hard.lock", "it has other names (hard links), so grulo does not write into it; remove it"},
      {"dir.lock", "it is a directory; remove it"},
      {"fifo.lock", "it is not a regular file; remove it"},
  };
  for (const auto& c : cases) {
    std::unique_ptr<FileLock> lock;
    int64_t holder = 7;
    const Status status = LockFile(dir.File(c.name), &lock, &holder);
    EXPECT_EQ(status.code(), Status::kInvalidArgument) << c.name;
    EXPECT_EQ(status.message(), c.reason) << c.name;
    EXPECT_EQ(holder, 0) << c.name;
  }
  EXPECT_EQ(ReadFileBytes(dir.File("victim")), "precious");
  EXPECT_FALSE(PathExists(dir.File("nowhere")));
#endif
}

// A lock file that nobody holds and that this user may not write (left by
// another user's run) is replaced; where the directory forbids that too,
// the message says no run holds it and how to remove it. As root, the
// other user is played by a child running as "nobody".
TEST(FileLockTest, StaleLockFileOfAnotherUser) {
#ifdef _WIN32
  GTEST_SKIP() << "the other user is played by a forked child, which Windows does not have";
#else
  TempDir dir;
  ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
  const bool root = ::geteuid() == 0;
  // Runs `take` as the other user (in a child when root).
  auto as_other_user = [&](const std::function<int()>& take) {
    if (!root) return take();
    const pid_t child = ::fork();
    if (child == 0) {
      if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
      ::_exit(take());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 3;
  };
  const std::string path = dir.File("run.lock");
  for (bool sticky : {false, true}) {
    SCOPED_TRACE(sticky ? "sticky directory" : "plain directory");
    test::WriteFileBytes(path, "12345\n");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);  // not ours to write, even for its owner
    ASSERT_EQ(::chmod(dir.path().c_str(), sticky ? 01777 : 0777), 0);
    // 0: held, with this process's id in the file; 1: refused as it should.
    const int result = as_other_user([&] {
      std::unique_ptr<FileLock> lock;
      int64_t holder = 0;
      const Status status = LockFile(path, &lock, &holder);
      if (status.ok()) return ReadFileBytes(path) == std::to_string(::getpid()) + "\n" ? 0 : 4;
      return status.code() == Status::kInvalidArgument &&
                     status.message().starts_with("no run holds it: it was left by a run of ") &&
                     status.message().ends_with("remove it (rm '" + path +
                                                "') as that user or as root, then run again")
                 ? 1
                 : 5;
    });
    if (sticky && !root) continue;  // its owner may always remove it
    EXPECT_EQ(result, sticky ? 1 : 0);
    EXPECT_EQ(PathExists(path), sticky);  // the new one went with its lock
    std::filesystem::remove(path);
  }
  // Held by a process of its owner: that is the answer, whoever asks.
  LockHolder other(path);
  ASSERT_TRUE(other.held());
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  EXPECT_EQ(as_other_user([&] {
              std::unique_ptr<FileLock> lock;
              int64_t holder = 0;
              const Status status = LockFile(path, &lock, &holder);
              return status.message() == "held by process " + std::to_string(other.pid()) &&
                             holder == other.pid()
                         ? 0
                         : 1;
            }),
            0);
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
