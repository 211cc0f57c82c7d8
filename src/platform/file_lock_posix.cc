// The lock of platform/file_lock.h on a POSIX system: a write lock of the
// whole lock file (fcntl), which the system drops when the process ends and
// which tells the id of the process that holds it.

#include <errno.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/file_lock.h"

namespace grulo {
namespace {

class PosixFileLock final : public FileLock {
 public:
  PosixFileLock(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  // Removed while still held, so that no other process can lock the file
  // between the removal and the release; see LockFile. Only when the name is
  // still this file: never another process's.
  ~PosixFileLock() override {
    struct stat mine;
    struct stat there;
    if (::fstat(fd_, &mine) == 0 && ::lstat(path_.c_str(), &there) == 0 &&
        mine.st_dev == there.st_dev && mine.st_ino == there.st_ino) {
      ::unlink(path_.c_str());
    }
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

// The process that holds a lock of the open file: its id, -1 when the
// system cannot tell it, 0 when none does.
int64_t HolderOf(int fd) {
  struct flock held = WholeFile(F_WRLCK);
  if (::fcntl(fd, F_GETLK, &held) != 0) return -1;
  if (held.l_type == F_UNLCK) return 0;
  return held.l_pid > 0 ? held.l_pid : -1;
}

Status HeldBy(int64_t holder) {
  if (holder < 0) return Status::IoError("", "held by another process");
  return Status::IoError("", "held by process " + std::to_string(holder));
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Why an open lock file is refused: ok for a regular file of one name.
Status CheckLockFile(const struct stat& st) {
  if (!S_ISREG(st.st_mode)) {
    return Status::InvalidArgument("", "it is not a regular file; remove it");
  }
  if (st.st_nlink > 1) {
    return Status::InvalidArgument(
        "", "it has other names (hard links), so grulo does not write into it; remove it");
  }
  return Status();
}

std::string OwnerOf(const struct stat& st) {
  std::string owner = "uid " + std::to_string(st.st_uid);
  std::vector<char> buffer(16384);
  struct passwd entry;
  struct passwd* found = nullptr;
  if (::getpwuid_r(st.st_uid, &entry, buffer.data(), buffer.size(), &found) == 0 &&
      found != nullptr) {
    owner = std::string(found->pw_name) + " (" + owner + ")";
  }
  return owner;
}

// A lock file this user may not write, usually left by a run of another
// user. `*stale_fd` gets it open for reading. When a process holds it, that
// is the answer; when none does, it is removed so that a new one can be
// made, or, when this user may not remove it either, the message says so.
Status TakeOverStale(const std::string& path, int* stale_fd, int64_t* holder) {
  struct stat st;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    const int error = errno;
    if (::lstat(path.c_str(), &st) != 0) return Status::IoError("", std::strerror(error));
    return Status::InvalidArgument(
        "", "this user may neither write nor read it (" + std::string(std::strerror(error)) +
                "); it belongs to " + OwnerOf(st) + ": when no run of that user is going on, "
                "remove it (rm '" + path + "') as that user or as root, then run again");
  }
  Status status = ::fstat(fd, &st) == 0 ? CheckLockFile(st) : Status::IoError("", "");
  if (!status.ok()) {
    ::close(fd);
    return status;
  }
  *holder = HolderOf(fd);
  if (*holder != 0) {
    ::close(fd);
    return HeldBy(*holder);
  }
  struct stat there;
  if (::lstat(path.c_str(), &there) == 0 && SameFile(st, there) && ::unlink(path.c_str()) != 0) {
    ::close(fd);
    return Status::InvalidArgument(
        "", "no run holds it: it was left by a run of " + OwnerOf(st) +
                " that has ended, and this user may not replace it; remove it (rm '" + path +
                "') as that user or as root, then run again");
  }
  *stale_fd = fd;
  return Status();
}

}  // namespace

Status LockFile(const std::string& path, std::unique_ptr<FileLock>* lock, int64_t* holder) {
  lock->reset();
  *holder = 0;
  if (path.empty() || path.find('\0') != std::string::npos) {
    return Status::InvalidArgument("", "not a usable path");
  }
  // A stale lock file of another user, removed: kept open so that a run of
  // that user that took it meanwhile is seen (see below).
  int stale_fd = -1;
  struct Closer {
    int* fd;
    ~Closer() {
      if (*fd >= 0) ::close(*fd);
    }
  } closer{&stale_fd};
  // A holder removes the file before it lets go: a lock taken on a file that
  // is no longer at the path is worth nothing, and is taken again.
  for (int attempt = 0; attempt < 10; ++attempt) {
    // Never through a link, never a FIFO's wait, never a terminal.
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK,
                    0666);
    if (fd < 0) {
      const int error = errno;
      if (error == ELOOP) {
        return Status::InvalidArgument(
            "", "it is a symbolic link, which grulo never writes through; remove it");
      }
      if (error == EISDIR) return Status::InvalidArgument("", "it is a directory; remove it");
      if ((error == EACCES || error == EPERM) && stale_fd < 0) {
        struct stat st;
        if (::lstat(path.c_str(), &st) == 0) {  // there, but not ours to write
          Status status = TakeOverStale(path, &stale_fd, holder);
          if (!status.ok()) return status;
          continue;
        }
      }
      return Status::IoError("", std::strerror(error));
    }
    struct stat mine;
    Status checked = ::fstat(fd, &mine) == 0 ? CheckLockFile(mine)
                                             : Status::IoError("", std::strerror(errno));
    if (!checked.ok()) {
      ::close(fd);
      return checked;
    }
    struct flock wanted = WholeFile(F_WRLCK);
    if (::fcntl(fd, F_SETLK, &wanted) != 0) {
      int error = errno;
      if (error != EACCES && error != EAGAIN) {
        ::close(fd);
        return Status::IoError("", std::strerror(error));
      }
      const int64_t other = HolderOf(fd);
      ::close(fd);
      if (other == 0) continue;  // let go in the meantime
      *holder = other;
      return HeldBy(other);
    }
    struct stat there;
    if (::lstat(path.c_str(), &there) != 0 || !SameFile(mine, there)) {
      ::close(fd);
      continue;
    }
    auto taken = std::make_unique<PosixFileLock>(fd, path);
    // A run of the stale file's owner may have locked it before it was
    // removed and still believe it holds the lock: then this one yields.
    if (stale_fd >= 0) {
      const int64_t other = HolderOf(stale_fd);
      if (other != 0) {
        *holder = other;
        return HeldBy(other);  // `taken` goes: its file is removed
      }
    }
    std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd, 0) == 0) (void)!::write(fd, pid.data(), pid.size());
    *lock = std::move(taken);
    return Status();
  }
  return Status::IoError("", "the lock file keeps being replaced");
}

}  // namespace grulo
