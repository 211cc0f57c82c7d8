// Whole-file reading of platform/file_read.h on a POSIX system.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/file_read.h"
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

Status Failure(int error, const char* doing = "") {
  const std::string reason = std::string(doing) + std::strerror(error);
  return error == ENOENT || error == ENOTDIR ? Status::NotFound("", reason)
                                             : Status::IoError("", reason);
}

template <typename Bytes>
Status ReadAll(const std::string& path, const ReadRules& rules, Bytes* bytes) {
  bytes->clear();
  if (path.empty() || path.find('\0') != std::string::npos) {
    return Status::InvalidArgument("", "not a usable path");
  }
  // Non-blocking when only a regular file will do, so that opening a FIFO or
  // a device cannot hang; anything but a regular file is refused right
  // after.
  const int flags = O_RDONLY | O_CLOEXEC | O_NOCTTY | (rules.regular_only ? O_NONBLOCK : 0);
  ScopedFd fd(::open(path.c_str(), flags));
  if (fd.get() < 0) return Failure(errno);
  struct stat st;
  if (::fstat(fd.get(), &st) != 0) return Failure(errno);
  if (S_ISDIR(st.st_mode)) return Status::InvalidArgument("", "is a directory");
  if (rules.regular_only && !S_ISREG(st.st_mode)) {
    return Status::InvalidArgument("", "is not a regular file");
  }
  auto read_some = [&](char* to, size_t room, size_t* got) {
    for (;;) {
      const ssize_t n = ::read(fd.get(), to, room);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return Failure(errno, "read failed: ");
      *got = static_cast<size_t>(n);
      return Status();
    }
  };
  const int64_t size = S_ISREG(st.st_mode) ? static_cast<int64_t>(st.st_size) : 0;
  return file_read_internal::ReadToEnd(size, rules.max_size, read_some, bytes);
}

}  // namespace

Status ReadWholeFile(const std::string& path, const ReadRules& rules, std::string* bytes) {
  return ReadAll(path, rules, bytes);
}

Status ReadWholeFile(const std::string& path, const ReadRules& rules,
                     std::vector<uint8_t>* bytes) {
  return ReadAll(path, rules, bytes);
}

}  // namespace grulo
