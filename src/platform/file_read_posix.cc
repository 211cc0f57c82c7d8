#include "platform/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/file_read_internal.h"

namespace grulo {
namespace {

class ScopedFd {
 public:
  explicit ScopedFd(int fd) : fd_(fd) {}
  ScopedFd(const ScopedFd&) = delete;
  ScopedFd& operator=(const ScopedFd&) = delete;
  ~ScopedFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

Status ReadRegularFile(const std::string& path, int64_t max_size, std::vector<uint8_t>* bytes) {
  bytes->clear();
  if (path.find('\0') != std::string::npos) {
    return Status::InvalidArgument(path, "the path holds a NUL byte");
  }
  // Non-blocking, so that opening a FIFO or a device cannot hang; anything
  // but a regular file is refused right after.
  ScopedFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) {
    const int error = errno;
    return error == ENOENT ? Status::NotFound(path, std::strerror(error))
                           : Status::IoError(path, std::strerror(error));
  }
  struct stat st;
  if (::fstat(fd.get(), &st) != 0) return Status::IoError(path, std::strerror(errno));
  if (!S_ISREG(st.st_mode)) {
    return Status::InvalidArgument(path, S_ISDIR(st.st_mode) ? "is a directory"
                                                             : "is not a regular file");
  }
  auto read_some = [&](uint8_t* to, size_t room, size_t* got) {
    for (;;) {
      const ssize_t n = ::read(fd.get(), to, room);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        const int error = errno;
        return Status::IoError(path, std::string("read failed: ") + std::strerror(error));
      }
      *got = static_cast<size_t>(n);
      return Status();
    }
  };
  return file_read_internal::ReadToEnd(path, st.st_size, max_size, read_some, bytes);
}

}  // namespace grulo
