#include "platform/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

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
  if (st.st_size > max_size) {
    return Status::InvalidArgument(path, "is too large (" + std::to_string(st.st_size) +
                                             " bytes, at most " + std::to_string(max_size) + ")");
  }
  bytes->resize(static_cast<size_t>(st.st_size) + 1);  // one more: a file that grew is seen
  size_t used = 0;
  for (;;) {
    if (used == bytes->size()) {
      if (static_cast<int64_t>(used) > max_size) {
        bytes->clear();
        return Status::InvalidArgument(path, "grew beyond " + std::to_string(max_size) +
                                                 " bytes while it was read");
      }
      bytes->resize(used * 2 + 4096);
    }
    ssize_t n = ::read(fd.get(), bytes->data() + used, bytes->size() - used);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int error = errno;
      bytes->clear();
      return Status::IoError(path, std::string("read failed: ") + std::strerror(error));
    }
    if (n == 0) break;
    used += static_cast<size_t>(n);
  }
  bytes->resize(used);
  bytes->shrink_to_fit();
  return Status();
}

}  // namespace grulo
