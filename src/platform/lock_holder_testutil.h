// A lock held by another process, for the tests of what a second holder
// sees (POSIX systems only: the holder is a forked child).

#ifndef GRULO_PLATFORM_LOCK_HOLDER_TESTUTIL_H_
#define GRULO_PLATFORM_LOCK_HOLDER_TESTUTIL_H_

#include <cstdint>
#include <string>

namespace grulo::test {

// Starts a child process that takes the lock at `path` with LockFile and
// keeps it until Release (or the destruction), then exits: the lock goes
// with the process, its file stays.
class LockHolder {
 public:
  explicit LockHolder(const std::string& path);
  ~LockHolder() { Release(); }
  LockHolder(const LockHolder&) = delete;
  LockHolder& operator=(const LockHolder&) = delete;

  // Whether the child took the lock.
  bool held() const { return held_; }
  // The child's process id.
  int64_t pid() const { return pid_; }
  // Lets the child end and waits for it; true when it exited normally.
  // Later calls do nothing.
  bool Release();

 private:
  int64_t pid_ = -1;
  int release_fd_ = -1;  // closing it lets the child end
  bool held_ = false;
};

}  // namespace grulo::test

#endif  // GRULO_PLATFORM_LOCK_HOLDER_TESTUTIL_H_
