#include "platform/lock_holder_testutil.h"

#include <sys/wait.h>
#include <unistd.h>

#include <memory>

#include "platform/file_lock.h"

namespace grulo::test {

LockHolder::LockHolder(const std::string& path) {
  int ready[2], release[2];
  if (::pipe(ready) != 0) return;
  if (::pipe(release) != 0) {
    ::close(ready[0]);
    ::close(ready[1]);
    return;
  }
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(release[1]);
    std::unique_ptr<FileLock> lock;
    int64_t holder = 0;
    char byte = LockFile(path, &lock, &holder).ok() ? 'y' : 'n';
    (void)!::write(ready[1], &byte, 1);
    (void)!::read(release[0], &byte, 1);  // until the parent closes its end
    ::_exit(0);
  }
  ::close(release[0]);
  ::close(ready[1]);
  pid_ = child;
  release_fd_ = release[1];
  char byte = 0;
  held_ = child > 0 && ::read(ready[0], &byte, 1) == 1 && byte == 'y';
  ::close(ready[0]);
}

bool LockHolder::Release() {
  if (release_fd_ < 0) return false;
  ::close(release_fd_);
  release_fd_ = -1;
  int status = 0;
  return pid_ > 0 && ::waitpid(static_cast<pid_t>(pid_), &status, 0) == pid_ &&
         WIFEXITED(status);
}

}  // namespace grulo::test
