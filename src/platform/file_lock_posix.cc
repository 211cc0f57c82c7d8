// The lock of platform/file_lock.h on a POSIX system: a write lock of the
// whole lock file (fcntl), which the system drops when the process ends and
// which tells the id of the process that holds it.

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "platform/file_lock.h"

namespace grulo {
namespace {

class PosixFileLock final : public FileLock {
 public:
  PosixFileLock(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  // Removed while still held, so that no other process can lock the file
  // between the removal and the release; see LockFile.
  ~PosixFileLock() override {
    ::unlink(path_.c_str());
    ::close(fd_);
  }

 private:
  int fd_;
  std::string path_;
};

struct flock WholeFile(short type) {
  struct flock lock;
  std::memset(&lock, 0, sizeof lock);
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = 0;
  lock.l_len = 0;
  return lock;
}

}  // namespace

Status LockFile(const std::string& path, std::unique_ptr<FileLock>* lock, int64_t* holder) {
  lock->reset();
  *holder = 0;
  if (path.empty() || path.find('\0') != std::string::npos) {
    return Status::InvalidArgument("", "not a usable path");
  }
  // A holder removes the file before it lets go: a lock taken on a file that
  // is no longer at the path is worth nothing, and is taken again.
  for (int attempt = 0; attempt < 10; ++attempt) {
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return Status::IoError("", std::strerror(errno));
    struct flock wanted = WholeFile(F_WRLCK);
    if (::fcntl(fd, F_SETLK, &wanted) != 0) {
      int error = errno;
      if (error != EACCES && error != EAGAIN) {
        ::close(fd);
        return Status::IoError("", std::strerror(error));
      }
      struct flock held = WholeFile(F_WRLCK);
      if (::fcntl(fd, F_GETLK, &held) == 0 && held.l_type == F_UNLCK) {
        ::close(fd);
        continue;  // let go in the meantime
      }
      ::close(fd);
      *holder = held.l_type != F_UNLCK && held.l_pid > 0 ? held.l_pid : -1;
      if (*holder < 0) return Status::IoError("", "held by another process");
      return Status::IoError("", "held by process " + std::to_string(*holder));
    }
    struct stat mine;
    struct stat there;
    if (::fstat(fd, &mine) != 0 || ::stat(path.c_str(), &there) != 0 ||
        mine.st_dev != there.st_dev || mine.st_ino != there.st_ino) {
      ::close(fd);
      continue;
    }
    std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd, 0) == 0) (void)!::write(fd, pid.data(), pid.size());
    *lock = std::make_unique<PosixFileLock>(fd, path);
    return Status();
  }
  return Status::IoError("", "the lock file keeps being replaced");
}

}  // namespace grulo
