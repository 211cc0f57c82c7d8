// The files of platform/files.h on a POSIX system.

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "platform/files.h"

namespace grulo {
namespace {

// The status of the failed call that left `error` in errno.
Status SystemError(int error) {
  if (error == ENOENT || error == ENOTDIR) return Status::NotFound("", std::strerror(error));
  return Status::IoError("", std::strerror(error));
}

// A path the system cannot take (an embedded NUL byte, nothing at all).
bool Unusable(const std::string& path) {
  return path.empty() || path.find('\0') != std::string::npos;
}

Status UnusablePath() { return Status::InvalidArgument("", "not a usable path"); }

void FillInfo(const struct stat& st, FileInfo* info) {
  if (S_ISREG(st.st_mode)) {
    info->type = FileInfo::kRegular;
  } else if (S_ISDIR(st.st_mode)) {
    info->type = FileInfo::kDirectory;
  } else if (S_ISFIFO(st.st_mode)) {
    info->type = FileInfo::kPipe;
  } else if (S_ISLNK(st.st_mode)) {
    info->type = FileInfo::kLink;
  } else {
    info->type = FileInfo::kOther;
  }
  info->size = info->type == FileInfo::kRegular ? static_cast<int64_t>(st.st_size) : 0;
  info->id = {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
  info->modified = static_cast<int64_t>(st.st_mtime);
}

class PosixReadableFile final : public ReadableFile {
 public:
  explicit PosixReadableFile(int fd) : fd_(fd) {}
  ~PosixReadableFile() override { ::close(fd_); }

  Status Read(char* buffer, size_t n, size_t* got) override {
    for (;;) {
      ssize_t r = ::read(fd_, buffer, n);
      if (r >= 0) {
        *got = static_cast<size_t>(r);
        return Status();
      }
      if (errno != EINTR) {
        *got = 0;
        return SystemError(errno);
      }
    }
  }

  Status Info(FileInfo* info) const override {
    struct stat st;
    if (::fstat(fd_, &st) != 0) return SystemError(errno);
    FillInfo(st, info);
    return Status();
  }

 private:
  int fd_;
};

class PosixWritableFile final : public WritableFile {
 public:
  explicit PosixWritableFile(int fd) : fd_(fd) {}
  ~PosixWritableFile() override { Close(); }

  Status Append(std::string_view data) override {
    while (!data.empty()) {
      ssize_t n = ::write(fd_, data.data(), data.size());
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return SystemError(errno);
      if (n == 0) return Status::IoError("", "nothing could be written");
      data.remove_prefix(static_cast<size_t>(n));
      written_ += n;
    }
    StartWriteback();
    return Status();
  }

  Status Sync() override {
    if (::fsync(fd_) != 0) return SystemError(errno);
    return Status();
  }

  Status Info(FileInfo* info) const override {
    struct stat st;
    if (::fstat(fd_, &st) != 0) return SystemError(errno);
    FillInfo(st, info);
    return Status();
  }

  Status Close() override {
    if (fd_ < 0) return Status();
    int result = ::close(fd_);
    fd_ = -1;
    if (result != 0 && errno != EINTR) return SystemError(errno);
    return Status();
  }

 private:
  // Every file written here is synced once complete. Handing what was
  // written to the disk as the file grows (a hint, asked every 8 MiB, where
  // the system takes it) lets the disk work while the program does, so that
  // the final Sync waits for the last piece only.
  void StartWriteback() {
#ifdef SYNC_FILE_RANGE_WRITE
    constexpr off_t kWritebackStep = off_t{8} << 20;
    if (written_ - handed_ < kWritebackStep) return;
    ::sync_file_range(fd_, handed_, written_ - handed_, SYNC_FILE_RANGE_WRITE);  // errors: Sync's
    handed_ = written_;
#endif
  }

  int fd_;
  off_t written_ = 0;  // bytes written so far
  off_t handed_ = 0;   // bytes handed to the disk by StartWriteback
};

}  // namespace

Status GetFileInfo(const std::string& path, FileInfo* info) {
  *info = FileInfo();
  if (Unusable(path)) return UnusablePath();
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT) return Status();
    return SystemError(errno);
  }
  FillInfo(st, info);
  return Status();
}

Status GetNameInfo(const std::string& path, FileInfo* info) {
  *info = FileInfo();
  if (Unusable(path)) return UnusablePath();
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) {
    if (errno == ENOENT) return Status();
    return SystemError(errno);
  }
  FillInfo(st, info);
  return Status();
}

Status RemoveFile(const std::string& path) {
  if (Unusable(path)) return UnusablePath();
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) return SystemError(errno);
  return Status();
}

Status RenameFile(const std::string& from, const std::string& to) {
  if (Unusable(from) || Unusable(to)) return UnusablePath();
  if (::rename(from.c_str(), to.c_str()) != 0) return SystemError(errno);
  return Status();
}

Status CheckReplaceable(const std::string& path) {
  if (Unusable(path)) return UnusablePath();
  return Status();  // an open file is replaced all the same
}

std::unique_ptr<ReadableFile> KeepWhileReplaced(const std::string& path) {
  if (Unusable(path)) return nullptr;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<PosixReadableFile>(fd);
}

Status SyncDirectory(const std::string& dir) {
  if (Unusable(dir)) return UnusablePath();
  int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return SystemError(errno);
  Status status;
  if (::fsync(fd) != 0 && errno != EINVAL) status = SystemError(errno);
  ::close(fd);
  return status;
}

std::string ResolveLinks(const std::string& path) {
  if (Unusable(path)) return path;
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return path;
  std::string target = resolved;
  ::free(resolved);
  return target;
}

std::string CurrentDirectory() {
  std::vector<char> buffer(PATH_MAX + 1);
  if (::getcwd(buffer.data(), buffer.size()) == nullptr) return std::string();
  return std::string(buffer.data());
}

bool IsAbsolutePath(std::string_view path) { return !path.empty() && path.front() == '/'; }

bool IsPathSeparator(char c) { return c == '/'; }

Status ReadableFile::Open(const std::string& path, std::unique_ptr<ReadableFile>* file) {
  file->reset();
  if (Unusable(path)) return UnusablePath();
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return SystemError(errno);
  struct stat st;
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    int error = S_ISDIR(st.st_mode) ? EISDIR : errno;
    ::close(fd);
    return SystemError(error);
  }
  *file = std::make_unique<PosixReadableFile>(fd);
  return Status();
}

Status ReadableFile::OpenStandardInput(std::unique_ptr<ReadableFile>* file) {
  file->reset();
  const int fd = ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0);
  if (fd < 0) return SystemError(errno);
  *file = std::make_unique<PosixReadableFile>(fd);
  return Status();
}

Status WritableFile::CreateNew(const std::string& path, const std::string& model,
                               std::unique_ptr<WritableFile>* file) {
  file->reset();
  if (Unusable(path)) return UnusablePath();
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return SystemError(errno);
  struct stat st;
  if (!model.empty() && ::lstat(model.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
    if (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) {
      (void)!::fchown(fd, st.st_uid, st.st_gid);  // allowed to fail: the file stays ours
    }
    if (::fchmod(fd, st.st_mode & 07777) != 0) {
      int error = errno;
      ::close(fd);
      ::unlink(path.c_str());
      return SystemError(error);
    }
  }
  *file = std::make_unique<PosixWritableFile>(fd);
  return Status();
}

}  // namespace grulo
