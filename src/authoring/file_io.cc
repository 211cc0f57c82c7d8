#include "authoring/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace grulo {
namespace {

Status SystemError(const std::string& path, std::string_view doing, int error) {
  std::string what(doing);
  what += ": ";
  what += std::strerror(error);
  return error == ENOENT ? Status::NotFound(path, what) : Status::IoError(path, what);
}

// Closes a descriptor when it goes out of scope.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  // Hands the descriptor over without closing it.
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

}  // namespace

Status ReadWholeFile(const std::string& path, int64_t max_bytes, std::string* bytes) {
  // Non-blocking, so that a FIFO cannot hang the tool; anything but a regular
  // file is refused right after.
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) return SystemError(path, "cannot open", errno);
  struct stat st;
  if (::fstat(fd.get(), &st) != 0) return SystemError(path, "cannot read", errno);
  if (!S_ISREG(st.st_mode)) return Status::InvalidArgument(path, "not a regular file");
  if (st.st_size > max_bytes) {
    return Status::InvalidArgument(path, std::to_string(st.st_size) + " bytes, more than the " +
                                             std::to_string(max_bytes) + " a source may have");
  }
  bytes->clear();
  // The size may change while the file is read: read to its end, never more
  // than max_bytes + 1 bytes.
  char buffer[1 << 16];
  while (true) {
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return SystemError(path, "cannot read", errno);
    if (n == 0) break;
    bytes->append(buffer, static_cast<size_t>(n));
    if (static_cast<int64_t>(bytes->size()) > max_bytes) {
      bytes->clear();
      return Status::InvalidArgument(
          path, "more than the " + std::to_string(max_bytes) + " bytes a source may have");
    }
  }
  return Status();
}

Status PendingFile::Write(const std::string& path, std::string_view bytes,
                          std::unique_ptr<PendingFile>* file) {
  // A name no other file has: this process's number and the first free n.
  std::string temporary;
  int fd = -1;
  for (int n = 0; fd < 0 && n < 100; ++n) {
    temporary = path + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(n);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return SystemError(path, "cannot create a temporary file beside it", errno);
  std::unique_ptr<PendingFile> pending(new PendingFile(path, temporary));
  FileDescriptor out(fd);
  struct stat old;
  if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode) &&
      ::fchmod(out.get(), old.st_mode & 07777) != 0) {
    return SystemError(path, "cannot give the new file the old one's mode", errno);
  }
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(out.get(), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return SystemError(path, "cannot write", errno);
    done += static_cast<size_t>(n);
  }
  if (::fsync(out.get()) != 0) return SystemError(path, "cannot flush", errno);
  if (::close(out.release()) != 0) return SystemError(path, "cannot write", errno);
  *file = std::move(pending);
  return Status();
}

PendingFile::~PendingFile() {
  if (!done_) ::unlink(temporary_.c_str());
}

Status PendingFile::Commit() {
  if (done_) return Status::IoError(path_, "already committed");
  done_ = true;
  if (::rename(temporary_.c_str(), path_.c_str()) != 0) {
    const int error = errno;
    ::unlink(temporary_.c_str());
    return SystemError(path_, "cannot replace", error);
  }
  // The rename itself lasts once the directory is flushed.
  const size_t slash = path_.find_last_of('/');
  const std::string directory = slash == std::string::npos ? "." : path_.substr(0, slash + 1);
  FileDescriptor dir(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) ::fsync(dir.get());
  return Status();
}

Status WriteFileAtomically(const std::string& path, std::string_view bytes) {
  std::unique_ptr<PendingFile> file;
  if (Status s = PendingFile::Write(path, bytes, &file); !s.ok()) return s;
  return file->Commit();
}

Status WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
  return WriteFileAtomically(
      path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

Status OpenTableFile(const std::string& path, std::unique_ptr<TableFile>* file) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return SystemError(path, "cannot open", errno);
  if (!S_ISREG(st.st_mode)) return Status::InvalidArgument(path, "not a regular file");
  *file = TableFile::Open(path);
  if (*file == nullptr) return Status::IoError(path, "cannot be opened or mapped");
  return Status();
}

bool WriteBytesToFile(const std::string& path, const std::vector<uint8_t>& bytes,
                      std::string* error) {
  const Status status = WriteFileAtomically(path, bytes);
  if (!status.ok()) *error = status.message();
  return status.ok();
}

bool ReadFileToString(const std::string& path, std::string* text) {
  return ReadWholeFile(path, kMaxSourceBytes, text).ok();
}

}  // namespace grulo
